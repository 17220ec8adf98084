// Finding out what sits on a JTAG chain before anything is known about it:
// after Test-Logic-Reset every chip selects IDCODE (32 bits, bit 0 set) or
// BYPASS (one 0 bit), so one DR scan of ones reads them all.
#pragma once

#include <cstdint>
#include <vector>

#include "host/Cable.h"

namespace host {

struct ScannedDevice {
  uint32_t idCode = 0;  // 0 for a chip without IDCODE (in BYPASS)
};

// The chips of the chain in chain order (index 0 nearest the cable's TDI).
// Leaves the TAPs in Run-Test/Idle. Throws when the chain reads as broken
// (TDO stuck at 0) or longer than `maxDevices`.
std::vector<ScannedDevice> ScanChain(Cable& cable, size_t maxDevices = 32);

}  // namespace host

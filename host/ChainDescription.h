// What the host knows of the chips on one JTAG chain, in chain order: index
// 0 is the chip whose TDI is the cable's TDI.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "automation/ComPtr.h"
#include "automation/ComTypes.h"

namespace host {

struct ChainDeviceSpec {
  std::string name;
  size_t irLength = 8;
  // 0: the chip has no IDCODE register.
  uint32_t idCode = 0;
  // The IDCODE bits that identify the part; the top four are the silicon
  // revision, which a part of any revision shares.
  uint32_t idCodeMask = 0x0FFFFFFF;
  // A BSDL file the user names for this chip, preferred over the
  // description its driver carries built in ("" for none).
  std::string bsdlFile;
  // The driver object (from the driver module) for this chip, or null.
  automation::ComPtr<IDispatch> driver;
};

using ChainDescription = std::vector<ChainDeviceSpec>;

}  // namespace host

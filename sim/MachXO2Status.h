// The bits of the MachXO2 status word (LSC_READ_STATUS, 32 bits) that the
// chip model drives; every other bit reads 0.
#pragma once

#include <cstdint>

namespace sim::mxo2status {

// In configuration mode: the DONE bit is programmed. Outside it: the chip
// has configured itself from its flash.
inline constexpr uint32_t kDone = 1u << 8;
inline constexpr uint32_t kConfigurationMode = 1u << 9;
inline constexpr uint32_t kBusy = 1u << 12;
inline constexpr uint32_t kFail = 1u << 13;

}  // namespace sim::mxo2status

// Fixed TMS sequences between TAP states, one ClockTms call per bit. The
// programmer walks the TAP itself so that instruction and data scans can
// stop in the pause states between their parts.
#pragma once

#include <array>

namespace jtag::tap {

// IDLE, DRSELECT, IRSELECT, IRCAPTURE, IREXIT1, IRPAUSE.
inline constexpr std::array<bool, 5> kIdleToIRPause = {1, 1, 0, 1, 0};
// xRPAUSE, xREXIT2, xRSHIFT (instruction or data side).
inline constexpr std::array<bool, 2> kPauseToShift = {1, 0};
// IRPAUSE, IREXIT2, IRUPDATE, DRSELECT, DRCAPTURE, DREXIT1, DRPAUSE.
inline constexpr std::array<bool, 6> kIRPauseToDRPause = {1, 1, 1, 0, 1, 0};
// xRPAUSE, xREXIT2, xRUPDATE, IDLE, then five more clocks in IDLE.
inline constexpr std::array<bool, 8> kPauseToIdle = {1, 1, 0, 0, 0, 0, 0, 0};
// IDLE, DRSELECT, DRCAPTURE, DREXIT1, DRPAUSE.
inline constexpr std::array<bool, 4> kIdleToDRPause = {1, 0, 1, 0};
// xREXIT1 to xRPAUSE, after a shift.
inline constexpr std::array<bool, 1> kExitToPause = {0};

}  // namespace jtag::tap

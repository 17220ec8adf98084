// The IEEE 1149.1 TAP controller: its 16 states, the next-state graph as
// data, and a controller that follows TMS one clock at a time. Both sides of
// a chain use it: the chip models step it, the host's channel tracks the
// state it has driven the chain into.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace sim {

// The numbering is the host channel's: 0 stands for "not known" (a master
// that has not reset the chain yet), a real controller is never in it.
enum class TapState : uint8_t {
  kUndefined = 0,
  kReset = 1,  // Test-Logic-Reset
  kIdle = 2,   // Run-Test/Idle
  kDRSelect = 3,
  kDRCapture = 4,
  kDRShift = 5,
  kDRExit1 = 6,
  kDRPause = 7,
  kDRExit2 = 8,
  kDRUpdate = 9,
  kIRSelect = 10,
  kIRCapture = 11,
  kIRShift = 12,
  kIRExit1 = 13,
  kIRPause = 14,
  kIRExit2 = 15,
  kIRUpdate = 16,
};

inline constexpr int kTapStateCount = 17;

// Five clocks with TMS high reach Test-Logic-Reset from any state.
inline constexpr int kTapResetClocks = 5;

namespace detail {
using S = TapState;
// [state][tms]: the state after one rising TCK edge.
inline constexpr std::array<std::array<TapState, 2>, kTapStateCount> kTapNext = {{
    {S::kUndefined, S::kUndefined},  // undefined: only a master's bookkeeping
    {S::kIdle, S::kReset},           // Test-Logic-Reset
    {S::kIdle, S::kDRSelect},        // Run-Test/Idle
    {S::kDRCapture, S::kIRSelect},   // Select-DR-Scan
    {S::kDRShift, S::kDRExit1},      // Capture-DR
    {S::kDRShift, S::kDRExit1},      // Shift-DR
    {S::kDRPause, S::kDRUpdate},     // Exit1-DR
    {S::kDRPause, S::kDRExit2},      // Pause-DR
    {S::kDRShift, S::kDRUpdate},     // Exit2-DR
    {S::kIdle, S::kDRSelect},        // Update-DR
    {S::kIRCapture, S::kReset},      // Select-IR-Scan
    {S::kIRShift, S::kIRExit1},      // Capture-IR
    {S::kIRShift, S::kIRExit1},      // Shift-IR
    {S::kIRPause, S::kIRUpdate},     // Exit1-IR
    {S::kIRPause, S::kIRExit2},      // Pause-IR
    {S::kIRShift, S::kIRUpdate},     // Exit2-IR
    {S::kIdle, S::kDRSelect},        // Update-IR
}};

inline constexpr std::array<std::string_view, kTapStateCount> kTapNames = {
    "UNDEFINED", "RESET",  "IDLE",     "DRSELECT", "DRCAPTURE", "DRSHIFT",
    "DREXIT1",   "DRPAUSE", "DREXIT2", "DRUPDATE", "IRSELECT",  "IRCAPTURE",
    "IRSHIFT",   "IREXIT1", "IRPAUSE", "IREXIT2",  "IRUPDATE",
};
}  // namespace detail

constexpr TapState NextTapState(TapState state, bool tms) {
  return detail::kTapNext[static_cast<size_t>(state)][tms ? 1 : 0];
}

constexpr std::string_view TapStateName(TapState state) {
  return detail::kTapNames[static_cast<size_t>(state)];
}

constexpr bool IsValidTapCode(int code) { return code >= 0 && code < kTapStateCount; }

// A controller in hardware: it powers up in Test-Logic-Reset.
class Tap {
 public:
  TapState State() const { return state_; }
  // One rising TCK edge with the given TMS; returns the new state.
  TapState Clock(bool tms) { return state_ = NextTapState(state_, tms); }
  // The asynchronous TRST* input.
  void ForceReset() { state_ = TapState::kReset; }

 private:
  TapState state_ = TapState::kReset;
};

}  // namespace sim

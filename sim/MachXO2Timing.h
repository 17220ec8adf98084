// How long the chip model's configuration engine stays BUSY, and the clock
// it measures that on.
//
// Time is wall time from an injected clock, not a count of TCK cycles: a
// programmer waits for the chip with the cable idle (the driver of this
// system sleeps fixed milliseconds and sends nothing meanwhile), so TCK
// counts would never run out while it waits. Tests inject a clock they step
// by hand; the default is the process's monotonic clock.
#pragma once

#include <chrono>
#include <functional>

namespace sim {

using SimDuration = std::chrono::nanoseconds;
// Monotonic time since any fixed origin.
using SimClock = std::function<SimDuration()>;

SimClock SteadySimClock();

struct MachXO2Timing {
  SimDuration sramErase{0};
  SimDuration featureRowErase{0};
  SimDuration configurationErase{0};
  SimDuration userFlashErase{0};
  SimDuration pageProgram{0};
  // The feature row, feature bits, user code, DONE and security bits.
  SimDuration rowProgram{0};
  SimDuration refresh{0};

  // No busy time at all: every operation completes within its TCK cycle.
  // The default, so that tests run at full speed.
  static MachXO2Timing Instant() { return {}; }

  // Durations of the order a real part takes, to study programmers' fixed
  // waits against. They are estimates for a mid-size part (erase times grow
  // with density), not guaranteed data-sheet figures.
  static MachXO2Timing Realistic();
};

}  // namespace sim

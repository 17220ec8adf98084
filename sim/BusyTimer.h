// The BUSY flag of a chip's configuration engine: set for a while after an
// erase or a program operation, measured on an injected clock.
#pragma once

#include <algorithm>
#include <utility>

#include "sim/MachXO2Timing.h"

namespace sim {

class BusyTimer {
 public:
  explicit BusyTimer(SimClock clock) : clock_(std::move(clock)) {}

  // Stays busy for `duration` more (after any operation still running:
  // the engine does one thing at a time).
  void Start(SimDuration duration) {
    if (duration <= SimDuration::zero()) return;
    busyUntil_ = std::max(busyUntil_, clock_()) + duration;
  }
  bool IsBusy() const {
    return busyUntil_ > SimDuration::zero() && clock_() < busyUntil_;
  }
  void Clear() { busyUntil_ = SimDuration::zero(); }

 private:
  SimClock clock_;
  SimDuration busyUntil_{0};
};

}  // namespace sim

// The one clock behind every fixed wait of the chip programmer.
//
// Programming and erasing rely on fixed waits (no polling of the chip), so
// the waits must be real in the shipped module and instant in tests. The
// programming routines take a clock explicitly; only the driver operations
// the host calls cannot (their signatures are the host's), and they use the
// module's current clock:
//
//  - By default that is the machine's monotonic millisecond clock, or, when
//    the host program exports TalvoHost_Wait, the host's own time. A host
//    that simulates the chip (the stand-in host of the tests, a simulator)
//    exports it so a programming run costs no wall time there; the real host
//    does not, and the module then waits for real. The choice is made once,
//    on the first wait, and kept.
//  - A test that calls driver operations directly installs a clock for a
//    scope with TScopedClock, which restores the previous one on exit.
//
// The current-clock pointer is the module's only piece of global state
// here; it exists because the host's call path has no room for a clock
// argument. Everything runs on the host's one calling thread.
#pragma once

#include <cstdint>
#include <vector>

#include "automation/ComTypes.h"

namespace jtag {

class TClock {
 public:
  virtual ~TClock() = default;
  // Returns once at least `milliseconds` have passed on this clock.
  virtual void Wait(uint32_t milliseconds) = 0;
};

// The machine's monotonic clock: polls it until the time has passed,
// giving up the time slice on every pass (no timer, no message loop).
class TMachineClock final : public TClock {
 public:
  void Wait(uint32_t milliseconds) override;
};

// The time of a host that keeps its own (see above).
class THostClock final : public TClock {
 public:
  using WaitFunction = void(STDMETHODCALLTYPE*)(uint32_t milliseconds);
  explicit THostClock(WaitFunction wait) : wait_(wait) {}
  void Wait(uint32_t milliseconds) override { wait_(milliseconds); }

 private:
  WaitFunction wait_;
};

// Returns at once and records every wait, for tests and benchmarks.
class TVirtualClock final : public TClock {
 public:
  void Wait(uint32_t milliseconds) override {
    waits_.push_back(milliseconds);
    elapsed_ += milliseconds;
  }
  const std::vector<uint32_t>& Waits() const { return waits_; }
  uint64_t ElapsedMilliseconds() const { return elapsed_; }
  void Clear() {
    waits_.clear();
    elapsed_ = 0;
  }

 private:
  std::vector<uint32_t> waits_;
  uint64_t elapsed_ = 0;
};


// The clock the module's driver operations wait on now.
TClock& CurrentClock();

// Installs `clock` as the current clock for the life of this object.
class TScopedClock {
 public:
  explicit TScopedClock(TClock& clock);
  ~TScopedClock();
  TScopedClock(const TScopedClock&) = delete;
  TScopedClock& operator=(const TScopedClock&) = delete;

 private:
  TClock* previous_;
};

}  // namespace jtag

#include "jtag/Clock.h"

#include <chrono>
#include <optional>
#include <thread>

#include "hostsdk/HostModules.h"
#include "hostsdk/HostServices.h"

namespace jtag {

namespace {

// Null until a test installs a clock; the default clock is used then.
TClock* installedClock = nullptr;

std::optional<THostClock> FindHostClock() {
  auto wait =
      reinterpret_cast<THostClock::WaitFunction>(hostsdk::FindHostExport("", hostsdk::kHostWaitExport));
  if (!wait) return std::nullopt;
  return THostClock(wait);
}

TClock& DefaultClock() {
  static TMachineClock machine;
  static std::optional<THostClock> host = FindHostClock();
  if (host) return *host;
  return machine;
}

}  // namespace

void TMachineClock::Wait(uint32_t milliseconds) {
  // A monotonic clock of sub-millisecond resolution, so that a wait is
  // never shorter than asked (a coarse tick count may flip right after the
  // start and end a 1 ms wait at once).
  using Clock = std::chrono::steady_clock;
  const Clock::time_point start = Clock::now();
  const auto span = std::chrono::milliseconds(milliseconds);
  while (Clock::now() - start < span) std::this_thread::yield();
}

TClock& CurrentClock() { return installedClock ? *installedClock : DefaultClock(); }

TScopedClock::TScopedClock(TClock& clock) : previous_(installedClock) { installedClock = &clock; }

TScopedClock::~TScopedClock() { installedClock = previous_; }

}  // namespace jtag

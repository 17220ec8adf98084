// The shortest TMS sequence between two TAP states, as a table computed at
// compile time from the controller's graph.
#pragma once

#include <array>
#include <cstdint>

#include "sim/Tap.h"

namespace host {

// TMS bits to clock, first bit in bit 0.
struct TmsPath {
  uint8_t length = 0;
  uint8_t bits = 0;
};

namespace detail {

constexpr TmsPath ShortestFrom(sim::TapState from, sim::TapState to) {
  // Breadth-first over the 16 real states; the graph is strongly connected
  // and no shortest path is longer than 7 clocks.
  std::array<TmsPath, sim::kTapStateCount> best{};
  std::array<bool, sim::kTapStateCount> seen{};
  std::array<sim::TapState, sim::kTapStateCount> queue{};
  size_t head = 0, tail = 0;
  queue[tail++] = from;
  seen[static_cast<size_t>(from)] = true;
  while (head < tail) {
    const sim::TapState s = queue[head++];
    const TmsPath here = best[static_cast<size_t>(s)];
    for (int tms = 0; tms <= 1; ++tms) {
      const sim::TapState next = sim::NextTapState(s, tms != 0);
      const size_t n = static_cast<size_t>(next);
      if (seen[n]) continue;
      seen[n] = true;
      best[n] = TmsPath{static_cast<uint8_t>(here.length + 1),
                        static_cast<uint8_t>(here.bits | (tms << here.length))};
      queue[tail++] = next;
    }
  }
  return best[static_cast<size_t>(to)];
}

constexpr auto BuildTmsPaths() {
  std::array<std::array<TmsPath, sim::kTapStateCount>, sim::kTapStateCount> table{};
  for (int from = 1; from < sim::kTapStateCount; ++from)
    for (int to = 1; to < sim::kTapStateCount; ++to)
      table[from][to] =
          ShortestFrom(static_cast<sim::TapState>(from), static_cast<sim::TapState>(to));
  return table;
}

inline constexpr auto kTmsPaths = BuildTmsPaths();

}  // namespace detail

// Both states must be real states (not kUndefined).
constexpr TmsPath ShortestTmsPath(sim::TapState from, sim::TapState to) {
  return detail::kTmsPaths[static_cast<size_t>(from)][static_cast<size_t>(to)];
}

static_assert(ShortestTmsPath(sim::TapState::kIdle, sim::TapState::kIRShift).length == 4);
static_assert(ShortestTmsPath(sim::TapState::kIdle, sim::TapState::kIRShift).bits == 0b0011);
static_assert(ShortestTmsPath(sim::TapState::kReset, sim::TapState::kIdle).bits == 0);

}  // namespace host

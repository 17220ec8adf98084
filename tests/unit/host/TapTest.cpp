// The TAP controller graph, the shortest walks computed from it, and the
// generic chip model's registers, driven one clock at a time.
#include <gtest/gtest.h>

#include <vector>

#include "host/TapPath.h"
#include "sim/GenericTapDevice.h"
#include "sim/Tap.h"

namespace {

using sim::TapState;

TapState Follow(TapState state, const std::vector<int>& tms) {
  for (int bit : tms) state = sim::NextTapState(state, bit != 0);
  return state;
}

struct Walk {
  TapState from;
  std::vector<int> tms;
  TapState to;
};

// Walks as the standard draws them, including the programmer's fixed walks.
const Walk kWalks[] = {
    {TapState::kIdle, {1, 1, 0, 1, 0}, TapState::kIRPause},
    {TapState::kIRPause, {1, 0}, TapState::kIRShift},
    {TapState::kDRPause, {1, 0}, TapState::kDRShift},
    {TapState::kIRPause, {1, 1, 1, 0, 1, 0}, TapState::kDRPause},
    {TapState::kDRPause, {1, 1, 0}, TapState::kIdle},
    {TapState::kIdle, {1, 0, 1, 0}, TapState::kDRPause},
    {TapState::kIdle, {1, 1, 0, 0}, TapState::kIRShift},
    {TapState::kIRExit1, {1, 0}, TapState::kIdle},
    {TapState::kDRShift, {0, 0, 0}, TapState::kDRShift},
    {TapState::kIdle, {1, 1, 1}, TapState::kReset},
    {TapState::kReset, {0}, TapState::kIdle},
};

TEST(TapGraph, FollowsTheStandardWalks) {
  for (const Walk& walk : kWalks)
    EXPECT_EQ(Follow(walk.from, walk.tms), walk.to) << sim::TapStateName(walk.from);
}

TEST(TapGraph, ShortestPathsReachEveryStateFromEveryState) {
  for (int from = 1; from < sim::kTapStateCount; ++from) {
    for (int to = 1; to < sim::kTapStateCount; ++to) {
      const auto a = static_cast<TapState>(from), b = static_cast<TapState>(to);
      const host::TmsPath path = host::ShortestTmsPath(a, b);
      std::vector<int> bits;
      for (int i = 0; i < path.length; ++i) bits.push_back((path.bits >> i) & 1);
      EXPECT_EQ(Follow(a, bits), b) << sim::TapStateName(a) << " -> " << sim::TapStateName(b);
      EXPECT_EQ(path.length == 0, from == to);
    }
  }
  // The walks above that are shortest come out of the table unchanged.
  const host::TmsPath toPause = host::ShortestTmsPath(TapState::kIRPause, TapState::kDRPause);
  EXPECT_EQ(toPause.length, 6);
  EXPECT_EQ(toPause.bits, 0b010111);
}

TEST(TapGraph, FiveTmsOnesResetFromAnyStateAndFourDoNot) {
  bool fourAlwaysEnough = true;
  for (int s = 1; s < sim::kTapStateCount; ++s) {
    const auto state = static_cast<TapState>(s);
    EXPECT_EQ(Follow(state, {1, 1, 1, 1, 1}), TapState::kReset) << sim::TapStateName(state);
    if (Follow(state, {1, 1, 1, 1}) != TapState::kReset) fourAlwaysEnough = false;
  }
  EXPECT_FALSE(fourAlwaysEnough);
}

// ---- the generic chip, one clock at a time ----------------------------------

// Clocks TMS bits with TDI low; returns TDO of each clock.
std::vector<int> Clock(sim::ChainDevice& chip, const std::vector<int>& tms,
                       const std::vector<int>& tdi = {}) {
  std::vector<int> tdo;
  for (size_t i = 0; i < tms.size(); ++i)
    tdo.push_back(chip.ClockOnce(tms[i] != 0, i < tdi.size() && tdi[i] != 0));
  return tdo;
}

TEST(GenericTapDevice, RegistersAsTheStandardSays) {
  struct Case {
    const char* what;
    sim::GenericTapConfig config;
    std::vector<int> drAfterReset;  // first bits out of a DR scan after reset
  };
  const Case cases[] = {
      // IDCODE 0x...A5 = 1010 0101: bit 0 first.
      {"with IDCODE", {.irLength = 6, .idCode = 0x000000A5, .idCodeOpcode = 0x05},
       {1, 0, 1, 0, 0, 1, 0, 1, 0}},
      // BYPASS: a single bit that captures 0, then TDI comes through.
      {"without IDCODE", {.irLength = 3}, {0, 1, 1, 0, 1, 0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    sim::GenericTapDevice chip(c.config);
    EXPECT_EQ(chip.State(), TapState::kReset) << c.what;
    Clock(chip, {0, 1, 0, 0});  // IDLE, DRSELECT, DRCAPTURE, DRSHIFT
    // Shift 1,1,0,1,0... in: a bypassing chip returns them one clock late.
    EXPECT_EQ(Clock(chip, {0, 0, 0, 0, 0, 0, 0, 0, 0}, {1, 1, 0, 1}), c.drAfterReset) << c.what;

    Clock(chip, {1, 1, 1, 1, 1, 0, 1, 1, 0, 0});  // reset, then IRSHIFT
    const std::vector<int> irOut = Clock(chip, std::vector<int>(c.config.irLength, 0));
    EXPECT_EQ(irOut[0], 1) << c.what;  // captured ...01, bit 0 first
    EXPECT_EQ(irOut[1], 0) << c.what;
  }
}

TEST(GenericTapDevice, DataRegisterKeepsWhatUpdateDrLatched) {
  sim::GenericTapDevice chip({.irLength = 4, .dataLength = 5, .dataOpcode = 0x6});
  // Load instruction 0x6 (0110, bit 0 first) and go to DRSHIFT.
  Clock(chip, {0, 1, 1, 0, 0});
  Clock(chip, {0, 0, 0, 1}, {0, 1, 1, 0});
  Clock(chip, {1, 1, 0, 0});  // IRUPDATE, DRSELECT, DRCAPTURE, DRSHIFT
  EXPECT_EQ(chip.Instruction(), 0x6u);
  Clock(chip, {0, 0, 0, 0, 1}, {1, 0, 1, 1, 0});
  EXPECT_EQ(chip.DataRegister(), (std::vector<uint8_t>{0, 0, 0, 0, 0}));  // not yet updated
  Clock(chip, {1, 0});  // DRUPDATE, IDLE
  EXPECT_EQ(chip.DataRegister(), (std::vector<uint8_t>{1, 0, 1, 1, 0}));
}

TEST(GenericTapDevice, RejectsConfigurationsThatCannotWork) {
  const sim::GenericTapConfig bad[] = {
      {.irLength = 1},
      {.irLength = 33},
      {.irLength = 4, .idCode = 1, .idCodeOpcode = 0xF},   // that is BYPASS
      {.irLength = 4, .idCode = 1, .idCodeOpcode = 0x10},  // too wide
      {.irLength = 4, .idCode = 1, .idCodeOpcode = 0x2, .dataLength = 3, .dataOpcode = 0x2},
  };
  for (const sim::GenericTapConfig& config : bad)
    EXPECT_THROW(sim::GenericTapDevice{config}, std::invalid_argument) << config.irLength;
}

}  // namespace

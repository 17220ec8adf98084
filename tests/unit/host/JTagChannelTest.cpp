// The host's JTAG channel over a simulated chain of generic chips: TAP
// tracking, chain addressing with BYPASS on the other chips, the bit-string
// and integer conventions, the call log, and queueing on the cable.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "automation/HostCall.h"
#include "hostsdk/HostDispIds.h"
#include "tests/unit/host/SimChainFixture.h"

namespace {

namespace id = hostsdk::dispid;
using automation::HostCall;
using automation::HostCallInt;
using automation::HostCallString;
using automation::HostCallVoid;
using automation::Variant;
using hosttest::BuildSimChain;
using hosttest::SimChain;
using hosttest::ThreeChips;
using sim::TapState;

uint32_t AllOnes(size_t bits) { return bits >= 32 ? 0xFFFFFFFFu : (1u << bits) - 1; }

// '0'/'1' text of `bits`, bit 0 last (the channel's convention).
std::string TextOf(const std::vector<uint8_t>& bits) {
  std::string text;
  for (size_t i = bits.size(); i > 0; --i) text += bits[i - 1] ? '1' : '0';
  return text;
}

std::vector<uint8_t> BitsOf(const std::string& text) {
  std::vector<uint8_t> bits;
  for (size_t i = text.size(); i > 0; --i) bits.push_back(text[i - 1] == '1');
  return bits;
}

void ExpectChipsIn(const SimChain& chain, TapState state, const std::string& context) {
  for (size_t i = 0; i < chain.chips.size(); ++i)
    EXPECT_EQ(chain.chips[i]->State(), state) << context << ", chip " << i;
}

// ---- TAP tracking -------------------------------------------------------------

TEST(JTagChannel, TapReachesEveryStateFromEveryStateAndTracksTheChips) {
  SimChain chain = BuildSimChain(ThreeChips());
  host::JTagChannel& channel = chain.Channel();
  for (int from = 1; from < sim::kTapStateCount; ++from) {
    for (int to = 1; to < sim::kTapStateCount; ++to) {
      channel.GotoState(from);
      channel.GotoState(to);
      channel.Flush();
      const std::string context = std::to_string(from) + " -> " + std::to_string(to);
      EXPECT_EQ(channel.State(), static_cast<TapState>(to)) << context;
      ExpectChipsIn(chain, static_cast<TapState>(to), context);
    }
  }
}

TEST(JTagChannel, FiveTmsOnesResetFromAnyState) {
  for (int from = 0; from < sim::kTapStateCount; ++from) {
    SimChain chain = BuildSimChain(ThreeChips());
    host::JTagChannel& channel = chain.Channel();
    if (from != 0) channel.GotoState(from);  // 0: a channel that never reset the chain
    for (int i = 0; i < 4; ++i) channel.ClockTms(true);
    if (from == 0) {
      EXPECT_EQ(channel.State(), TapState::kUndefined) << "four ones are not enough";
    }
    channel.ClockTms(true);
    channel.Flush();
    EXPECT_EQ(channel.State(), TapState::kReset) << from;
    ExpectChipsIn(chain, TapState::kReset, "from " + std::to_string(from));
  }
}

// ---- addressing a chip of the chain -----------------------------------------------

TEST(JTagChannel, ReadsTheIdcodeOfEachIndexWithTheOthersInBypass) {
  const std::vector<sim::GenericTapConfig> configs = ThreeChips();
  for (size_t index = 0; index < configs.size(); ++index) {
    SimChain chain = BuildSimChain(configs);
    host::JTagChannel& channel = chain.Channel();
    const auto i = static_cast<int32_t>(index);
    channel.ScanIR(configs[index].idCodeOpcode, i);
    EXPECT_EQ(channel.ScanDR(0, 32, i), configs[index].idCode) << index;
    EXPECT_EQ(channel.State(), TapState::kIdle);
    for (size_t other = 0; other < configs.size(); ++other) {
      const uint32_t expected =
          other == index ? configs[index].idCodeOpcode : AllOnes(configs[other].irLength);
      EXPECT_EQ(chain.chips[other]->Instruction(), expected) << index << "/" << other;
    }
  }
}

TEST(JTagChannel, DrScanStraightAfterResetPadsTheOthersByTheirResetRegister) {
  // After Test-Logic-Reset a chip with an IDCODE register is 32 bits long
  // in a DR scan, one without it is a bypass bit.
  std::vector<sim::GenericTapConfig> noMiddleIdcode = ThreeChips();
  noMiddleIdcode[1].idCode = 0;
  for (const auto& configs : {ThreeChips(), noMiddleIdcode}) {
    SimChain chain = BuildSimChain(configs);
    host::JTagChannel& channel = chain.Channel();
    for (size_t index = 0; index < configs.size(); ++index) {
      if (configs[index].idCode == 0) continue;
      channel.Reset();
      channel.GotoState(2);
      EXPECT_EQ(channel.ScanDR(0xFFFFFFFF, 32, static_cast<int32_t>(index)), configs[index].idCode)
          << index;
    }
  }
}

TEST(JTagChannel, DataReachesOnlyTheAddressedChipInEachBitForm) {
  const std::vector<sim::GenericTapConfig> configs = ThreeChips();
  // A pattern per chip, as text: last character is bit 0.
  const std::vector<std::string> patterns = {"100000000011", "10110000111100001111000011001010",
                                             "1100101"};
  using Shift = std::function<void(host::JTagChannel&, const std::string&, int32_t)>;
  const std::pair<const char*, Shift> forms[] = {
      {"ShiftDRBits", [](host::JTagChannel& c, const std::string& p,
                         int32_t i) { c.ShiftDRBits(p, i); }},
      {"ShiftDRValue", [](host::JTagChannel& c, const std::string& p,
                          int32_t i) { c.ShiftDRValue(std::stoul(p, nullptr, 2), p.size(), i); }},
      {"ShiftDRBitsCapture", [](host::JTagChannel& c, const std::string& p,
                                int32_t i) { c.ShiftDRBitsCapture(p, i); }},
      {"ShiftDRCapture", [](host::JTagChannel& c, const std::string& p,
                            int32_t i) { c.ShiftDRCapture(std::stoul(p, nullptr, 2), p.size(), i); }},
  };
  for (const auto& [name, shift] : forms) {
    for (size_t index = 0; index < configs.size(); ++index) {
      SimChain chain = BuildSimChain(configs);
      host::JTagChannel& channel = chain.Channel();
      const auto i = static_cast<int32_t>(index);
      channel.ScanIR(configs[index].dataOpcode, i);
      channel.MoveState(2, 5);
      shift(channel, patterns[index], i);
      EXPECT_EQ(channel.State(), TapState::kDRExit1) << name;
      channel.MoveState(6, 2);
      channel.Flush();
      for (size_t other = 0; other < configs.size(); ++other) {
        const std::string expected =
            other == index ? patterns[index] : std::string(configs[other].dataLength, '0');
        EXPECT_EQ(TextOf(chain.chips[other]->DataRegister()), expected)
            << name << " into " << index << ", chip " << other;
      }
    }
  }
}

TEST(JTagChannel, CapturesComeBackInTheCallersConvention) {
  // Chip 2's 7-bit data register holds bits b6..b0 = 0001011 (0x0B): the
  // first bit out is b0, which is the last character of a bit string.
  SimChain chain = BuildSimChain(ThreeChips());
  host::JTagChannel& channel = chain.Channel();
  const std::string held = "0001011";
  channel.ScanIR(0x05, 2);

  // (Flushed after each scan so that its Update-DR lands before the next
  // preset, not after it.)
  chain.chips[2]->SetDataRegister(BitsOf(held));
  channel.MoveState(2, 5);
  EXPECT_EQ(channel.ShiftDRBitsCapture("1111111", 2), held);
  channel.MoveState(6, 2);
  channel.Flush();

  chain.chips[2]->SetDataRegister(BitsOf(held));
  channel.MoveState(2, 5);
  EXPECT_EQ(channel.ShiftDRCapture(0, 7, 2), 0x0Bu);
  channel.MoveState(6, 2);
  channel.Flush();

  chain.chips[2]->SetDataRegister(BitsOf(held));
  EXPECT_EQ(channel.ScanDR(0, 7, 2), 0x0Bu);
  // What went in came back out on the next scan: the captures did not
  // disturb the register update.
  EXPECT_EQ(channel.ScanDR(0x55, 7, 2), 0u);
  EXPECT_EQ(channel.ScanDR(0, 7, 2), 0x55u);
}

TEST(JTagChannel, InstructionBitStringsShiftTheLastCharacterFirst) {
  // The programmer's LoadInstruction walk: from IRPAUSE, the opcode as eight
  // characters most significant first.
  SimChain chain = BuildSimChain(ThreeChips());
  host::JTagChannel& channel = chain.Channel();
  channel.GotoState(2);
  for (int tms : {1, 1, 0, 1, 0, 1, 0}) channel.ClockTms(tms);  // IRPAUSE, then IRSHIFT
  channel.ShiftIRBits("11100000", 1);
  EXPECT_EQ(channel.State(), TapState::kIRExit1);
  for (int tms : {0, 1, 1, 0}) channel.ClockTms(tms);  // IRPAUSE, IREXIT2, IRUPDATE, IDLE
  EXPECT_EQ(channel.ScanDR(0, 32, 1), 0x012BA043u);
  EXPECT_EQ(chain.chips[1]->Instruction(), 0xE0u);
}

TEST(JTagChannel, ShiftDRBitsExShiftsIntoTheLastInstructedChipFromPause) {
  const std::string rowA = "01010000000000000000000000000011";
  const std::string rowB = "10000000000000000000000011110001";
  struct Case {
    bool fromPause;
    std::vector<int> walkAfterIr;  // from IRPAUSE
    std::string data;
  };
  const Case cases[] = {
      // IRPauseToDRPause, then the bits from DRPAUSE.
      {true, {1, 1, 1, 0, 1, 0}, rowA},
      // Into DRSHIFT first: the flag off is ShiftDRBits without an index.
      {false, {1, 1, 1, 0, 0}, rowB},
  };
  for (const Case& c : cases) {
    SimChain chain = BuildSimChain(ThreeChips());
    host::JTagChannel& channel = chain.Channel();
    channel.GotoState(2);
    for (int tms : {1, 1, 0, 1, 0, 1, 0}) channel.ClockTms(tms);
    channel.ShiftIRBits("00111100", 1);  // chip 1's data register
    channel.ClockTms(false);
    for (int tms : c.walkAfterIr) channel.ClockTms(tms);
    channel.ShiftDRBitsEx(c.data, c.fromPause);
    EXPECT_EQ(channel.State(), TapState::kDRExit1) << c.fromPause;
    for (int tms : {0, 1, 1, 0, 0, 0, 0, 0, 0}) channel.ClockTms(tms);  // ClockTms 0; PauseToIdle
    channel.Flush();
    EXPECT_EQ(TextOf(chain.chips[1]->DataRegister()), c.data) << c.fromPause;
    EXPECT_EQ(TextOf(chain.chips[0]->DataRegister()), std::string(12, '0'));
  }
}

// ---- the call log and the dispatch surface -----------------------------------------

TEST(JTagChannel, CallLogRecordsDispatchCallsWithTheirArguments) {
  SimChain chain = BuildSimChain(ThreeChips());
  IDispatch* channel = chain.Channel().AsDispatch();
  // The programmer's status read, then a few calls of every argument form.
  HostCall(channel, id::kChannel_Open);
  HostCallVoid(channel, id::kChannel_GotoState, {Variant::Int(2)});
  HostCallVoid(channel, id::kChannel_GotoState, {Variant::Int(2)});
  HostCallVoid(channel, id::kChannel_Flush);
  HostCallVoid(channel, id::kChannel_ScanIR, {Variant::Int(0x3C), Variant::Int(1)});
  HostCallVoid(channel, id::kChannel_Flush);
  const int32_t status = HostCallInt(channel, id::kChannel_ScanDR,
                                     {Variant::Int(-1), Variant::Int(32), Variant::Int(1)});
  HostCallVoid(channel, id::kChannel_ScanIR, {Variant::Int(0xFF), Variant::Int(1)});
  HostCallVoid(channel, id::kChannel_MoveState, {Variant::Int(2), Variant::Int(5)});
  const std::string captured = HostCallString(channel, id::kChannel_ShiftDRBitsCapture,
                                              {Variant::String("1"), Variant::Int(1)});
  HostCallVoid(channel, id::kChannel_ClockTms, {Variant::Bool(false)});
  HostCallVoid(channel, id::kChannel_ShiftDRBitsEx, {Variant::String("10"), Variant::Bool(true)});
  HostCallVoid(channel, id::kChannel_Reset);
  HostCallVoid(channel, id::kChannel_Close);

  EXPECT_EQ(status, 0);  // chip 1's data register is still 0
  EXPECT_EQ(captured, "0");  // BYPASS captures 0
  const std::vector<std::string> expected = {
      "Open",
      "GotoState(2)",
      "GotoState(2)",
      "Flush",
      "ScanIR(0x3C, 1)",
      "Flush",
      "ScanDR(0xFFFFFFFF, 32, 1)",
      "ScanIR(0xFF, 1)",
      "MoveState(2, 5)",
      "ShiftDRBitsCapture(\"1\", 1)",
      "ClockTms(0)",
      "ShiftDRBitsEx(\"10\", True)",
      "Reset",
      "Close",
  };
  EXPECT_EQ(chain.Channel().CallLog(), expected);
}

TEST(JTagChannel, FailedCallsReportTheirReasonAndLeaveTheChainAlone) {
  struct Case {
    const char* what;
    DISPID call;
    std::vector<Variant> args;
    const char* reason;  // part of the error text
    int state = 2;       // where the TAP is before the call
  };
  const Case cases[] = {
      {"shift outside its state", id::kChannel_ShiftDRBits,
       {Variant::String("1"), Variant::Int(0)}, "needs the TAP in DRSHIFT"},
      {"IR string of the wrong length", id::kChannel_ShiftIRBits,
       {Variant::String("1111"), Variant::Int(1)}, "whose IR is 8 bits", 12},
      {"not a bit", id::kChannel_ShiftDRBits, {Variant::String("10x1"), Variant::Int(0)},
       "only '0' and '1' are bits", 5},
      {"empty bit string", id::kChannel_ShiftDRBitsCapture,
       {Variant::String(""), Variant::Int(0)}, "empty bit string", 5},
      {"opcode wider than the IR", id::kChannel_ScanIR, {Variant::Int(0x10), Variant::Int(0)},
       "does not fit the 4-bit IR"},
      {"chain index past the end", id::kChannel_ScanDR,
       {Variant::Int(0), Variant::Int(8), Variant::Int(3)}, "chain index 3 on a chain of 3"},
      {"negative chain index", id::kChannel_ScanIR, {Variant::Int(1), Variant::Int(-1)},
       "chain index -1"},
      {"length past an integer", id::kChannel_ScanDR,
       {Variant::Int(0), Variant::Int(33), Variant::Int(0)}, "length 33"},
      {"no length", id::kChannel_ScanDR, {Variant::Int(0), Variant::Int(0), Variant::Int(0)},
       "length 0"},
      {"MoveState from elsewhere", id::kChannel_MoveState, {Variant::Int(6), Variant::Int(2)},
       "from DREXIT1 (6), but the TAP is in IDLE (2)"},
      {"no such state", id::kChannel_GotoState, {Variant::Int(17)}, "not a TAP state"},
      {"going to UNDEFINED", id::kChannel_GotoState, {Variant::Int(0)}, "UNDEFINED"},
      {"Ex outside DRPAUSE", id::kChannel_ShiftDRBitsEx,
       {Variant::String("1"), Variant::Bool(true)}, "needs the TAP in DRPAUSE"},
      {"missing argument", id::kChannel_ScanIR, {Variant::Int(1)}, "argument 2 is missing"},
  };
  for (const Case& c : cases) {
    SimChain chain = BuildSimChain(ThreeChips());
    host::JTagChannel& channel = chain.Channel();
    channel.GotoState(c.state);
    const size_t pending = chain.cable->PendingBits();
    try {
      switch (c.args.size()) {
        case 1: HostCall(channel.AsDispatch(), c.call, {c.args[0]}); break;
        case 2: HostCall(channel.AsDispatch(), c.call, {c.args[0], c.args[1]}); break;
        default: HostCall(channel.AsDispatch(), c.call, {c.args[0], c.args[1], c.args[2]}); break;
      }
      ADD_FAILURE() << c.what << ": no error";
    } catch (const automation::EHostCallFailed& e) {
      EXPECT_NE(std::string(e.what()).find(c.reason), std::string::npos) << c.what << ": " << e.what();
    }
    EXPECT_EQ(channel.State(), static_cast<TapState>(c.state)) << c.what;
    EXPECT_EQ(chain.cable->PendingBits(), pending) << c.what;
  }
}

TEST(JTagChannel, DrScanRefusesWhenAnotherChipsRegisterLengthIsUnknown) {
  // Chip 0 holds its data instruction: its register length is its own
  // business, so addressing chip 1 cannot pad it correctly.
  SimChain chain = BuildSimChain(ThreeChips());
  host::JTagChannel& channel = chain.Channel();
  channel.ScanIR(0x2, 0);
  EXPECT_THROW(channel.ScanDR(0, 32, 1), std::logic_error);
  EXPECT_EQ(channel.State(), TapState::kIdle);
  channel.ScanIR(0xE0, 1);  // BYPASS into chip 0 again
  EXPECT_EQ(channel.ScanDR(0, 32, 1), 0x012BA043u);
}

// ---- queueing -------------------------------------------------------------------

TEST(JTagChannel, CableSeesNothingUntilAResultOrFlushIsNeeded) {
  using Step = std::function<void(host::JTagChannel&)>;
  struct Case {
    const char* what;
    Step queuedWork;
    Step sends;
    bool chainSeesQueuedWork;  // after `sends`
  };
  const Case cases[] = {
      {"Flush", [](auto& c) { c.ScanIR(0xE0, 1); }, [](auto& c) { c.Flush(); }, true},
      {"a capture", [](auto& c) { c.ScanIR(0xE0, 1); },
       [](auto& c) { EXPECT_EQ(c.ScanDR(0, 32, 1), 0x012BA043u); }, true},
      {"Close", [](auto& c) { c.ScanIR(0xE0, 1); }, [](auto& c) { c.Close(); }, true},
      {"a walk", [](auto& c) { c.Reset(); }, [](auto& c) { c.GotoState(14); }, false},
      {"shifts", [](auto& c) { c.MoveState(2, 5); },
       [](auto& c) {
         c.ShiftDRValue(1, 8, 0);
         c.ShiftDRBits("1", 0);  // refused: DREXIT1; queues nothing
       },
       false},
  };
  for (const Case& c : cases) {
    SimChain chain = BuildSimChain(ThreeChips());
    host::JTagChannel& channel = chain.Channel();
    channel.Open();
    channel.GotoState(2);
    c.queuedWork(channel);
    EXPECT_EQ(chain.cable->Stats().exchanges, 0u) << c.what;
    EXPECT_GT(chain.cable->PendingBits(), 0u) << c.what;
    try {
      c.sends(channel);
    } catch (const std::logic_error&) {
    }
    EXPECT_EQ(chain.cable->Stats().exchanges, c.chainSeesQueuedWork ? 1u : 0u) << c.what;
    EXPECT_EQ(chain.chips[0]->State(), c.chainSeesQueuedWork ? TapState::kIdle : TapState::kReset)
        << c.what;
  }
}

TEST(JTagChannel, FlushWithNothingQueuedSendsNothing) {
  SimChain chain = BuildSimChain(ThreeChips());
  chain.Channel().Flush();
  chain.Channel().Open();
  chain.Channel().Flush();
  EXPECT_EQ(chain.cable->Stats().exchanges, 0u);
}

// ---- Open and Close ------------------------------------------------------------------

TEST(JTagChannel, OpenAndCloseNestAndTheTapStateOutlivesClose) {
  SimChain chain = BuildSimChain(ThreeChips());
  host::JTagChannel& channel = chain.Channel();
  EXPECT_TRUE(channel.Open());
  EXPECT_TRUE(channel.Open());
  channel.GotoState(14);
  channel.Close();  // inner: sends, stays open
  EXPECT_TRUE(channel.IsOpen());
  EXPECT_EQ(chain.chips[0]->State(), TapState::kIRPause);
  channel.Close();
  EXPECT_FALSE(channel.IsOpen());
  EXPECT_EQ(channel.State(), TapState::kIRPause);
  // A call on a closed channel connects the cable itself.
  channel.GotoState(2);
  channel.Close();
  EXPECT_EQ(chain.chips[0]->State(), TapState::kIdle);
}

class UnreachableCable : public host::Cable {
 public:
  std::string Name() const override { return "unreachable cable"; }

 protected:
  void Connect() override { throw std::runtime_error("connection refused"); }
  void Exchange(const host::BitVector&, const host::BitVector&, host::BitVector&) override {}
};

TEST(JTagChannel, OpenReportsACableThatCannotConnect) {
  auto channel = host::MakeHostObject<host::JTagChannel>(
      std::make_shared<UnreachableCable>(), std::vector<host::ChannelLink>{{8, 0x012BA043, {}}});
  EXPECT_FALSE(automation::HostCallBool(channel->AsDispatch(), id::kChannel_Open));
  EXPECT_NE(channel->LastError().find("connection refused"), std::string::npos);
  EXPECT_THROW(HostCall(channel->AsDispatch(), id::kChannel_ScanIR,
                        {Variant::Int(0xE0), Variant::Int(0)}),
               automation::EHostCallFailed);
  EXPECT_EQ(channel->State(), TapState::kUndefined);
}

}  // namespace

// The Lattice configuration sequences, recorded at the channel and compared
// with sequences written out by hand from the TAP walks and instruction
// codes, with the fixed waits the virtual clock saw and the progress the
// status bar got.
#include "jtag/LatticeRoutines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "hostsdk/HostDispIds.h"
#include "jtag/JedecReader.h"
#include "jtag/LatticeProgrammer.h"
#include "plugin/TalvoDriver.h"
#include "tests/support/FakeChain.h"
#include "tests/support/JedecFixtures.h"
#include "tests/unit/support/RecordingDispatch.h"

namespace {

using Log = std::vector<std::string>;
using automation::ComPtr;

constexpr int32_t kChainIndex = 2;

// ---- Expected sequences, spelled out from the TAP walks -------------------

Log operator+(Log a, const Log& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

Log Tms(std::string_view bits) {
  Log log;
  for (char bit : bits) log.push_back(std::string("ClockTms ") + bit);
  return log;
}

// From IRPAUSE: shift the opcode, back to IRPAUSE.
Log Instruction(const std::string& opcodeBits) {
  return Tms("10") + Log{"ShiftIRBits " + opcodeBits + " 2"} + Tms("0");
}

const Log kIdleToIRPause = Tms("11010");
const Log kIRPauseToDRPause = Tms("111010");
const Log kPauseToIdle = Tms("11000000");

Log Command(const std::string& opcodeBits) {
  return kIdleToIRPause + Instruction(opcodeBits) + kPauseToIdle;
}

Log CommandWithByte(const std::string& opcodeBits, int value) {
  return kIdleToIRPause + Instruction(opcodeBits) + kIRPauseToDRPause + Tms("10") +
         Log{"ShiftDRCapture " + std::to_string(value) + " 8 2"} + Tms("0") + kPauseToIdle;
}

const Log kFlush = {"Flush"};

const Log kReadStatus = {"Open",         "GotoState 2",    "GotoState 2",   "Flush", "ScanIR 60 2",
                         "Flush",        "ScanDR -1 32 2", "ScanIR 255 2", "Close"};

const Log kProgramPrologue = Log{"Open", "Reset", "GotoState 2"} + Command("00011100") +
                             CommandWithByte("11000110", 0x00) + kFlush +
                             CommandWithByte("00001110", 0x01) + kFlush + Command("11111111") +
                             kFlush + CommandWithByte("11000110", 0x08) + kFlush +
                             CommandWithByte("01000110", 0x04) + kFlush;

Log ProgramRow(const std::string& bits) {
  return kIdleToIRPause + Instruction("01110000") + kIRPauseToDRPause + Tms("10") +
         Log{"ShiftDRBits " + bits + " 2"} + Tms("0") + kPauseToIdle + kFlush;
}

Log FeatureRow(const std::string& bits) {
  return CommandWithByte("01000110", 0x02) + kFlush + kIdleToIRPause + Instruction("11100100") +
         kIRPauseToDRPause + Log{"ShiftDRBitsEx " + bits + " 1"} + Tms("0") + kPauseToIdle +
         kFlush;
}

const Log kProgramEpilogue = Command("01011110") + kFlush + Command("11111111") + kFlush +
                             Command("00100110") + kFlush + Command("11111111") + kFlush +
                             Log{"Close"};

// The fixed waits of a programming run around its rows.
const std::vector<uint32_t> kWaitsBeforeRows = {1000, 1, 1, 1000, 1, 1, 100};
const std::vector<uint32_t> kWaitsAfterRows = {1, 1, 1, 1, 1000, 100};
constexpr uint64_t kProgramFixedWaits = 3208;

// ---- The rig: a driver bound to a recording chain device ------------------

constexpr int32_t kPrepare = -3;
constexpr int32_t kClose = -4;
constexpr int32_t kCaption = -5;
constexpr int32_t kFinish = -6;
constexpr int32_t kAdvance = -7;

class TestDriver : public plugin::TTalvoDriver {
 public:
  explicit TestDriver(std::string baseName) : TTalvoDriver(".EDN"), baseName_(std::move(baseName)) {}
  std::string GetBaseName() override { return baseName_; }

 private:
  std::string baseName_;
};

struct Rig {
  explicit Rig(std::string baseName = "LCMXO2-1200HC", bool bound = true)
      : driver(std::move(baseName)) {
    if (bound) driver.SetTalvoDevice(device->AsDispatch());
  }

  jtag::TProgrammerEnvironment Environment() {
    return {clock, progress, [this](const std::string& text, const std::string& caption) {
              messages.emplace_back(text, caption);
            }};
  }
  Log& ChannelLog() { return device->log; }
  boundary::FakeChannel& Channel() { return device->Channel(); }
  std::vector<int32_t> ProgressCodes() const {
    std::vector<int32_t> codes;
    for (const auto& call : gui.CallsTo(hostsdk::dispid::kGUIManager_StatusBarProgress))
      codes.push_back(call.Int(0));
    return codes;
  }

  TestDriver driver;
  host::ComPtr<boundary::FakeChainDevice> device =
      host::MakeHostObject<boundary::FakeChainDevice>("chip", kChainIndex);
  jtag::TVirtualClock clock;
  testsupport::RecordingDispatch gui;
  hostsdk::Progress progress{[this] { return ComPtr<IDispatch>(&gui); }};
  std::vector<std::pair<std::string, std::string>> messages;
};

std::vector<int32_t> Framed(std::vector<int32_t> inner) {
  std::vector<int32_t> codes = {kPrepare, kCaption};
  codes.insert(codes.end(), inner.begin(), inner.end());
  codes.push_back(kFinish);
  codes.push_back(kClose);
  return codes;
}

size_t Count(const Log& log, const std::string& entry) {
  return static_cast<size_t>(std::count(log.begin(), log.end(), entry));
}

// ---- Reading --------------------------------------------------------------

TEST(LatticeProgrammer, ReadStatusSequenceAndState) {
  const std::pair<uint32_t, uint8_t> cases[] = {
      {0x00000100u, 2}, {0xFFFFFEFFu, 1}, {0u, 1}, {0xFFFFFFFFu, 2}};
  for (const auto& [status, state] : cases) {
    Rig rig;
    rig.Channel().scanValue = static_cast<int32_t>(status);
    EXPECT_EQ(jtag::ReadDeviceState(rig.driver, rig.Environment()), state) << status;
    EXPECT_EQ(rig.ChannelLog(), kReadStatus);
    EXPECT_TRUE(rig.clock.Waits().empty());
  }
}

TEST(LatticeProgrammer, ReadUserCodeSequenceLeavesTheTapInIRPause) {
  Rig rig;
  rig.Channel().captureValue = 0x12345678;
  EXPECT_EQ(jtag::ReadUserCode(rig.driver, rig.Environment()), 0x12345678u);
  const Log expected = Log{"Open", "GotoState 2"} + kIdleToIRPause + Instruction("11000000") +
                       kPauseToIdle + Tms("1010") + Tms("10") + Log{"ShiftDRCapture -1 32 2"} +
                       Tms("0") + kPauseToIdle + kIdleToIRPause + Instruction("11111111") +
                       Log{"Close"};
  EXPECT_EQ(rig.ChannelLog(), expected);
  EXPECT_EQ(Count(rig.ChannelLog(), "Flush"), 0u);

  rig.ChannelLog().clear();
  rig.Channel().captureValue = -2;
  EXPECT_EQ(jtag::ReadUserCode(rig.driver, rig.Environment()), 0xFFFFFFFEu);
}

// ---- Erasing --------------------------------------------------------------

const Log kEraseSequence = Log{"Open", "Reset", "GotoState 2"} + Command("00011100") +
                           CommandWithByte("11000110", 0x00) + kFlush +
                           CommandWithByte("00001110", 0x01) + kFlush + Command("11111111") +
                           kFlush + CommandWithByte("11000110", 0x08) + kFlush +
                           CommandWithByte("00001110", 0x0E) + kFlush + Command("00100110") +
                           kFlush + Command("11111111") + kFlush + Log{"Close"};

TEST(LatticeProgrammer, EraseSequenceWaitsAndAnswer) {
  for (bool flashReset : {false, true}) {
    for (const auto& [status, erased] :
         {std::pair<uint32_t, bool>{0xFFFFFEFFu, true}, {0x100u, false}}) {
      Rig rig;
      rig.Channel().scanValue = static_cast<int32_t>(status);
      const bool answer = flashReset ? jtag::FlashReset(rig.driver, rig.Environment())
                                     : jtag::ResetDevice(rig.driver, rig.Environment());
      EXPECT_EQ(answer, erased) << flashReset << " " << status;
      EXPECT_EQ(rig.ChannelLog(), kEraseSequence + kReadStatus);
      EXPECT_EQ(rig.clock.Waits(), (std::vector<uint32_t>{1, 1, 1000, 1, 1, 10, 1000, 100}));
      // Only the flash reset shows progress: a frame of 90 with no steps.
      EXPECT_EQ(rig.ProgressCodes(), flashReset ? Framed({}) : std::vector<int32_t>{});
      if (flashReset) {
        EXPECT_EQ(rig.gui.calls[1].args[1], "Erasing Flash Device Via JTag...");
      }
      EXPECT_TRUE(rig.progress.Frames().empty());
    }
  }
}

// ---- Programming ----------------------------------------------------------

TEST(LatticeProgrammer, ProgramSequenceOfTheMiniatureFile) {
  Rig rig;
  EXPECT_EQ(jtag::ProgramFromJedecFile(rig.driver, jedecfixtures::Fixture("three-blocks.jed"),
                                       rig.Environment()),
            359640);
  // Three configuration rows and the memory initialisation row, reversed;
  // the two user flash rows are not sent.
  const Log expected = kProgramPrologue + ProgramRow("10000000") + ProgramRow("11000000") +
                       ProgramRow("11100000") + ProgramRow("00000001") +
                       FeatureRow(std::string(60, '0') + "0011") + kProgramEpilogue;
  EXPECT_EQ(rig.ChannelLog(), expected);

  std::vector<uint32_t> waits = kWaitsBeforeRows;
  waits.insert(waits.end(), 4, 1);
  waits.insert(waits.end(), kWaitsAfterRows.begin(), kWaitsAfterRows.end());
  EXPECT_EQ(rig.clock.Waits(), waits);
  EXPECT_EQ(rig.clock.ElapsedMilliseconds(), kProgramFixedWaits + 4);

  // 27 lines; 6 rows met and the feature row: 7 steps, 26 percent.
  EXPECT_EQ(rig.ProgressCodes(), Framed(std::vector<int32_t>(26, kAdvance)));
  EXPECT_EQ(rig.gui.calls[1].args[1], "Programming Device Via JTag...");
  EXPECT_TRUE(rig.messages.empty());
}

TEST(LatticeProgrammer, ProgramTheVendorSample) {
  const std::string sample = jedecfixtures::VendorSample();
  if (sample.empty()) GTEST_SKIP() << "the vendor sample is not beside the repository";
  Rig rig;
  EXPECT_EQ(jtag::ProgramFromJedecFile(rig.driver, sample, rig.Environment()), 359640);
  const Log& log = rig.ChannelLog();
  ASSERT_GT(log.size(), kProgramPrologue.size() + kProgramEpilogue.size());
  EXPECT_EQ(Log(log.begin(), log.begin() + static_cast<long>(kProgramPrologue.size())),
            kProgramPrologue);
  EXPECT_EQ(Log(log.end() - static_cast<long>(kProgramEpilogue.size()), log.end()),
            kProgramEpilogue);

  const jtag::TJedecFile file = jtag::TJedecFile::Load(sample);
  const std::string firstRow(file.Line(26).rbegin(), file.Line(26).rend());
  const Log firstRowSequence = ProgramRow(firstRow);
  EXPECT_EQ(Log(log.begin() + static_cast<long>(kProgramPrologue.size()),
                log.begin() + static_cast<long>(kProgramPrologue.size() + firstRowSequence.size())),
            firstRowSequence);
  const Log feature = FeatureRow(std::string(64, '0'));
  const size_t featureStart = log.size() - kProgramEpilogue.size() - feature.size();
  EXPECT_EQ(Log(log.begin() + static_cast<long>(featureStart),
                log.begin() + static_cast<long>(featureStart + feature.size())),
            feature);

  EXPECT_EQ(Count(log, "ShiftIRBits 01110000 2"), jedecfixtures::kSampleConfigurationRows);
  EXPECT_EQ(rig.clock.ElapsedMilliseconds(),
            kProgramFixedWaits + jedecfixtures::kSampleConfigurationRows);
  // 2724 lines; 2687 rows met and the feature row: 98.7 percent.
  EXPECT_EQ(rig.ProgressCodes(), Framed(std::vector<int32_t>(99, kAdvance)));
}

TEST(LatticeProgrammer, ResultIsTheGeometryOfTheBaseName) {
  const std::pair<const char*, int32_t> cases[] = {
      {"LCMXO2-256HC", 93744}, {"LCMXO2-1200HC", 359640}, {"LCMXO2-7000HE", 1533840},
      {"LFEC10E", 2951612}};
  for (const auto& [base, bits] : cases) {
    Rig rig(base);
    EXPECT_EQ(jtag::ProgramFromJedecFile(rig.driver, jedecfixtures::Fixture("three-blocks.jed"),
                                         rig.Environment()),
              bits)
        << base;
  }
}

TEST(LatticeProgrammer, FileWithoutRowsProgramsNothing) {
  Rig rig;
  const std::string notesOnly = jedecfixtures::Fixture("notes-only.jed");
  EXPECT_EQ(jtag::ProgramFromJedecFile(rig.driver, notesOnly, rig.Environment()), 0);
  EXPECT_TRUE(rig.ChannelLog().empty());
  EXPECT_TRUE(rig.ProgressCodes().empty());
  EXPECT_TRUE(rig.messages.empty());
  EXPECT_EQ(rig.clock.Waits(), std::vector<uint32_t>{1000});
}

TEST(LatticeProgrammer, UnreadableOrCutFilesFailBeforeTheChipIsTouched) {
  for (const char* name : {"cut-in-user-flash.jed", "no-such-file.jed"}) {
    Rig rig;
    const std::string path = jedecfixtures::Fixture(name);
    try {
      jtag::ProgramFromJedecFile(rig.driver, path, rig.Environment());
      ADD_FAILURE() << name << " programmed";
    } catch (const jtag::EJedecFileError& error) {
      EXPECT_EQ(error.FileName(), path);
    }
    EXPECT_TRUE(rig.ChannelLog().empty()) << name;
    EXPECT_TRUE(rig.ProgressCodes().empty()) << name;
  }
}

// ---- Unsupported chips, missing device or channel -------------------------

TEST(LatticeProgrammer, UnsupportedBaseNameIsToldOnce) {
  for (const char* base : {"LCMXO2-9999", "XYZ"}) {
    const std::pair<std::string, std::string> message = {
        std::string("Programming for ") + base + " not supported.", "Information"};
    {
      Rig rig(base);
      EXPECT_EQ(jtag::ProgramFromJedecFile(rig.driver, jedecfixtures::Fixture("three-blocks.jed"),
                                           rig.Environment()),
                0);
      EXPECT_EQ(rig.messages, (std::vector{message}));
      EXPECT_TRUE(rig.ChannelLog().empty());
      EXPECT_EQ(rig.clock.Waits(), std::vector<uint32_t>{1000});
    }
    for (bool flashReset : {false, true}) {
      Rig rig(base);
      rig.Channel().scanValue = static_cast<int32_t>(0xFFFFFEFFu);
      const bool answer = flashReset ? jtag::FlashReset(rig.driver, rig.Environment())
                                     : jtag::ResetDevice(rig.driver, rig.Environment());
      EXPECT_TRUE(answer);  // not erased, but it reads as not configured
      EXPECT_EQ(rig.messages, (std::vector{message}));
      EXPECT_EQ(rig.ChannelLog(), kReadStatus);
      EXPECT_TRUE(rig.ProgressCodes().empty());
    }
  }
}

TEST(LatticeProgrammer, NoDeviceOrNoChannelDoesNothing) {
  for (bool bound : {false, true}) {
    Rig rig("LCMXO2-1200HC", bound);
    rig.device->noChannel = true;
    const std::string file = jedecfixtures::Fixture("three-blocks.jed");
    EXPECT_EQ(jtag::ProgramFromJedecFile(rig.driver, file, rig.Environment()), 0);
    EXPECT_FALSE(jtag::ResetDevice(rig.driver, rig.Environment()));
    EXPECT_FALSE(jtag::FlashReset(rig.driver, rig.Environment()));
    EXPECT_EQ(jtag::ReadDeviceState(rig.driver, rig.Environment()), 0);
    EXPECT_EQ(jtag::ReadUserCode(rig.driver, rig.Environment()), 0u);
    EXPECT_TRUE(rig.ChannelLog().empty());
    EXPECT_TRUE(rig.clock.Waits().empty());
    EXPECT_TRUE(rig.ProgressCodes().empty());
    EXPECT_TRUE(rig.messages.empty());
  }
}

// ---- Failures part-way ----------------------------------------------------

TEST(LatticeProgrammer, FailurePartWayClosesTheChannelAndEndsProgress) {
  struct Case {
    const char* failOn;
    bool flashReset;  // otherwise: program the miniature file
  };
  const Case cases[] = {
      {"ShiftDRBits 11000000", false},  // the second row
      {"ShiftDRBitsEx", false},         // the feature row
      {"ShiftIRBits 00001110", true},   // the first erase
      {"ScanDR", true},                 // the state read after the erase
  };
  for (const Case& c : cases) {
    Rig rig;
    rig.Channel().failOn = c.failOn;
    if (c.flashReset)
      EXPECT_ANY_THROW(jtag::FlashReset(rig.driver, rig.Environment())) << c.failOn;
    else
      EXPECT_ANY_THROW(jtag::ProgramFromJedecFile(
          rig.driver, jedecfixtures::Fixture("three-blocks.jed"), rig.Environment()))
          << c.failOn;
    const Log& log = rig.ChannelLog();
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log.back(), "Close") << c.failOn;
    EXPECT_EQ(log[log.size() - 2].rfind(c.failOn, 0), 0u) << c.failOn;  // nothing after the failure
    EXPECT_EQ(Count(log, "Open"), Count(log, "Close")) << c.failOn;
    EXPECT_TRUE(rig.progress.Frames().empty()) << c.failOn;
    const std::vector<int32_t> codes = rig.ProgressCodes();
    ASSERT_GE(codes.size(), 2u);
    EXPECT_EQ(std::vector<int32_t>(codes.end() - 2, codes.end()),
              (std::vector<int32_t>{kFinish, kClose}))
        << c.failOn;
  }
}

TEST(LatticeProgrammer, FailingCloseFailsTheOperationOnce) {
  Rig rig;
  rig.Channel().failOn = "Close";
  EXPECT_ANY_THROW(jtag::ReadDeviceState(rig.driver, rig.Environment()));
  EXPECT_EQ(rig.ChannelLog(), kReadStatus);
}

// ---- The clock ------------------------------------------------------------

TEST(ProgrammerClock, ScopedClockIsCurrentForItsScopeOnly) {
  jtag::TClock& before = jtag::CurrentClock();
  {
    jtag::TVirtualClock outer;
    jtag::TScopedClock useOuter(outer);
    {
      jtag::TVirtualClock inner;
      jtag::TScopedClock useInner(inner);
      jtag::CurrentClock().Wait(5);
      EXPECT_EQ(inner.Waits(), std::vector<uint32_t>{5});
    }
    jtag::CurrentClock().Wait(7);
    EXPECT_EQ(outer.Waits(), std::vector<uint32_t>{7});
  }
  EXPECT_EQ(&jtag::CurrentClock(), &before);
}

TEST(ProgrammerClock, MachineClockNeverWaitsLessThanAsked) {
  jtag::TMachineClock clock;
  for (uint32_t milliseconds : {0u, 1u, 3u}) {
    const auto start = std::chrono::steady_clock::now();
    clock.Wait(milliseconds);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(milliseconds));
  }
}

}  // namespace

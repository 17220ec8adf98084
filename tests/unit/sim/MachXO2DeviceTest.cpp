// The MachXO2 chip model seen from its TAP: identification, the status
// word through a programming session, flash pages in wire order, the
// feature row, BUSY, and the boundary register.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "sim/MachXO2Device.h"
#include "sim/MachXO2Status.h"
#include "tests/unit/sim/TapScript.h"

namespace {

using sim::MachXO2Device;
namespace op = sim::mxo2op;
namespace status = sim::mxo2status;
using simtest::TapScript;

// A page whose bits are all different from their neighbours' in a way
// that shows any reversal or shift: bit i is 1 when i % 3 == 0 or i == 1.
std::string MarkedPage() {
  std::string bits(sim::kFlashPageBits, '0');
  for (size_t i = 0; i < bits.size(); ++i)
    if (i % 3 == 0 || i == 1) bits[i] = '1';
  return bits;
}

std::string PageText(const sim::FlashPage& page) {
  return sim::BitText(page.data(), sim::kFlashPageBits);
}

struct Chip {
  explicit Chip(const char* name = "LCMXO2-1200HC") : device(MachXO2Device::ForPart(name)), tap(*device) {
    tap.Reset();
  }
  uint32_t Status() {
    tap.ScanIR(op::kReadStatus);
    return static_cast<uint32_t>(tap.ScanDRValue(0xFFFFFFFF, 32));
  }
  std::shared_ptr<MachXO2Device> device;
  TapScript tap;
};

TEST(MachXO2DeviceIdentity, AnswersItsIdCodeAfterResetAndOnRequest) {
  struct Case {
    const char* name;
    uint32_t idCode;
  };
  const Case cases[] = {
      {"LCMXO2-256HC", 0x012B8043},       {"LCMXO2-1200HC-4TG100C", 0x012BA043},
      {"lcmxo2-1200ze-1tg144i", 0x012B2043}, {"LCMXO2-2000HE-5TG144C", 0x012B3043},
      {"LCMXO2-7000HC", 0x012BD043},
  };
  for (const Case& c : cases) {
    Chip chip(c.name);
    // Test-Logic-Reset selects IDCODE without any instruction scan.
    EXPECT_EQ(chip.tap.ScanDRValue(0, 32), c.idCode) << c.name;
    // The IR captures xxxxxx01.
    EXPECT_EQ(chip.tap.ScanIR(op::kIdCode) & 0x3, 0x1u) << c.name;
    EXPECT_EQ(chip.tap.ScanDRValue(0, 32), c.idCode) << c.name;
    // BYPASS and unassigned opcodes: one bit that captures 0.
    chip.tap.ScanIR(0x99);
    EXPECT_EQ(chip.tap.ScanDR("11"), "01") << c.name;
  }
}

TEST(MachXO2DeviceIdentity, UnknownPartNamesAreRefusedWithTheKnownOnes) {
  EXPECT_FALSE(sim::FindMachXO2Part("LCMXO2-1200HCX"));
  EXPECT_FALSE(sim::FindMachXO2Part("LCMXO2-256HE"));  // no HE part below the 2000
  EXPECT_EQ(sim::FindMachXO2Part("LCMXO2-4000HE-6FG484C")->idCode, 0x012B4043u);
  try {
    MachXO2Device::ForPart("LFXP2-5E");
    ADD_FAILURE() << "no error";
  } catch (const std::invalid_argument& e) {
    EXPECT_NE(std::string(e.what()).find("LCMXO2-1200HC"), std::string::npos) << e.what();
  }
}

TEST(MachXO2DeviceStatus, FollowsAProgrammingSession) {
  Chip chip;
  struct Step {
    const char* what;
    uint8_t opcode;
    int operand;
    uint32_t status;
  };
  const Step steps[] = {
      {"blank chip", op::kBypass, -1, 0},
      {"enable", op::kIscEnable, 0x08, status::kConfigurationMode},
      {"erase all", op::kIscErase, 0x0F, status::kConfigurationMode},
      {"program DONE", op::kProgramDone, -1, status::kConfigurationMode | status::kDone},
      {"disable: configures", op::kIscDisable, -1, status::kDone},
      {"enable again: DONE bit", op::kIscEnable, 0x00, status::kConfigurationMode | status::kDone},
      {"erase SRAM", op::kIscErase, 0x01, status::kConfigurationMode | status::kDone},
      {"disable: flash reloads", op::kIscDisable, -1, status::kDone},
      {"enable, erase flash", op::kIscEnable, 0x08, status::kConfigurationMode | status::kDone},
      {"erase flash", op::kIscErase, 0x04, status::kConfigurationMode},
      {"disable: nothing to load", op::kIscDisable, -1, 0},
  };
  for (const Step& step : steps) {
    chip.tap.Command(step.opcode, step.operand);
    EXPECT_EQ(chip.Status(), step.status) << step.what;
  }
}

TEST(MachXO2DeviceStatus, RefreshAndPowerCycleConfigureFromFlash) {
  Chip chip;
  chip.tap.Command(op::kIscEnable, 0x08);
  chip.tap.Command(op::kProgramDone);
  chip.tap.Command(op::kRefresh);
  EXPECT_EQ(chip.Status(), status::kDone);
  chip.tap.Command(op::kIscEnableX, 0x08);  // transparent: the design keeps running
  chip.tap.Command(op::kIscErase, 0x04);
  chip.tap.Command(op::kIscDisable);
  EXPECT_EQ(chip.Status(), status::kDone);
  chip.device->PowerCycle();
  chip.tap.Reset();
  EXPECT_EQ(chip.Status(), 0u);
}

TEST(MachXO2DeviceFlash, PagesAreKeptInWireOrderAndReadBack) {
  Chip chip;
  const std::string first = MarkedPage();
  const std::string second(sim::kFlashPageBits, '1');
  chip.tap.Command(op::kIscEnable, 0x08);
  chip.tap.Command(op::kInitAddress, 0x04);
  for (const std::string& page : {first, second}) {
    chip.tap.ScanIR(op::kProgIncrNv);
    chip.tap.ScanDR(page);
  }
  EXPECT_EQ(PageText(chip.device->Flash().configuration[0]), first);
  EXPECT_EQ(PageText(chip.device->Flash().configuration[1]), second);
  EXPECT_EQ(chip.device->AddressedPage(), 2u);

  // The user flash has its own address.
  chip.tap.Command(op::kInitAddressUfm);
  chip.tap.ScanIR(op::kProgIncrNv);
  chip.tap.ScanDR(second);
  EXPECT_EQ(PageText(chip.device->Flash().userFlash[0]), second);
  chip.tap.Command(op::kInitAddress, 0x08);  // the operand's UFM flag addresses it too
  EXPECT_EQ(chip.device->AddressedArea(), sim::FlashArea::kUserFlash);

  chip.tap.Command(op::kInitAddress);  // no operand: configuration page 0
  chip.tap.ScanIR(op::kReadIncrNv);
  EXPECT_EQ(chip.tap.ScanDR(std::string(128, '0')), first);
  EXPECT_EQ(chip.tap.ScanDR(std::string(128, '0')), second);
  EXPECT_EQ(chip.tap.ScanDR(std::string(128, '0')), std::string(128, '0'));
  EXPECT_EQ(chip.Status() & status::kFail, 0u);
}

TEST(MachXO2DeviceFlash, ProgrammingOverOldDataSetsFailAndKeepsTheOr) {
  Chip chip;
  std::string ones(sim::kFlashPageBits, '0'), other(sim::kFlashPageBits, '0');
  ones[5] = '1';
  other[6] = '1';
  chip.tap.Command(op::kIscEnable, 0x08);
  chip.tap.Command(op::kInitAddress, 0x04);
  chip.tap.ScanIR(op::kProgIncrNv);
  chip.tap.ScanDR(ones);
  chip.tap.Command(op::kInitAddress, 0x04);
  chip.tap.ScanIR(op::kProgIncrNv);
  chip.tap.ScanDR(other);
  std::string both = ones;
  both[6] = '1';
  EXPECT_EQ(PageText(chip.device->Flash().configuration[0]), both);
  EXPECT_EQ(chip.Status(), status::kConfigurationMode | status::kFail);
  EXPECT_EQ(chip.device->Counters().programFailures, 1u);
  // A new session starts without FAIL.
  chip.tap.Command(op::kIscEnable, 0x08);
  EXPECT_EQ(chip.Status(), status::kConfigurationMode);
}

TEST(MachXO2DeviceFlash, PastTheLastPageFails) {
  Chip chip("LCMXO2-256HC");  // no user flash at all
  chip.tap.Command(op::kIscEnable, 0x08);
  chip.tap.Command(op::kInitAddressUfm);
  chip.tap.ScanIR(op::kProgIncrNv);
  chip.tap.ScanDR(MarkedPage());
  EXPECT_NE(chip.Status() & status::kFail, 0u);
}

TEST(MachXO2DeviceFlash, FlashCommandsNeedConfigurationMode) {
  Chip chip;
  chip.tap.Command(op::kInitAddress, 0x04);
  chip.tap.ScanIR(op::kProgIncrNv);
  chip.tap.ScanDR(MarkedPage());
  chip.tap.Command(op::kProgramDone);
  chip.tap.Command(op::kIscErase, 0x0F);
  EXPECT_TRUE(sim::IsErased(chip.device->Flash().configuration[0]));
  EXPECT_FALSE(chip.device->Flash().done);
  // The address load and its operand, the page, DONE and the erase operand.
  EXPECT_EQ(chip.device->Counters().ignoredOutsideConfigurationMode, 5u);
}

TEST(MachXO2DeviceFlash, FeatureRowFeatureBitsAndUserCode) {
  Chip chip;
  EXPECT_EQ(chip.tap.ScanIR(op::kUserCode) & 3, 1u);
  EXPECT_EQ(chip.tap.ScanDRValue(0xFFFFFFFF, 32), 0u) << "a blank chip's user code";

  std::string feature(sim::kFeatureRowBits, '0');
  feature[0] = feature[9] = feature[63] = '1';
  const std::string feabits = "0000010000100000";
  chip.tap.Command(op::kIscEnable, 0x08);
  chip.tap.Command(op::kInitAddress, 0x02);
  chip.tap.ScanIR(op::kProgFeature);
  chip.tap.ScanDR(feature);
  chip.tap.ScanIR(op::kProgFeabits);
  chip.tap.ScanDR(feabits);
  chip.tap.ScanIR(op::kProgramUserCode);
  chip.tap.ScanDRValue(0x12345678, 32);

  EXPECT_EQ(sim::BitText(chip.device->Flash().featureRow.data(), 64), feature);
  chip.tap.ScanIR(op::kReadFeature);
  EXPECT_EQ(chip.tap.ScanDR(std::string(64, '0')), feature);
  chip.tap.ScanIR(op::kReadFeabits);
  EXPECT_EQ(chip.tap.ScanDR(std::string(16, '0')), feabits);
  chip.tap.ScanIR(op::kUserCode);
  EXPECT_EQ(chip.tap.ScanDRValue(0xFFFFFFFF, 32), 0x12345678u);
  // The feature row erases with its flag only; the user code with the
  // configuration flash.
  chip.tap.Command(op::kIscErase, 0x02);
  EXPECT_EQ(chip.device->Flash().featureBits, 0);
  EXPECT_EQ(chip.device->Flash().userCode, 0x12345678u);
  chip.tap.Command(op::kIscErase, 0x04);
  EXPECT_EQ(chip.device->Flash().userCode, 0u);
}

TEST(MachXO2DeviceFlash, SecurityHidesConfigurationPages) {
  Chip chip;
  chip.tap.Command(op::kIscEnable, 0x08);
  chip.tap.Command(op::kInitAddress, 0x04);
  chip.tap.ScanIR(op::kProgIncrNv);
  chip.tap.ScanDR(MarkedPage());
  chip.tap.Command(op::kProgramSecurity);
  chip.tap.Command(op::kInitAddress, 0x04);
  chip.tap.ScanIR(op::kReadIncrNv);
  EXPECT_EQ(chip.tap.ScanDR(std::string(128, '0')), std::string(128, '0'));
  chip.tap.Command(op::kIscErase, 0x04);
  EXPECT_FALSE(chip.device->Flash().security);
}

TEST(MachXO2DeviceBusy, EngineCommandsAreIgnoredUntilTheOperationEnds) {
  sim::SimDuration now{0};
  sim::MachXO2Timing timing;
  timing.configurationErase = std::chrono::milliseconds(100);
  timing.pageProgram = std::chrono::microseconds(200);
  auto device = std::make_shared<MachXO2Device>(*sim::FindMachXO2Part("LCMXO2-1200HC"), timing,
                                                [&now] { return now; });
  TapScript tap(*device);
  tap.Reset();
  tap.Command(op::kIscEnable, 0x08);
  tap.Command(op::kIscErase, 0x04);

  tap.ScanIR(op::kCheckBusy);
  EXPECT_EQ(tap.ScanDRValue(0, 8), 0x80u);
  tap.ScanIR(op::kReadStatus);
  EXPECT_EQ(tap.ScanDRValue(0, 32), status::kConfigurationMode | status::kBusy);
  // Neither the instruction nor its data is taken; 1149.1 instructions are.
  tap.Command(op::kProgramDone);
  tap.Command(op::kIscDisable);
  EXPECT_EQ(device->Instruction(), op::kReadStatus);
  EXPECT_FALSE(device->Flash().done);
  EXPECT_EQ(device->Mode(), sim::ConfigurationMode::kOffline);
  EXPECT_EQ(device->Counters().ignoredWhileBusy, 2u);
  tap.ScanIR(op::kIdCode);
  EXPECT_EQ(tap.ScanDRValue(0, 32), 0x012BA043u);

  now += std::chrono::milliseconds(100);
  tap.ScanIR(op::kCheckBusy);
  EXPECT_EQ(tap.ScanDRValue(0, 8), 0u);
  tap.Command(op::kProgramDone);
  EXPECT_TRUE(device->Flash().done);
}

TEST(MachXO2DeviceBoundary, SampleReadsBoardLevelsAndExtestDrivesPins) {
  Chip chip("LCMXO2-256HC");
  sim::BoundaryRegister& boundary = chip.device->Boundary();
  ASSERT_EQ(boundary.Length(), 104u);
  // Before a pin map: pin "N" is cell N.
  boundary.SetPinLevel("5", true);
  boundary.SetPinLevel("103", true);
  chip.tap.ScanIR(op::kSamplePreload);
  std::string expected(104, '0');
  expected[5] = expected[103] = '1';
  EXPECT_EQ(chip.tap.ScanDR(std::string(104, '0')), expected);

  // A bidirectional pin on cell 10 with its control on cell 11 (1 = off).
  boundary.SetPinMap({{"PL2A", 10, 10, 11, true}, {"PL2B", 12, -1, -1, true}});
  boundary.SetPinLevel("PL2B", true);
  std::string preload(104, '0');
  preload[10] = '1';  // drive high, control 0: enabled
  chip.tap.ScanIR(op::kSamplePreload);
  chip.tap.ScanDR(preload);
  EXPECT_FALSE(boundary.DrivenLevel("PL2A")) << "SAMPLE/PRELOAD does not drive";
  chip.tap.ScanIR(op::kExtest);
  EXPECT_EQ(boundary.DrivenLevel("PL2A"), true);
  std::string captured = chip.tap.ScanDR(preload);
  EXPECT_EQ(captured[10], '1');
  EXPECT_EQ(captured[12], '1');
  EXPECT_THROW(boundary.SetPinLevel("PL9Z", true), std::invalid_argument);
  EXPECT_THROW(boundary.SetPinMap({{"X", 104}}), std::invalid_argument);
}

// Runs the same random TMS/TDI stream through two chips, one as a single
// batch and one a cycle at a time: the word-wise paths must agree with the
// plain definition bit for bit, whatever register the walk lands in.
TEST(MachXO2DeviceClocking, BatchesMatchSingleCycles) {
  std::mt19937 random(12345);
  auto batch = MachXO2Device::ForPart("LCMXO2-640HC");
  auto single = MachXO2Device::ForPart("LCMXO2-640HC");
  const uint8_t opcodes[] = {op::kIdCode, op::kSamplePreload, op::kIscEnable, op::kProgIncrNv,
                             op::kReadIncrNv, op::kBypass, op::kDataShift, op::kReadStatus};
  for (int round = 0; round < 40; ++round) {
    std::vector<int> tms, tdi;
    auto clock = [&](int t, int d) {
      tms.push_back(t);
      tdi.push_back(d);
    };
    for (int i = 0; i < 6; ++i) clock(1, 0);
    clock(0, 0);
    for (int scan = 0; scan < 6; ++scan) {
      // IR scan of a chosen opcode, then a DR scan of random length.
      const uint8_t opcode = opcodes[random() % std::size(opcodes)];
      for (int t : {1, 1, 0, 0}) clock(t, 0);
      for (int i = 0; i < 8; ++i) clock(i == 7, (opcode >> i) & 1);
      for (int t : {1, 0}) clock(t, 0);
      for (int t : {1, 0, 0}) clock(t, 0);
      const int length = 1 + static_cast<int>(random() % 1500);
      for (int i = 0; i < length; ++i) clock(i + 1 == length, random() & 1);
      for (int t : {1, 0}) clock(t, 0);
      for (int i = 0, idle = static_cast<int>(random() % 70); i < idle; ++i) clock(0, 0);
    }
    std::vector<uint8_t> tmsBytes((tms.size() + 7) / 8), tdiBytes(tmsBytes.size()),
        tdoBytes(tmsBytes.size());
    for (size_t i = 0; i < tms.size(); ++i) {
      sim::SetPackedBit(tmsBytes.data(), i, tms[i]);
      sim::SetPackedBit(tdiBytes.data(), i, tdi[i]);
    }
    batch->Clock(tmsBytes.data(), tdiBytes.data(), tdoBytes.data(), tms.size());
    for (size_t i = 0; i < tms.size(); ++i)
      ASSERT_EQ(sim::GetPackedBit(tdoBytes.data(), i), single->ClockOnce(tms[i], tdi[i]))
          << "round " << round << ", cycle " << i;
    ASSERT_EQ(batch->State(), single->State());
  }
  EXPECT_EQ(batch->Flash(), single->Flash());
}

}  // namespace

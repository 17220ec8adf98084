// Programming, erasing and querying a MachXO2 as the host does it: through
// Invoke on a driver of the loaded module bound to a recording chain device.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

#include "automation/WideText.h"
#include "tests/boundary/ModuleHost.h"
#include "tests/support/FakeChain.h"
#include "tests/support/JedecFixtures.h"

namespace boundary {
namespace {

using automation::ToBool;
using automation::ToInt32;

constexpr int32_t kKind1200HC = 60;
constexpr int32_t kChainIndex = 2;
constexpr int32_t kConfigurationBits1200 = 359640;  // 333 x 1080

constexpr DISPID kSetTalvoDevice = 503754;
constexpr DISPID kResetDevice = 503786;
constexpr DISPID kGetDeviceState = 503787;
constexpr DISPID kProgramDevice = 503788;
constexpr DISPID kReadUserCode = 503789;
constexpr DISPID kFlashReset = 503804;
constexpr DISPID kFlashProgram = 503805;

// A kind-60 driver bound to a recording device, with the waits and
// progress of the host counted from here on.
struct BoundDriver {
  BoundDriver() {
    EXPECT_EQ(Call(driver.Get(), kSetTalvoDevice, {Variant::Dispatch(device.Get())}).status, S_OK);
    Host().ClearWaits();
    progressBefore = Host().Console().ProgressCodes().size();
  }

  uint64_t WaitedMilliseconds() const {
    return std::accumulate(Host().Waits().begin(), Host().Waits().end(), uint64_t{0});
  }
  std::vector<int> ProgressCodes() const {
    const std::vector<int>& all = Host().Console().ProgressCodes();
    return std::vector<int>(all.begin() + static_cast<long>(progressBefore), all.end());
  }
  size_t RowLoads() const {
    return static_cast<size_t>(
        std::count(device->log.begin(), device->log.end(), "ShiftIRBits 01110000 2"));
  }

  ComPtr<IDispatch> driver = Driver(kKind1200HC);
  host::ComPtr<FakeChainDevice> device =
      host::MakeHostObject<FakeChainDevice>("LCMXO2-1200HC-4TG100C", kChainIndex);
  size_t progressBefore = 0;
};

std::vector<int> ProgressFrame(int advances) {
  std::vector<int> codes = {-3, -5};
  codes.insert(codes.end(), static_cast<size_t>(advances), -7);
  codes.push_back(-6);
  codes.push_back(-4);
  return codes;
}

TEST(ProgrammerThroughInvoke, ProgramDeviceAndFlashProgram) {
  for (DISPID id : {kProgramDevice, kFlashProgram}) {
    BoundDriver bound;
    const CallResult call =
        Call(bound.driver.Get(), id, {Variant::String(jedecfixtures::Fixture("three-blocks.jed"))});
    ASSERT_EQ(call.status, S_OK) << call.error;
    EXPECT_EQ(ToInt32(*call.value.Raw()), kConfigurationBits1200);
    EXPECT_EQ(bound.RowLoads(), 4u);
    EXPECT_EQ(bound.device->log.front(), "Open");
    EXPECT_EQ(bound.device->log.back(), "Close");
    // 3208 ms of fixed waits and 1 ms after each row, all through the host.
    EXPECT_EQ(bound.WaitedMilliseconds(), 3212u);
    EXPECT_EQ(bound.ProgressCodes(), ProgressFrame(26));
  }
}

TEST(ProgrammerThroughInvoke, ProgramTheVendorSample) {
  const std::string sample = jedecfixtures::VendorSample();
  if (sample.empty()) GTEST_SKIP() << "the vendor sample is not beside the repository";
  BoundDriver bound;
  const CallResult call = Call(bound.driver.Get(), kProgramDevice, {Variant::String(sample)});
  ASSERT_EQ(call.status, S_OK) << call.error;
  EXPECT_EQ(ToInt32(*call.value.Raw()), kConfigurationBits1200);
  EXPECT_EQ(bound.RowLoads(), jedecfixtures::kSampleConfigurationRows);
  EXPECT_EQ(bound.WaitedMilliseconds(), 3208u + jedecfixtures::kSampleConfigurationRows);
  EXPECT_EQ(bound.ProgressCodes(), ProgressFrame(99));
}

TEST(ProgrammerThroughInvoke, BadFilesFailTheCallWithoutTouchingTheChip) {
  for (const char* name : {"cut-in-user-flash.jed", "no-such-file.jed"}) {
    BoundDriver bound;
    const std::string path = jedecfixtures::Fixture(name);
    const CallResult call = Call(bound.driver.Get(), kProgramDevice, {Variant::String(path)});
    EXPECT_NE(call.status, S_OK) << name;
    EXPECT_NE(call.error.find(path), std::string::npos) << call.error;
    EXPECT_TRUE(bound.device->log.empty()) << name;
    EXPECT_TRUE(bound.ProgressCodes().empty()) << name;
  }
  BoundDriver bound;
  const CallResult call = Call(bound.driver.Get(), kProgramDevice,
                               {Variant::String(jedecfixtures::Fixture("cut-in-user-flash.jed"))});
  EXPECT_NE(call.error.find("line 19"), std::string::npos) << call.error;
}

TEST(ProgrammerThroughInvoke, ChannelFailurePartWayFailsTheCallAndClosesTheChannel) {
  BoundDriver bound;
  bound.device->Channel().failOn = "ShiftDRBits 11000000";
  const CallResult call = Call(bound.driver.Get(), kProgramDevice,
                               {Variant::String(jedecfixtures::Fixture("three-blocks.jed"))});
  EXPECT_NE(call.status, S_OK);
  EXPECT_NE(call.error.find("channel stopped answering"), std::string::npos) << call.error;
  EXPECT_EQ(bound.device->log.back(), "Close");
  const std::vector<int> codes = bound.ProgressCodes();
  ASSERT_GE(codes.size(), 4u);
  EXPECT_EQ(std::vector<int>(codes.end() - 2, codes.end()), (std::vector<int>{-6, -4}));
}

TEST(ProgrammerThroughInvoke, StateUserCodeAndErase) {
  BoundDriver bound;
  FakeChannel& channel = bound.device->Channel();
  channel.scanValue = 0x100;
  EXPECT_EQ(ToInt32(*Call(bound.driver.Get(), kGetDeviceState).value.Raw()), 2);
  channel.scanValue = static_cast<int32_t>(0xFFFFFEFFu);
  EXPECT_EQ(ToInt32(*Call(bound.driver.Get(), kGetDeviceState).value.Raw()), 1);

  channel.captureValue = 0x12345678;
  EXPECT_EQ(ToInt32(*Call(bound.driver.Get(), kReadUserCode).value.Raw()), 0x12345678);

  for (DISPID id : {kResetDevice, kFlashReset}) {
    Host().ClearWaits();
    const CallResult call = Call(bound.driver.Get(), id);
    ASSERT_EQ(call.status, S_OK) << call.error;
    EXPECT_TRUE(ToBool(*call.value.Raw())) << id;
    EXPECT_EQ(bound.WaitedMilliseconds(), 2114u) << id;
  }
  channel.scanValue = 0x100;  // still configured after the erase: not erased
  EXPECT_FALSE(ToBool(*Call(bound.driver.Get(), kResetDevice).value.Raw()));
}

TEST(ProgrammerThroughInvoke, UnboundDriverAnswersZero) {
  ComPtr<IDispatch> driver = Driver(kKind1200HC);
  const std::string file = jedecfixtures::Fixture("three-blocks.jed");
  EXPECT_EQ(ToInt32(*Call(driver.Get(), kProgramDevice, {Variant::String(file)}).value.Raw()), 0);
  EXPECT_EQ(ToInt32(*Call(driver.Get(), kFlashProgram, {Variant::String(file)}).value.Raw()), 0);
  EXPECT_EQ(ToInt32(*Call(driver.Get(), kGetDeviceState).value.Raw()), 0);
  EXPECT_EQ(ToInt32(*Call(driver.Get(), kReadUserCode).value.Raw()), 0);
  EXPECT_FALSE(ToBool(*Call(driver.Get(), kResetDevice).value.Raw()));
  EXPECT_FALSE(ToBool(*Call(driver.Get(), kFlashReset).value.Raw()));
}

}  // namespace
}  // namespace boundary

// What a MachXO2 driver answers beyond its catalogue: the framework
// behaviour a host sees through Invoke.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "automation/WideText.h"
#include "tests/boundary/ModuleHost.h"
#include "tests/support/FakeChain.h"

namespace boundary {
namespace {

using automation::ToBool;
using automation::ToInt32;
using automation::ToString;

constexpr int32_t kKind1200HC = 60;

bool Flag(IDispatch* driver, DISPID id, std::vector<Variant> args = {}) {
  CallResult call = Call(driver, id, std::move(args));
  EXPECT_EQ(call.status, S_OK) << call.error;
  return ToBool(*call.value.Raw());
}

std::string Text(IDispatch* driver, DISPID id, std::vector<Variant> args = {}) {
  CallResult call = Call(driver, id, std::move(args));
  EXPECT_EQ(call.status, S_OK) << call.error;
  return ToString(*call.value.Raw());
}

host::ComPtr<FakeChainDevice> BoundDevice(IDispatch* driver) {
  auto device = host::MakeHostObject<FakeChainDevice>("LCMXO2-1200HC-4TG100C", 2);
  EXPECT_TRUE(Flag(driver, 503754, {Variant::Dispatch(device.Get())}));
  return device;
}

TEST(DriverBase, FreshDriverDefaults) {
  auto driver = Driver(kKind1200HC);
  EXPECT_EQ(Call(driver.Get(), 503760).value.Raw()->pdispVal, nullptr);  // GetRackViewer
  EXPECT_EQ(Call(driver.Get(), 503753).value.Raw()->pdispVal, nullptr);  // GetTalvoDevice
  EXPECT_EQ(Text(driver.Get(), 503792), ".EDN");
  EXPECT_EQ(Text(driver.Get(), 503808, {Variant::Int(0)}), "0");
  EXPECT_EQ(ToInt32(*Call(driver.Get(), 503767, {Variant::Int(0)}).value.Raw()), 0);
  EXPECT_TRUE(Flag(driver.Get(), 503810));    // ShowConfiguration
  EXPECT_FALSE(Flag(driver.Get(), 503816, {Variant::String(""), Variant::String("f.jed"),
                                            Variant::String("")}));  // EPM_Download
  const std::string library = Text(driver.Get(), 509312);
  EXPECT_EQ(library.substr(library.size() - 8), std::string("Library") +
                                                    static_cast<char>(std::filesystem::path::preferred_separator));
}

TEST(DriverBase, SupportsAnswers) {
  auto driver = Driver(kKind1200HC);
  const std::pair<const char*, bool> cases[] = {
      {"cpld", true},
      {"FPGA", false},
      {"PROM", false},
      {"PROC", false},
      {"Action=Flash_ResetDevice", true},
      {"Flash_ChooseAndDownload", true},
      {"Action=Flash_DownloadDevice", false},
      {"Flash_ConfigureDevice", false},
      {"VerifyProgram", false},
      {"PauseProcessor", false},
      {"ProcessorMenu", false},
      {"Action=ResetDevice", true},
      {"ToolchainName=Lattice", false},
      {"Action=ShowViewer|ToolchainName=Diamond", false},
      {"no such action", true},
  };
  for (const auto& [text, expected] : cases)
    EXPECT_EQ(Flag(driver.Get(), 503761, {Variant::String(text)}), expected) << text;
}

TEST(DriverBase, BindingAndUnbindingADevice) {
  auto driver = Driver(kKind1200HC);
  auto device = BoundDevice(driver.Get());
  EXPECT_EQ(Call(driver.Get(), 503753).value.Raw()->pdispVal, device->AsDispatch());
  EXPECT_TRUE(Flag(driver.Get(), 503754, {Variant::Dispatch(nullptr)}));
  EXPECT_EQ(Call(driver.Get(), 503753).value.Raw()->pdispVal, nullptr);
}

TEST(DriverBase, ViewerWithoutBoundaryScanDataShowsTheErrorDialog) {
  auto driver = Driver(kKind1200HC);
  auto device = BoundDevice(driver.Get());
  const size_t before = Host().Console().Dialogs().size();
  EXPECT_EQ(Call(driver.Get(), 503759).status, S_OK);  // CreateRackViewer
  ASSERT_EQ(Host().Console().Dialogs().size(), before + 1);
  const host::DialogRecord& dialog = Host().Console().Dialogs().back();
  EXPECT_EQ(dialog.kind, 2);
  EXPECT_EQ(dialog.caption, "Error");
  EXPECT_EQ(dialog.text,
            "Failed To find Boundary Scan data for Device\r\rDevice:  LCMXO2-1200HC-4TG100C");
  EXPECT_EQ(Call(driver.Get(), 503760).value.Raw()->pdispVal, nullptr);
}

TEST(DriverBase, DriverWithoutRegistersNeverTouchesTheChain) {
  auto driver = Driver(kKind1200HC);
  auto device = BoundDevice(driver.Get());
  EXPECT_EQ(ToInt32(*Call(driver.Get(), 503767, {Variant::Int(0)}).value.Raw()), 0);
  EXPECT_EQ(Text(driver.Get(), 503808, {Variant::Int(0)}), "0");
  EXPECT_FALSE(Flag(driver.Get(), 503766, {Variant::Int(0), Variant::Int(1)}));
  EXPECT_TRUE(device->log.empty());
}

TEST(DriverBase, PauseProcessorSequence) {
  auto driver = Driver(kKind1200HC);
  auto device = BoundDevice(driver.Get());
  device->registers[64] = 0xFF;
  ASSERT_EQ(Call(driver.Get(), 503797).status, S_OK);
  // All of StepCounterBreakpointEnable, Reset, DebugAcknowledge, DebugStep
  // and DebuggerProgramSelect cleared; DebugEnable and DebugRequest set.
  const std::vector<std::string> expected = {"Open", "Read 64 8", "Write 64 8 84", "Read 64 8",
                                             "Close"};
  EXPECT_EQ(device->log, expected);
}

TEST(DriverBase, RunStepsWritesDebugStepOncePerStep) {
  for (int32_t steps : {0, 1, 3}) {
    auto driver = Driver(kKind1200HC);
    auto device = BoundDevice(driver.Get());
    ASSERT_EQ(Call(driver.Get(), 503799, {Variant::Int(steps)}).status, S_OK);
    int stepping = 0, plain = 0;
    for (const std::string& entry : device->log) {
      if (entry.rfind("Write 64 8 ", 0) != 0) continue;
      const int value = std::stoi(entry.substr(11));
      (value & 0x02) ? ++stepping : ++plain;
    }
    EXPECT_EQ(stepping, steps) << steps;
    EXPECT_EQ(plain, 2) << steps;  // the pause's write and the step set-up
  }
}

TEST(DriverBase, ProcessorStateQueries) {
  struct Case {
    int32_t control;
    bool paused, reset, running;
  };
  const Case cases[] = {
      {0x00, false, false, true},
      {0x18, true, false, false},  // DebugEnable + DebugAcknowledge
      {0x20, false, true, false},  // Reset
      {0x10, false, false, true},  // DebugEnable alone
  };
  for (const Case& c : cases) {
    auto driver = Driver(kKind1200HC);
    auto device = BoundDevice(driver.Get());
    device->registers[64] = c.control;
    EXPECT_EQ(Flag(driver.Get(), 503800), c.paused) << c.control;
    EXPECT_EQ(Flag(driver.Get(), 503801), c.reset) << c.control;
    EXPECT_EQ(Flag(driver.Get(), 503802), c.running) << c.control;
  }
}

TEST(DriverBase, FailedHostCallFailsTheOperationWithoutAResult) {
  auto driver = Driver(kKind1200HC);
  auto device = BoundDevice(driver.Get());
  device->failChannel = true;
  CallResult call = Call(driver.Get(), 503800, {}, Variant::Int(42));  // ProcessorIsPaused
  EXPECT_EQ(call.status, DISP_E_EXCEPTION);
  EXPECT_NE(call.error.find("cable unplugged"), std::string::npos) << call.error;
  EXPECT_EQ(call.value.Type(), VT_I4);
  EXPECT_EQ(call.value.Raw()->lVal, 42);
}

TEST(DriverBase, CustomActionStateClearsTheFirstAndThirdFlags) {
  auto driver = Driver(kKind1200HC);
  VARIANT_BOOL flags[3] = {VARIANT_TRUE, VARIANT_TRUE, VARIANT_TRUE};
  BSTR texts[2] = {automation::AllocBstr("one"), automation::AllocBstr("two")};
  VARIANT args[6];
  for (VARIANT& v : args) VariantInit(&v);
  args[5].vt = VT_I4;  // Index, first argument
  args[5].lVal = 0;
  for (int i = 0; i < 3; ++i) {
    args[4 - i].vt = VT_BOOL | VT_BYREF;
    args[4 - i].pboolVal = &flags[i];
  }
  args[1].vt = VT_BSTR | VT_BYREF;
  args[1].pbstrVal = &texts[0];
  args[0].vt = VT_BSTR | VT_BYREF;
  args[0].pbstrVal = &texts[1];
  DISPPARAMS params{args, nullptr, 6, 0};
  ASSERT_EQ(driver->Invoke(503815, automation::kIID_NULL, 0, DISPATCH_METHOD, &params, nullptr,
                           nullptr, nullptr),
            S_OK);
  EXPECT_EQ(flags[0], VARIANT_FALSE);
  EXPECT_EQ(flags[1], VARIANT_TRUE);
  EXPECT_EQ(flags[2], VARIANT_FALSE);
  EXPECT_EQ(automation::FromBstr(texts[0]), "one");
  EXPECT_EQ(automation::FromBstr(texts[1]), "two");
  SysFreeString(texts[0]);
  SysFreeString(texts[1]);
}

TEST(DriverBase, EmbeddedConstraintFileSearch) {
  auto driver = Driver(kKind1200HC);
  EXPECT_EQ(Text(driver.Get(), 503821), "");
  const auto file = std::filesystem::temp_directory_path() / "mxo2-custom.Constraint";
  std::ofstream(file) << "# constraints\n";
  Call(driver.Get(), 503822, {Variant::String(file.string())});
  EXPECT_EQ(Text(driver.Get(), 503821), file.string());
  std::filesystem::remove(file);
  EXPECT_EQ(Text(driver.Get(), 503821), "");
}

TEST(DriverBase, DeviceImageIsAbsentWithoutTheGenericPicture) {
  auto driver = Driver(kKind1200HC);
  EXPECT_EQ(ToInt32(*Call(driver.Get(), 503756).value.Raw()), 0);
  EXPECT_EQ(ToInt32(*Call(driver.Get(), 503756).value.Raw()), 0);
}

TEST(DriverBase, FlowsAreCreatedOnceAndShared) {
  auto driver = Driver(kKind1200HC);
  CallResult first = Call(driver.Get(), 503790);
  CallResult second = Call(driver.Get(), 503790);
  EXPECT_EQ(first.status, S_OK);
  EXPECT_EQ(first.value.Raw()->pdispVal, second.value.Raw()->pdispVal);
}

}  // namespace
}  // namespace boundary

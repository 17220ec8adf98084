// The host objects around a chain: the chip handle a driver is bound to
// (ITalvoDevice), the viewer's chip view (IJTagDevice), the port and the
// device manager, all called by DISPID as the module calls them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "automation/HostCall.h"
#include "host/DeviceManager.h"
#include "hostsdk/HostDispIds.h"
#include "tests/unit/host/SimChainFixture.h"
#include "tests/unit/support/RecordingDispatch.h"

namespace {

namespace id = hostsdk::dispid;
using automation::HostCall;
using automation::HostCallDispatch;
using automation::HostCallInt;
using automation::HostCallString;
using automation::Variant;
using hosttest::BuildSimChain;
using hosttest::SimChain;
using hosttest::ThreeChips;
using testsupport::RecordingDispatch;

constexpr DISPID kSetTalvoDevice = 503754;

host::ComPtr<IDispatch> Ptr(IDispatch* p) { return host::ComPtr<IDispatch>(p); }

IDispatch* DeviceAt(const SimChain& chain, size_t index) {
  return chain.port->Device(index)->AsDispatch();
}

TEST(ChainDevice, BindingTellsTheDriverWhichDeviceItHasAndShutdownTakesItBack) {
  RecordingDispatch driver;
  SimChain chain = BuildSimChain(ThreeChips(), {nullptr, Ptr(&driver)});
  ASSERT_EQ(driver.CalledIds(), std::vector<DISPID>{kSetTalvoDevice});
  const host::ComPtr<IDispatch> device = automation::ToDispatch(*driver.calls[0].values[0].Raw());
  ASSERT_TRUE(device);
  // What the driver does next with its device: position and channel.
  EXPECT_EQ(HostCallInt(device.Get(), id::kDevice_GetChainIndex), 1);
  EXPECT_EQ(HostCallDispatch(device.Get(), id::kDevice_GetJTagChannel).Get(),
            chain.port->Channel()->AsDispatch());
  EXPECT_EQ(HostCallDispatch(device.Get(), id::kDevice_GetDriver).Get(), &driver);

  chain.port->Shutdown();
  ASSERT_EQ(driver.calls.size(), 2u);
  EXPECT_EQ(driver.calls[1].id, kSetTalvoDevice);
  EXPECT_FALSE(automation::ToDispatch(*driver.calls[1].values[0].Raw()));
  EXPECT_FALSE(chain.port->Device(1)->Driver());
}

TEST(ChainDevice, ADriverRefusingTheBindingIsReportedWithTheChip) {
  RecordingDispatch driver;
  driver.failures[kSetTalvoDevice] = E_FAIL;
  try {
    BuildSimChain(ThreeChips(), {nullptr, nullptr, Ptr(&driver)});
    ADD_FAILURE() << "no error";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("chain index 2 (chip2)"), std::string::npos) << e.what();
  }
}

TEST(ChainDevice, DownloadRequestsGoToTheBoundDriver) {
  struct Case {
    const char* what;
    DISPID deviceCall;
    std::vector<Variant> args;
    DISPID driverCall;
    Variant driverAnswer;
    std::vector<std::string> driverArgs;
    int32_t expectedInt;       // for numeric and Boolean answers
    const char* expectedText;  // for text answers (nullptr: numeric)
  };
  const Case cases[] = {
      {"reset", id::kDevice_Reset, {}, 503786, Variant::Bool(true), {}, -1, nullptr},
      {"program", id::kDevice_Program, {Variant::String("/tmp/design.jed")}, 503788,
       Variant::Int(93744), {"/tmp/design.jed"}, 93744, nullptr},
      {"state", id::kDevice_GetState, {}, 503787, Variant::Int(2), {}, 2, nullptr},
      {"name", id::kDevice_GetDeviceName, {}, 503380, Variant::String("LCMXO2-256HC"), {}, 0,
       "LCMXO2-256HC"},
      {"description", id::kDevice_GetDeviceDescription, {}, 503381,
       Variant::String("MachXO2 256 LUTs"), {}, 0, "MachXO2 256 LUTs"},
  };
  for (const Case& c : cases) {
    RecordingDispatch driver;
    driver.results[kSetTalvoDevice] = Variant::Bool(true);
    driver.results[c.driverCall] = c.driverAnswer;
    SimChain chain = BuildSimChain(ThreeChips(), {Ptr(&driver)});
    driver.calls.clear();
    Variant answer = c.args.empty() ? HostCall(DeviceAt(chain, 0), c.deviceCall)
                                    : HostCall(DeviceAt(chain, 0), c.deviceCall, {c.args[0]});
    ASSERT_EQ(driver.CalledIds(), std::vector<DISPID>{c.driverCall}) << c.what;
    EXPECT_EQ(driver.calls[0].args, c.driverArgs) << c.what;
    if (c.expectedText)
      EXPECT_EQ(automation::ToString(*answer.Raw()), c.expectedText) << c.what;
    else
      EXPECT_EQ(automation::ToInt32(*answer.Raw()), c.expectedInt) << c.what;
    chain.port->Shutdown();
  }
}

TEST(ChainDevice, WithoutADriverRequestsAnswerTheirDefaults) {
  SimChain chain = BuildSimChain(ThreeChips());
  IDispatch* device = DeviceAt(chain, 2);
  EXPECT_FALSE(automation::HostCallBool(device, id::kDevice_Reset));
  EXPECT_EQ(HostCallInt(device, id::kDevice_Program, {Variant::String("x.jed")}), 0);
  EXPECT_EQ(HostCallInt(device, id::kDevice_GetState), 0);
  EXPECT_EQ(HostCallString(device, id::kDevice_GetDeviceName), "chip2");
  EXPECT_EQ(HostCallString(device, id::kDevice_GetDeviceDescription), "");
  EXPECT_FALSE(HostCallDispatch(device, id::kDevice_GetDriver));
}

TEST(ChainDevice, DebugRegisterFileKeepsMaskedWritesAndRecordsThem) {
  SimChain chain = BuildSimChain(ThreeChips());
  IDispatch* device = DeviceAt(chain, 0);
  EXPECT_EQ(HostCallInt(device, id::kDevice_RegisterRead, {Variant::Int(64), Variant::Int(8)}), 0);
  HostCall(device, id::kDevice_EnterDebugAccess);
  HostCall(device, id::kDevice_RegisterWrite,
           {Variant::Int(64), Variant::Int(8), Variant::Int(0x1A5)});
  HostCall(device, id::kDevice_RegisterWrite, {Variant::Int(3), Variant::Int(32), Variant::Int(-1)});
  HostCall(device, id::kDevice_LeaveDebugAccess);
  EXPECT_EQ(HostCallInt(device, id::kDevice_RegisterRead, {Variant::Int(64), Variant::Int(8)}),
            0xA5);
  EXPECT_EQ(HostCallInt(device, id::kDevice_RegisterRead, {Variant::Int(64), Variant::Int(4)}), 0x5);
  EXPECT_EQ(HostCallInt(device, id::kDevice_RegisterRead, {Variant::Int(3), Variant::Int(32)}), -1);
  EXPECT_EQ(HostCallInt(device, id::kDevice_RegisterRead, {Variant::Int(65), Variant::Int(8)}), 0);
  const std::vector<std::string> expected = {"EnterDebugAccess", "RegisterWrite(64, 8, 0xA5)",
                                             "RegisterWrite(3, 32, 0xFFFFFFFF)", "LeaveDebugAccess"};
  EXPECT_EQ(chain.port->Device(0)->Events(), expected);
  EXPECT_THROW(HostCall(device, id::kDevice_RegisterRead, {Variant::Int(64), Variant::Int(0)}),
               automation::EHostCallFailed);
}

TEST(JTagDevice, ChannelHandsOutEachChipsIdentificationAndDriver) {
  RecordingDispatch driver;
  SimChain chain = BuildSimChain(ThreeChips(), {nullptr, Ptr(&driver)});
  IDispatch* channel = chain.port->Channel()->AsDispatch();
  const host::ComPtr<IDispatch> chip = HostCallDispatch(channel, id::kChannel_GetDevice, {Variant::Int(1)});
  ASSERT_TRUE(chip);
  EXPECT_EQ(static_cast<uint32_t>(HostCallInt(chip.Get(), id::kJTagDevice_GetIdCode)), 0x012BA043u);
  EXPECT_EQ(static_cast<uint32_t>(HostCallInt(chip.Get(), id::kJTagDevice_GetIdCodeMask)),
            0x0FFFFFFFu);
  EXPECT_EQ(HostCallString(chip.Get(), id::kJTagDevice_GetDisplayName), "chip1");
  EXPECT_EQ(HostCallDispatch(chip.Get(), id::kJTagDevice_GetDeviceInformation).Get(), &driver);
  HostCall(chip.Get(), id::kJTagDevice_PrepareRebuild);
  EXPECT_FALSE(HostCallDispatch(chip.Get(), id::kJTagDevice_GetBSDLEntity));
  EXPECT_FALSE(automation::HostCallBool(chip.Get(), id::kJTagDevice_SampleBoundary,
                                        {Variant::Dispatch(nullptr)}));
  for (int32_t outside : {-1, 3})
    EXPECT_FALSE(HostCallDispatch(channel, id::kChannel_GetDevice, {Variant::Int(outside)}));
}

TEST(JTagPort, PortAndDeviceManagerListTheChain) {
  SimChain chain = BuildSimChain(ThreeChips());
  auto manager = host::MakeHostObject<host::DeviceManager>();
  manager->AddPort(chain.port);
  IDispatch* dm = manager->AsDispatch();
  EXPECT_EQ(HostCallInt(dm, id::kDeviceManager_GetPortCount), 1);
  EXPECT_FALSE(HostCallDispatch(dm, id::kDeviceManager_GetPort, {Variant::Int(1)}));
  const host::ComPtr<IDispatch> port = HostCallDispatch(dm, id::kDeviceManager_GetPort, {Variant::Int(0)});
  ASSERT_EQ(port.Get(), chain.port->AsDispatch());

  EXPECT_EQ(HostCallString(port.Get(), id::kPort_GetName), "sim");
  EXPECT_EQ(HostCallInt(port.Get(), id::kPort_GetDeviceCount), 3);
  for (int32_t index = 0; index < 3; ++index) {
    const host::ComPtr<IDispatch> device =
        HostCallDispatch(port.Get(), id::kPort_GetDevice, {Variant::Int(index)});
    EXPECT_EQ(HostCallInt(device.Get(), id::kDevice_GetChainIndex), index);
  }
  EXPECT_FALSE(HostCallDispatch(port.Get(), id::kPort_GetDevice, {Variant::Int(3)}));
  const host::ComPtr<IDispatch> channel = HostCallDispatch(port.Get(), id::kPort_GetChannel);
  EXPECT_EQ(channel.Get(), chain.port->Channel()->AsDispatch());
  EXPECT_EQ(HostCallDispatch(channel.Get(), id::kChannel_GetPort).Get(), port.Get());
  manager->Shutdown();
}

}  // namespace

// The chip's boundary-scan entity as the host hands it out: a BSDL file the
// user names wins over the driver's built-in description.
#include <gtest/gtest.h>

#include "automation/HostCall.h"
#include "hostsdk/HostDispIds.h"
#include "tests/unit/host/SimChainFixture.h"
#include "tests/unit/support/RecordingDispatch.h"

namespace {

constexpr DISPID kEntityName = 503458;

host::ComPtr<IDispatch> EntityAt(host::JTagPort& port, int32_t index) {
  auto device = automation::HostCallDispatch(port.Channel()->AsDispatch(),
                                             hostsdk::dispid::kChannel_GetDevice,
                                             {automation::Variant::Int(index)});
  return automation::HostCallDispatch(device.Get(), hostsdk::dispid::kJTagDevice_GetBSDLEntity);
}

TEST(JTagDeviceBsdl, UserFileIsPreferredOverTheDriver) {
  // The driver's answers refer to the entity, so the entity outlives it.
  testsupport::RecordingDispatch builtIn;
  testsupport::RecordingDispatch driver;
  builtIn.results[kEntityName] = automation::Variant::String("FROM_DRIVER");
  driver.results[503406] = automation::Variant::Dispatch(&builtIn);

  auto chips = hosttest::ThreeChips();
  auto chain = hosttest::BuildSimChain({chips[1]}, {host::ComPtr<IDispatch>(&driver)});
  EXPECT_EQ(automation::HostCallString(EntityAt(*chain.port, 0).Get(), kEntityName), "FROM_DRIVER");

  host::ChainDeviceSpec named;
  named.name = "chip";
  named.idCode = 0x012BA043;
  named.bsdlFile = std::string(MXO2_FIXTURES_DIR) + "/bsdl/tinypld_q24.bsd";
  named.driver = host::ComPtr<IDispatch>(&driver);
  host::ChainDescription withFile{named};
  auto port = host::JTagPort::Create("sim", chain.cable, withFile);
  EXPECT_EQ(automation::HostCallString(EntityAt(*port, 0).Get(), kEntityName), "TINYPLD_Q24");
  port->Shutdown();
  chain.port->Shutdown();
}

}  // namespace

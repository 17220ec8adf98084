// The built-in boundary-scan entity as the host reads it through Invoke.
#include <gtest/gtest.h>

#include "tests/boundary/ModuleHost.h"

namespace boundary {
namespace {

using automation::ToInt32;
using automation::ToString;

constexpr DISPID kGetBSDLEntity = 503406;

// IBSDLEntity.
constexpr DISPID kName = 503458, kInstructionLength = 503459, kIdCode = 503460,
                 kBoundaryLength = 503461, kGetPin = 503462, kGetBoundaryCell = 503464,
                 kPinCount = 503467, kCellCount = 503469, kOpcodeCount = 503470,
                 kRegisterCount = 503471, kTDI = 503472, kTRST = 503476, kBypass = 503477,
                 kSample = 503479, kFilename = 503489;
// Element views.
constexpr DISPID kDescription = 503427, kPinNumber = 503492, kPinCellCount = 503495,
                 kPinMapping = 503494, kMappingScanPin = 503500, kPinCurrentValue = 503497,
                 kControlCell = 503510, kTargetCell = 503511, kCellNumber = 503501;
constexpr DISPID kSetCurrentValue = 509024;

ComPtr<IDispatch> Object(IDispatch* from, DISPID id, std::vector<Variant> args = {}) {
  CallResult call = Call(from, id, std::move(args));
  EXPECT_EQ(call.status, S_OK) << call.error;
  return automation::ToDispatch(*call.value.Raw());
}

int32_t Number(IDispatch* object, DISPID id) {
  CallResult call = Call(object, id);
  EXPECT_EQ(call.status, S_OK) << call.error;
  return ToInt32(*call.value.Raw());
}

std::string Text(IDispatch* object, DISPID id) {
  CallResult call = Call(object, id);
  EXPECT_EQ(call.status, S_OK) << call.error;
  return ToString(*call.value.Raw());
}

TEST(BsdlEntityThroughInvoke, SmallestPartsEntity) {
  auto driver = Driver(0);
  auto entity = Object(driver.Get(), kGetBSDLEntity);
  ASSERT_TRUE(entity);
  EXPECT_EQ(Object(driver.Get(), kGetBSDLEntity).Get(), entity.Get());  // built once
  EXPECT_EQ(Text(entity.Get(), kName), "LCMXO2_256HC_XUMG64");
  EXPECT_EQ(Text(entity.Get(), kFilename), "lcmxo2_256hc_ucbga64.bsd");
  EXPECT_EQ(Number(entity.Get(), kPinCount), 64);
  EXPECT_EQ(Number(entity.Get(), kCellCount), 104);
  EXPECT_EQ(Number(entity.Get(), kBoundaryLength), 104);
  EXPECT_EQ(Number(entity.Get(), kOpcodeCount), 24);
  EXPECT_EQ(Number(entity.Get(), kRegisterCount), 9);
  EXPECT_EQ(Number(entity.Get(), kInstructionLength), 0);
  EXPECT_EQ(Number(entity.Get(), kIdCode), 0);
  EXPECT_EQ(static_cast<uint32_t>(Number(entity.Get(), kBypass)), 0xFFFFFFFFu);
  EXPECT_EQ(Number(entity.Get(), kSample), 0x1C);
  auto tdi = Object(entity.Get(), kTDI);
  ASSERT_TRUE(tdi);
  EXPECT_EQ(Text(tdi.Get(), kPinNumber), "B3");
  EXPECT_FALSE(Object(entity.Get(), kTRST));
  EXPECT_FALSE(Object(entity.Get(), kGetPin, {Variant::Int(-1)}));
  EXPECT_FALSE(Object(entity.Get(), kGetPin, {Variant::Int(64)}));
}

TEST(BsdlEntityThroughInvoke, CellsAndPinsAreLinked) {
  auto entity = Object(Driver(0).Get(), kGetBSDLEntity);
  auto control = Object(entity.Get(), kGetBoundaryCell, {Variant::Int(0)});
  auto bidir = Object(entity.Get(), kGetBoundaryCell, {Variant::Int(1)});
  EXPECT_EQ(Text(control.Get(), kDescription), "0   (BC_2      ,*         ,Control   ,1 ");
  EXPECT_EQ(Text(bidir.Get(), kDescription),
            "1   (BC_7      ,PL2A      ,BiDir     ,X ,0   ,1 ,Z         , Pin:PL2A");
  EXPECT_EQ(Number(Object(control.Get(), kTargetCell).Get(), kCellNumber), 1);
  EXPECT_EQ(Number(Object(bidir.Get(), kControlCell).Get(), kCellNumber), 0);
  // Every pin's mapping leads back to the pin; supply pins have no cell.
  const int32_t pins = Number(entity.Get(), kPinCount);
  int withCell = 0;
  for (int32_t i = 0; i < pins; ++i) {
    auto pin = Object(entity.Get(), kGetPin, {Variant::Int(i)});
    auto mapping = Object(pin.Get(), kPinMapping);
    ASSERT_TRUE(mapping) << i;
    EXPECT_EQ(Text(Object(mapping.Get(), kMappingScanPin).Get(), kPinNumber),
              Text(pin.Get(), kPinNumber));
    withCell += Number(pin.Get(), kPinCellCount);
  }
  EXPECT_EQ(withCell, 45 - 4);  // the IO balls less the four TAP balls
}

TEST(BsdlEntityThroughInvoke, TheHostWritesSampledLevels) {
  auto entity = Object(Driver(0).Get(), kGetBSDLEntity);
  auto pin = Object(entity.Get(), kGetPin, {Variant::Int(3)});
  EXPECT_EQ(Call(pin.Get(), kSetCurrentValue, {Variant::Int(1)}).status, S_OK);
  EXPECT_EQ(Number(pin.Get(), kPinCurrentValue), 1);
}

TEST(BsdlEntityThroughInvoke, EveryKindHasAnEntityOfItsFile) {
  for (int32_t kind : {60, 162, 168, 419}) {
    auto driver = Driver(kind);
    auto entity = Object(driver.Get(), kGetBSDLEntity);
    ASSERT_TRUE(entity) << kind;
    EXPECT_EQ(Text(entity.Get(), kFilename), Text(driver.Get(), 503405));
  }
}

}  // namespace
}  // namespace boundary

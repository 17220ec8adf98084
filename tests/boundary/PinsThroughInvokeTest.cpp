// Pins and IO standards as the host reads them through Invoke.
#include <gtest/gtest.h>

#include "tests/boundary/ModuleHost.h"

namespace boundary {
namespace {

using automation::ToBool;
using automation::ToInt32;
using automation::ToString;

constexpr DISPID kGetDevicePin = 503411;
constexpr DISPID kGetIOStandardCount = 503421;
constexpr DISPID kGetIOStandard = 503422;

ComPtr<IDispatch> Object(IDispatch* from, DISPID id, int32_t index) {
  CallResult call = Call(from, id, {Variant::Int(index)});
  EXPECT_EQ(call.status, S_OK) << call.error;
  return automation::ToDispatch(*call.value.Raw());
}

std::string Text(IDispatch* object, DISPID id, std::vector<Variant> args = {}) {
  CallResult call = Call(object, id, std::move(args));
  EXPECT_EQ(call.status, S_OK) << call.error;
  return ToString(*call.value.Raw());
}

int32_t Number(IDispatch* object, DISPID id) {
  CallResult call = Call(object, id);
  EXPECT_EQ(call.status, S_OK) << call.error;
  return ToInt32(*call.value.Raw());
}

bool Flag(IDispatch* object, DISPID id) {
  CallResult call = Call(object, id);
  EXPECT_EQ(call.status, S_OK) << call.error;
  EXPECT_EQ(call.value.Type(), VT_BOOL);
  return ToBool(*call.value.Raw());
}

TEST(PinsThroughInvoke, DriverIOStandards) {
  struct Case {
    int32_t kind;
    int32_t index;
    const char* displayName;  // null: no object
  };
  const Case cases[] = {
      {0, 0, "LVTTL 3.3V"},         {0, 12, "SSTL18 Class I"}, {0, 33, "Emulated RSDS 2.5V"},
      {0, 34, nullptr},             {0, -1, nullptr},          {60, 12, "PCI 33Mhz 3.3V"},
      {60, 34, "Emulated RSDS 2.5V"}, {60, 35, nullptr},
  };
  EXPECT_EQ(Number(Driver(0).Get(), kGetIOStandardCount), 34);
  EXPECT_EQ(Number(Driver(60).Get(), kGetIOStandardCount), 35);
  for (const Case& c : cases) {
    auto standard = Object(Driver(c.kind).Get(), kGetIOStandard, c.index);
    if (!c.displayName) {
      EXPECT_FALSE(standard) << c.kind << "/" << c.index;
      continue;
    }
    ASSERT_TRUE(standard) << c.kind << "/" << c.index;
    EXPECT_EQ(Text(standard.Get(), 503519), c.displayName);
  }
}

TEST(PinsThroughInvoke, IOStandardsAreSharedAndDescribeTheirDrives) {
  auto first = Object(Driver(0).Get(), kGetIOStandard, 2);
  auto second = Object(Driver(419).Get(), kGetIOStandard, 2);
  EXPECT_EQ(first.Get(), second.Get());
  EXPECT_EQ(Text(first.Get(), 503520), "LVCMOS25");
  EXPECT_EQ(Number(first.Get(), 503521), 2);
  EXPECT_EQ(Text(first.Get(), 503522, {Variant::Int(1)}), "FAST");
  EXPECT_EQ(Number(first.Get(), 503523), 4);
  const char* drives[] = {"4mA", "8mA", "12mA", "16mA", ""};
  for (int32_t i = 0; i < 5; ++i)
    EXPECT_EQ(Text(first.Get(), 503524, {Variant::Int(i)}), drives[i]);
  CallResult supports = Call(first.Get(), 1023, {Variant::String("deviceiostandard")});
  EXPECT_TRUE(ToBool(*supports.value.Raw()));
}

TEST(PinsThroughInvoke, FirstPinOfTheSmallestPart) {
  auto driver = Driver(0);
  auto pin = Object(driver.Get(), kGetDevicePin, 0);
  ASSERT_TRUE(pin);
  EXPECT_EQ(Text(pin.Get(), 503525), "A2");
  EXPECT_EQ(Text(pin.Get(), 503526), "0");
  EXPECT_TRUE(Flag(pin.Get(), 503527));   // IO
  EXPECT_TRUE(Flag(pin.Get(), 503536));   // differential positive
  EXPECT_FALSE(Flag(pin.Get(), 503537));  // not negative
  EXPECT_TRUE(Flag(pin.Get(), 503548));
  EXPECT_FALSE(Flag(pin.Get(), 503549));
  EXPECT_EQ(Number(pin.Get(), 503531), 34);
  EXPECT_EQ(Text(pin.Get(), 503545), "T6A");
  EXPECT_EQ(Text(pin.Get(), 503547), "0|T6A|");
  // The same object again for the same index; null past the last pin.
  EXPECT_EQ(Object(driver.Get(), kGetDevicePin, 0).Get(), pin.Get());
  EXPECT_FALSE(Object(driver.Get(), kGetDevicePin, 64));
  CallResult supports = Call(pin.Get(), 1023, {Variant::String("DEVICEPIN")});
  EXPECT_TRUE(ToBool(*supports.value.Raw()));
  // Pins live as long as their driver: releases change nothing.
  for (int i = 0; i < 5; ++i) pin->Release();
  EXPECT_EQ(Text(pin.Get(), 503525), "A2");
}

TEST(PinsThroughInvoke, EveryPinOfAPartAnswers) {
  auto driver = Driver(60);
  int paired = 0, bare = 0;
  for (int32_t i = 0; i < 100; ++i) {
    auto pin = Object(driver.Get(), kGetDevicePin, i);
    ASSERT_TRUE(pin) << i;
    if (!Flag(pin.Get(), 503527)) {
      ++bare;
      EXPECT_EQ(Text(pin.Get(), 503547), "||");
    } else if (!Text(pin.Get(), 503545).empty()) {
      ++paired;
    }
  }
  EXPECT_EQ(paired, 78);
  EXPECT_EQ(bare, 20);
}

}  // namespace
}  // namespace boundary

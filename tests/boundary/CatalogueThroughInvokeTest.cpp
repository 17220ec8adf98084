// The catalogue as a host reads it: every answer through Invoke.
#include <gtest/gtest.h>

#include "tests/boundary/ModuleHost.h"

namespace boundary {
namespace {

std::string Text(int32_t kind, DISPID id) {
  CallResult call = Call(Driver(kind).Get(), id);
  EXPECT_EQ(call.status, S_OK) << call.error;
  return automation::ToString(*call.value.Raw());
}

int32_t Number(int32_t kind, DISPID id) {
  CallResult call = Call(Driver(kind).Get(), id);
  EXPECT_EQ(call.status, S_OK) << call.error;
  EXPECT_EQ(call.value.Type(), VT_I4);
  return call.value.Raw()->lVal;
}

TEST(CatalogueThroughInvoke, TellingKinds) {
  struct Case {
    int32_t kind;
    DISPID id;
    const char* text;
  };
  const Case texts[] = {
      {0, 503380, "LCMXO2-256HC-4UMG64C"},
      {0, 503381, "Lattice MachXO2 LCMXO2-256HC-4UMG64C"},
      {0, 503392, "UMG64"},
      {0, 503389, "UMG"},
      {0, 503399, "4"},
      {0, 503396, "C"},
      {0, 503402, "None"},
      {0, 503405, "lcmxo2_256hc_ucbga64.bsd"},
      {0, 503407, "Lattice"},
      {0, 503423, "LCMXO2-256HC-4UMG64C"},
      {61, 503380, "LCMXO2-1200HC-4TG100CR1"},
      {61, 503403, "R1"},
      {61, 503405, "lcmxo2_1200hc_tqfp100.bsd"},
      {162, 503380, "LCMXO2-2000HE-4TG100C"},
      {162, 503405, "lcmxo2_2000ze_tqfp100.bsd"},
      {168, 503405, "lcmxo2_2000ze_csbga132.bsd"},
      {18, 503401, "Speed Grade 1 (Slowest)"},
      {4, 503401, "Speed Grade 6 (Fastest)"},
      {419, 503386, "LCMXO2-7000ZE"},
      {419, 503395, "23 x 23 mm"},
  };
  for (const Case& c : texts) EXPECT_EQ(Text(c.kind, c.id), c.text) << c.kind << " " << c.id;

  const Case numbers[] = {
      {419, 503387, nullptr}, {419, 503388, nullptr}, {419, 503415, nullptr},
  };
  EXPECT_EQ(Number(419, numbers[0].id), 6864);
  EXPECT_EQ(Number(419, numbers[1].id), 335);
  EXPECT_EQ(Number(419, numbers[2].id), 54);
  EXPECT_EQ(Number(60, 503408), 8);
  EXPECT_EQ(Number(60, 503409), 100);
  EXPECT_EQ(Number(60, 503410), 80);
  EXPECT_EQ(Number(60, 503419), 39);
}

TEST(CatalogueThroughInvoke, IdCodesArriveBitForBit) {
  EXPECT_EQ(static_cast<uint32_t>(Number(60, 503379)), 0x012BA043u);
  EXPECT_EQ(static_cast<uint32_t>(Number(162, 503379)), 0x012B3043u);
  EXPECT_GT(Number(0, 503379), 0);
}

}  // namespace
}  // namespace boundary

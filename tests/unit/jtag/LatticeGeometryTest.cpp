// The geometry lookup by base name: longest matching prefix, in upper case.
#include "jtag/LatticeGeometry.h"

#include <gtest/gtest.h>

namespace {

using jtag::FindLatticeGeometry;

TEST(ProgrammerGeometry, LongestPrefixInUpperCase) {
  struct Case {
    const char* baseName;
    const char* prefix;  // null: not served
    int32_t bits;
  };
  const Case cases[] = {
      {"LCMXO2-256HC", "LCMXO2-256", 93744},
      {"lcmxo2-640uhc", "LCMXO2-640", 190920},
      {"LCMXO2-1200ZE", "LCMXO2-1200", 359640},
      {"LCMXO2-7000HE", "LCMXO2-7000", 1533840},
      {"LFEC10E", "LFEC10", 2951612},    // not LFEC1
      {"LFEC1E", "LFEC1", 546140},
      {"LFECP10E", "LFECP10", 2951612},  // not LFEC1 nor LFEC10
      {"LFXP2-5E", "LFXP2-5", 1236444},
      {"LFXP20C", "LFXP20", 4982712},
      {"LCMXO2280C", "LCMXO2280", 486576},
      {"LCMXO2-9999", nullptr, 0},
      {"XYZ", nullptr, 0},
      {"", nullptr, 0},
  };
  for (const Case& c : cases) {
    const auto geometry = FindLatticeGeometry(c.baseName);
    if (!c.prefix) {
      EXPECT_FALSE(geometry) << c.baseName;
      continue;
    }
    ASSERT_TRUE(geometry) << c.baseName;
    EXPECT_EQ(geometry->prefix, c.prefix) << c.baseName;
    EXPECT_EQ(geometry->ConfigurationBits(), c.bits) << c.baseName;
  }
}

TEST(ProgrammerGeometry, EveryRowIsReachableByItsOwnPrefix) {
  for (const jtag::TLatticeGeometry& row : jtag::kLatticeGeometries) {
    const auto found = FindLatticeGeometry(row.prefix);
    ASSERT_TRUE(found) << row.prefix;
    EXPECT_EQ(found->prefix, row.prefix);
    EXPECT_GT(row.addressBits, 0);
    EXPECT_GT(row.dataBits, 0);
  }
}

}  // namespace

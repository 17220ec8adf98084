#include "hostsdk/HexText.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string_view>

namespace {

constexpr int64_t kDefault = -99;

struct HexCase {
  std::string_view text;
  int64_t expected;
};

constexpr HexCase kHexCases[] = {
    {"0x1F", 31},
    {"0X1f", 31},
    {"1F", 31},
    {"abcdef", 0xABCDEF},
    {"0x012BA043", 0x012BA043},
    {"FFFFFFFF", 0xFFFFFFFF},
    {"7FFFFFFFFFFFFFFF", INT64_MAX},
    {"", 0},
    {"0x", 0},
    // The first character that is no hexadecimal digit gives the default.
    {"1G", kDefault},
    {"0x1F ", kDefault},
    {" 1F", kDefault},
    {"-1", kDefault},
    {"0x0x1", kDefault},
    // Too large for the result: the default rather than a wrapped number.
    {"10000000000000000", kDefault},
    {"8000000000000000", kDefault},
};

TEST(HexTextTest, ReadsDigitsOrGivesTheDefault) {
  for (const HexCase& c : kHexCases)
    EXPECT_EQ(hostsdk::HexTextToNumber(c.text, kDefault), c.expected) << '"' << c.text << '"';
}

}  // namespace

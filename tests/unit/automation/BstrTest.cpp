// The string layout both sides of the boundary rely on: a 4-byte byte count
// just before the characters and a zero character after them. The Windows
// build checks this against the platform's own strings.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string_view>

#include "automation/ComTypes.h"
#include "automation/WideText.h"

namespace automation {
namespace {

using namespace std::string_view_literals;

TEST(Bstr, CarriesItsByteCountBeforeTheCharacters) {
  // 'a', a zero character, 'b', U+00E9 and U+1F600 (a surrogate pair).
  constexpr std::string_view kText = "a\0b\xC3\xA9\xF0\x9F\x98\x80"sv;
  BSTR text = AllocBstr(kText);
  ASSERT_NE(text, nullptr);
  uint32_t byteCount = 0;
  std::memcpy(&byteCount, reinterpret_cast<const char*>(text) - sizeof byteCount, sizeof byteCount);

  EXPECT_EQ(byteCount, 12u);
  EXPECT_EQ(SysStringByteLen(text), 12u);
  EXPECT_EQ(SysStringLen(text), 6u);
  EXPECT_EQ(text[1], 0);
  EXPECT_EQ(text[6], 0) << "no terminating zero character";
  EXPECT_EQ(FromBstr(text), kText);
  SysFreeString(text);
}

TEST(Bstr, NullIsTheEmptyString) {
  EXPECT_EQ(SysStringLen(nullptr), 0u);
  EXPECT_EQ(FromBstr(nullptr), "");
  SysFreeString(nullptr);
}

}  // namespace
}  // namespace automation

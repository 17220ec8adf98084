#include "hostsdk/HexText.h"

#include <limits>

namespace hostsdk {

namespace {

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

int64_t HexTextToNumber(std::string_view text, int64_t defaultValue) {
  if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
    text.remove_prefix(2);
  constexpr uint64_t kLargest = std::numeric_limits<int64_t>::max();
  uint64_t value = 0;
  for (const char c : text) {
    const int digit = HexDigitValue(c);
    if (digit < 0) return defaultValue;
    // Wrapping around would hand back a plausible but wrong number.
    if (value > (kLargest - digit) / 16) return defaultValue;
    value = value * 16 + static_cast<uint64_t>(digit);
  }
  return static_cast<int64_t>(value);
}

}  // namespace hostsdk

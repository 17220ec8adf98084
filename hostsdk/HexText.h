// Hexadecimal text to a number, as host parameters and device ids write it.
#pragma once

#include <cstdint>
#include <string_view>

namespace hostsdk {

// Reads `text` as hexadecimal: an optional "0x"/"0X" prefix, then digits
// 0-9, A-F, a-f. At the first other character `defaultValue` is returned
// instead, and so it is for a value too large for 64 signed bits. A text
// without digits reads as 0.
int64_t HexTextToNumber(std::string_view text, int64_t defaultValue);

}  // namespace hostsdk

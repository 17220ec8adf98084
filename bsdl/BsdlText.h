// Small text helpers shared by the boundary-scan descriptions, the reader
// and the writer.
#pragma once

#include <string>
#include <string_view>

namespace bsdl {

// `text` followed by blanks up to `width` characters; a longer text is kept
// whole.
inline std::string Pad(std::string_view text, size_t width) {
  std::string padded(text);
  if (padded.size() < width) padded.append(width - padded.size(), ' ');
  return padded;
}

inline std::string Pad(long long number, size_t width) {
  return Pad(std::to_string(number), width);
}

inline char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

// Names in boundary-scan descriptions (VHDL identifiers) ignore letter case.
inline bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
  return true;
}

inline std::string UpperAscii(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = AsciiUpper(c);
  return upper;
}

}  // namespace bsdl

// File-system paths from and to the module's UTF-8 text. A path built
// straight from a std::string is read in the Windows ANSI code page, which
// mangles every non-ASCII folder name; going through char8_t keeps UTF-8
// on every platform.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace hostsdk {

inline std::filesystem::path PathFromUtf8(std::string_view utf8) {
  return std::filesystem::path(
      std::u8string_view(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

inline std::string Utf8FromPath(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(reinterpret_cast<const char*>(text.data()), text.size());
}

}  // namespace hostsdk

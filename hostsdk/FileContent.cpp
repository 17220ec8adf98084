#include "hostsdk/FileContent.h"

#include <fstream>
#include <ios>
#include <iterator>

namespace hostsdk {

std::optional<std::string> ReadFileContent(const std::filesystem::path& path) {
  std::error_code error;
  // A folder opens like a file on some platforms and then fails mid-read.
  if (!std::filesystem::is_regular_file(path, error) || error) return std::nullopt;
  try {
    std::ifstream file(path, std::ios::binary);
    if (!file.is_open()) return std::nullopt;
    std::string content{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    if (file.bad()) return std::nullopt;
    return content;
  } catch (const std::ios_base::failure&) {
    return std::nullopt;
  }
}

}  // namespace hostsdk

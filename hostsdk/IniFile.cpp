#include "hostsdk/IniFile.h"

#include <fstream>
#include <sstream>

#include "hostsdk/Utf8Path.h"

namespace hostsdk {
namespace {

std::string_view Trim(std::string_view text) {
  constexpr std::string_view kBlanks = " \t\r\n\v\f";
  const std::size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(kBlanks);
  return text.substr(first, last - first + 1);
}

std::string LowerAscii(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

// Files saved by some editors start with a UTF-8 byte-order mark, which
// would otherwise hide the first section header.
std::string_view SkipByteOrderMark(std::string_view text) {
  constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
  return text.starts_with(kUtf8Bom) ? text.substr(kUtf8Bom.size()) : text;
}

}  // namespace

bool TIniFile::Load(const std::string& path) {
  sections_.clear();
  // The path is UTF-8 text; a plain string would be read in the Windows
  // ANSI code page and miss a folder with a name outside it.
  std::ifstream file(PathFromUtf8(path), std::ios::binary);
  if (!file) return false;
  std::ostringstream contents;
  contents << file.rdbuf();
  if (file.bad()) return false;
  LoadFromText(contents.str());
  return true;
}

void TIniFile::LoadFromText(std::string_view text) {
  sections_.clear();
  text = SkipByteOrderMark(text);
  std::string section;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view line = Trim(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);

    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      const std::size_t close = line.find(']');
      if (close != std::string_view::npos) section = LowerAscii(Trim(line.substr(1, close - 1)));
      continue;
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) continue;
    const std::string key = LowerAscii(Trim(line.substr(0, equals)));
    if (key.empty()) continue;
    // emplace keeps the first occurrence of a repeated key.
    sections_[section].emplace(key, std::string(Trim(line.substr(equals + 1))));
  }
}

std::string TIniFile::Value(std::string_view section, std::string_view key) const {
  const auto sectionIt = sections_.find(LowerAscii(Trim(section)));
  if (sectionIt == sections_.end()) return {};
  const auto keyIt = sectionIt->second.find(LowerAscii(Trim(key)));
  if (keyIt == sectionIt->second.end()) return {};
  return keyIt->second;
}

}  // namespace hostsdk

// A small reader for Windows-style configuration files:
//
//   ; comment
//   [Section]
//   Key = value
//
// Section and key names compare without regard to ASCII letter case; names
// and values are trimmed of surrounding blanks. Lines starting with ';' are
// comments, lines that are neither a section header nor "key=value" are
// skipped. When a key occurs more than once in a section, the first one
// counts, as with the platform's own profile reader.
#pragma once

#include <map>
#include <string>
#include <string_view>

namespace hostsdk {

class TIniFile {
 public:
  // Replaces the contents with those of the file at `path`; false (and
  // empty contents) when the file cannot be opened or read.
  bool Load(const std::string& path);

  // Replaces the contents with those parsed from `text`.
  void LoadFromText(std::string_view text);

  // The value of `key` in `section`; empty when either is missing.
  std::string Value(std::string_view section, std::string_view key) const;

 private:
  // Lower-cased section name -> lower-cased key name -> value.
  std::map<std::string, std::map<std::string, std::string>, std::less<>> sections_;
};

}  // namespace hostsdk

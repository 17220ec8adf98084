// A fresh folder for one test's files, removed with everything in it when
// the test ends, plus whole-file read and write helpers.
#pragma once

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include "hostsdk/Utf8Path.h"

namespace testsupport {

class ScratchFolder {
 public:
  ScratchFolder() {
    static std::atomic<unsigned> counter{0};
    const auto stamp = std::to_string(
        std::chrono::steady_clock::now().time_since_epoch().count());
    path_ = std::filesystem::temp_directory_path() /
            ("mxo2-test-" + stamp + "-" + std::to_string(++counter));
    std::filesystem::create_directories(path_);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  // `name` inside the folder, as the module's UTF-8 text.
  std::string File(std::string_view name) const {
    return hostsdk::Utf8FromPath(path_ / hostsdk::PathFromUtf8(name));
  }

 private:
  std::filesystem::path path_;
};

inline void WriteWholeFile(const std::string& path, std::string_view content) {
  std::ofstream file(hostsdk::PathFromUtf8(path), std::ios::binary | std::ios::trunc);
  file.write(content.data(), static_cast<std::streamsize>(content.size()));
}

inline std::string ReadWholeFile(const std::string& path) {
  std::ifstream file(hostsdk::PathFromUtf8(path), std::ios::binary);
  return std::string{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

}  // namespace testsupport

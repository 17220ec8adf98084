// Where the JEDEC test files are: the small fixtures of this repository and
// the vendor-made sample beside it (in the shared folder next to the
// repository, or wherever MXO2_SAMPLE_JEDEC points).
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

namespace jedecfixtures {

inline std::string Fixture(const std::string& name) {
  return (std::filesystem::path(MXO2_FIXTURES_DIR) / "jedec" / name).string();
}

// The vendor sample for a LCMXO2-1200HC, or empty when it is not there.
inline std::string VendorSample() {
  std::filesystem::path path;
  if (const char* fromEnvironment = std::getenv("MXO2_SAMPLE_JEDEC"))
    path = fromEnvironment;
  else
    path = std::filesystem::path(MXO2_FIXTURES_DIR) / ".." / ".." / ".." / "shared" / "samples" /
           "jedec" / "lcmxo2-1200hc-qfn32-spi-pixel.jed";
  std::error_code error;
  return std::filesystem::is_regular_file(path, error) ? path.lexically_normal().string() : "";
}

// What the vendor sample holds, counted by hand from the file.
inline constexpr size_t kSampleLines = 2724;
inline constexpr size_t kSampleConfigurationRows = 1034;  // lines 27..1060
inline constexpr size_t kSampleUserFlashRows = 1653;      // lines 1064..2716

}  // namespace jedecfixtures

// Reading zip archives: the central directory, and the data of "stored" and
// "deflated" entries, checked against their recorded size and CRC-32.
// Every offset and length read from the archive is checked against the
// archive's size before use, so a damaged or hostile archive yields an
// EZipFormat, never a read outside the data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace bsdl {

class EZipFormat : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct TZipEntry {
  // As stored: UTF-8, with '/' (or, from some tools, '\') between folders.
  std::string name;
  uint16_t method = 0;  // 0 stored, 8 deflated
  uint16_t flags = 0;
  uint32_t crc32 = 0;
  uint32_t compressedSize = 0;
  uint32_t uncompressedSize = 0;
  uint32_t localHeaderOffset = 0;

  bool IsFolder() const { return !name.empty() && (name.back() == '/' || name.back() == '\\'); }
  bool IsEncrypted() const { return (flags & 1u) != 0; }
  // The name without any folder part.
  std::string FileName() const;
};

class TZipReader {
 public:
  // Entries larger than this are refused rather than unpacked into memory.
  static constexpr size_t kMaxEntrySize = 64u << 20;
  // Archives larger than this are refused when read from a file.
  static constexpr size_t kMaxArchiveSize = 256u << 20;

  // Parses the central directory of the archive held in `bytes`.
  explicit TZipReader(std::string bytes);
  // Reads and parses the archive file at `path` (UTF-8).
  static TZipReader FromFile(const std::string& path);

  const std::vector<TZipEntry>& Entries() const { return entries_; }
  // The unpacked data of `entry`, checked against its size and CRC-32.
  std::string Extract(const TZipEntry& entry) const;

 private:
  void ReadCentralDirectory();

  std::string bytes_;
  std::vector<TZipEntry> entries_;
};

// The CRC-32 of zip archives (polynomial 0xEDB88320).
uint32_t Crc32(std::string_view data);

}  // namespace bsdl

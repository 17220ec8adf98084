#include "bsdl/ZipReader.h"

#include <array>
#include <fstream>

#include "bsdl/Inflate.h"
#include "hostsdk/Utf8Path.h"

namespace bsdl {

namespace {

constexpr uint32_t kEndOfCentralDirectory = 0x06054b50;
constexpr uint32_t kCentralHeader = 0x02014b50;
constexpr uint32_t kLocalHeader = 0x04034b50;
constexpr size_t kEndRecordSize = 22;
constexpr size_t kCentralHeaderSize = 46;
constexpr size_t kLocalHeaderSize = 30;
constexpr size_t kMaxCommentSize = 0xFFFF;
constexpr uint16_t kUtf8NameFlag = 1u << 11;

constexpr auto kCrcTable = [] {
  std::array<uint32_t, 256> table{};
  for (uint32_t n = 0; n < 256; ++n) {
    uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = (c & 1u) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[n] = c;
  }
  return table;
}();

// Names without the UTF-8 flag are in the DOS code page 437; its upper half
// in Unicode.
constexpr uint16_t kCp437High[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF,
    0x00EE, 0x00EC, 0x00C4, 0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192, 0x00E1, 0x00ED, 0x00F3, 0x00FA,
    0x00F1, 0x00D1, 0x00AA, 0x00BA, 0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557,
    0x255D, 0x255C, 0x255B, 0x2510, 0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559,
    0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4, 0x03A6, 0x0398, 0x03A9, 0x03B4,
    0x221E, 0x03C6, 0x03B5, 0x2229, 0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248,
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x00A0};

void AppendUtf8(std::string& out, uint16_t code) {
  if (code < 0x80) {
    out.push_back(static_cast<char>(code));
  } else if (code < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (code >> 6)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xE0 | (code >> 12)));
    out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  }
}

std::string NameAsUtf8(std::string_view raw, uint16_t flags) {
  if (flags & kUtf8NameFlag) return std::string(raw);
  std::string name;
  for (char c : raw) {
    const auto byte = static_cast<uint8_t>(c);
    AppendUtf8(name, byte < 0x80 ? byte : kCp437High[byte - 0x80]);
  }
  return name;
}

// Little-endian fields of the archive, bounds-checked.
class Fields {
 public:
  explicit Fields(std::string_view bytes) : bytes_(bytes) {}

  bool Fits(size_t offset, size_t length) const {
    return offset <= bytes_.size() && bytes_.size() - offset >= length;
  }
  uint16_t U16(size_t offset) const {
    Require(offset, 2);
    return static_cast<uint16_t>(Byte(offset) | (Byte(offset + 1) << 8));
  }
  uint32_t U32(size_t offset) const {
    Require(offset, 4);
    return Byte(offset) | (Byte(offset + 1) << 8) | (Byte(offset + 2) << 16) |
           (Byte(offset + 3) << 24);
  }
  std::string_view Slice(size_t offset, size_t length) const {
    Require(offset, length);
    return bytes_.substr(offset, length);
  }

 private:
  uint32_t Byte(size_t offset) const { return static_cast<uint8_t>(bytes_[offset]); }
  void Require(size_t offset, size_t length) const {
    if (!Fits(offset, length)) throw EZipFormat("the zip archive is truncated");
  }

  std::string_view bytes_;
};

size_t FindEndRecord(const Fields& fields, size_t size) {
  if (size < kEndRecordSize) throw EZipFormat("the file is too short to be a zip archive");
  const size_t lowest =
      size - kEndRecordSize > kMaxCommentSize ? size - kEndRecordSize - kMaxCommentSize : 0;
  for (size_t at = size - kEndRecordSize + 1; at-- > lowest;)
    if (fields.U32(at) == kEndOfCentralDirectory) return at;
  throw EZipFormat("no zip end-of-central-directory record was found");
}

}  // namespace

uint32_t Crc32(std::string_view data) {
  uint32_t crc = 0xFFFFFFFFu;
  for (char c : data) crc = kCrcTable[(crc ^ static_cast<uint8_t>(c)) & 0xFFu] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFu;
}

std::string TZipEntry::FileName() const {
  const size_t cut = name.find_last_of("/\\");
  return cut == std::string::npos ? name : name.substr(cut + 1);
}

TZipReader::TZipReader(std::string bytes) : bytes_(std::move(bytes)) { ReadCentralDirectory(); }

TZipReader TZipReader::FromFile(const std::string& path) {
  std::ifstream file(hostsdk::PathFromUtf8(path), std::ios::binary);
  if (!file) throw EZipFormat("cannot open the zip archive " + path);
  std::string bytes;
  char chunk[1 << 16];
  while (file.read(chunk, sizeof chunk) || file.gcount() > 0) {
    bytes.append(chunk, static_cast<size_t>(file.gcount()));
    if (bytes.size() > kMaxArchiveSize)
      throw EZipFormat("the zip archive " + path + " is larger than " +
                       std::to_string(kMaxArchiveSize) + " bytes");
  }
  if (file.bad()) throw EZipFormat("cannot read the zip archive " + path);
  try {
    return TZipReader(std::move(bytes));
  } catch (const EZipFormat& e) {
    throw EZipFormat(path + ": " + e.what());
  }
}

void TZipReader::ReadCentralDirectory() {
  const Fields fields(bytes_);
  const size_t end = FindEndRecord(fields, bytes_.size());
  if (fields.U16(end + 4) != 0 || fields.U16(end + 6) != 0)
    throw EZipFormat("multi-part zip archives are not supported");
  const size_t count = fields.U16(end + 10);
  const size_t directorySize = fields.U32(end + 12);
  const size_t directoryOffset = fields.U32(end + 16);
  if (count == 0xFFFF || directoryOffset == 0xFFFFFFFFu)
    throw EZipFormat("ZIP64 archives are not supported");
  if (directoryOffset > end || end - directoryOffset < directorySize)
    throw EZipFormat("the zip central directory lies outside the archive");

  size_t at = directoryOffset;
  for (size_t i = 0; i < count; ++i) {
    if (fields.U32(at) != kCentralHeader)
      throw EZipFormat("zip central directory entry " + std::to_string(i) + " is damaged");
    TZipEntry entry;
    entry.flags = fields.U16(at + 8);
    entry.method = fields.U16(at + 10);
    entry.crc32 = fields.U32(at + 16);
    entry.compressedSize = fields.U32(at + 20);
    entry.uncompressedSize = fields.U32(at + 24);
    const size_t nameLength = fields.U16(at + 28);
    const size_t extraLength = fields.U16(at + 30);
    const size_t commentLength = fields.U16(at + 32);
    entry.localHeaderOffset = fields.U32(at + 42);
    entry.name = NameAsUtf8(fields.Slice(at + kCentralHeaderSize, nameLength), entry.flags);
    at += kCentralHeaderSize + nameLength + extraLength + commentLength;
    if (at > end) throw EZipFormat("the zip central directory runs past its end");
    entries_.push_back(std::move(entry));
  }
}

std::string TZipReader::Extract(const TZipEntry& entry) const {
  const std::string what = "zip entry \"" + entry.name + "\"";
  if (entry.IsEncrypted()) throw EZipFormat(what + " is encrypted");
  if (entry.uncompressedSize > kMaxEntrySize)
    throw EZipFormat(what + " unpacks to more than " + std::to_string(kMaxEntrySize) + " bytes");

  const Fields fields(bytes_);
  const size_t local = entry.localHeaderOffset;
  if (!fields.Fits(local, kLocalHeaderSize) || fields.U32(local) != kLocalHeader)
    throw EZipFormat(what + " has no valid local header");
  const size_t dataOffset =
      local + kLocalHeaderSize + fields.U16(local + 26) + size_t{fields.U16(local + 28)};
  if (!fields.Fits(dataOffset, entry.compressedSize))
    throw EZipFormat(what + " runs past the end of the archive");
  const std::string_view packed = fields.Slice(dataOffset, entry.compressedSize);

  std::string data;
  if (entry.method == 0) {
    data.assign(packed);
  } else if (entry.method == 8) {
    try {
      data = Inflate(packed, entry.uncompressedSize);
    } catch (const EInflate& e) {
      throw EZipFormat(what + ": " + e.what());
    }
  } else {
    throw EZipFormat(what + " uses compression method " + std::to_string(entry.method) +
                     " (only stored and deflated entries are supported)");
  }
  if (data.size() != entry.uncompressedSize)
    throw EZipFormat(what + " unpacks to " + std::to_string(data.size()) + " bytes instead of " +
                     std::to_string(entry.uncompressedSize));
  if (Crc32(data) != entry.crc32) throw EZipFormat(what + " fails its CRC check");
  return data;
}

}  // namespace bsdl

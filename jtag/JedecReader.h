// JEDEC fuse files as the chip programmer reads them. The programmer does
// not parse JEDEC fields: it reads the file as lines and walks them with a
// few line rules to find the configuration rows to shift, the blocks to pass
// over and the feature-row line.
//
//  - A row line begins with '0' or '1'; every other line (empty ones too) is
//    a non-row line. Field letters, addresses, checksums and user codes are
//    never read, so a file has no format errors as such.
//  - Row bits are the whole row line reversed, and feature bits the feature
//    line without its field letter, reversed: the channel shifts the last
//    character of a bit string first, and the file's first character must
//    be the first bit on the wire.
//  - The walk starts at the first row line. A non-row line at i ends the
//    current block and line i+1 says what follows: "NOTE EBR_INIT DATA"
//    continues with the rows from line i+3 (shifted), "NOTE END CONFIG
//    DATA" continues with rows from line i+3 that are counted but not
//    shifted (the user flash block), and anything else ends the row stream,
//    with the feature line at i+3.
//  - The walk needing a line the file does not have (a file cut short
//    inside the rows or missing its closing lines) is an error naming the
//    file and the missing line; it is never a quiet end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace jtag {

inline constexpr std::string_view kEbrInitMarker = "NOTE EBR_INIT DATA";
inline constexpr std::string_view kEndConfigMarker = "NOTE END CONFIG DATA";

// A JEDEC file that cannot be read or that ends where the walk needs more.
class EJedecFileError : public std::runtime_error {
 public:
  // `line` counts from 1; 0 means the file as a whole.
  EJedecFileError(std::string fileName, size_t line, const std::string& reason);
  const std::string& FileName() const { return fileName_; }
  size_t Line() const { return line_; }

 private:
  std::string fileName_;
  size_t line_;
};

// The text of a JEDEC file as lines: 8-bit text as stored unless the file
// starts with a byte-order mark (UTF-8, UTF-16 LE or BE; UTF-16 is turned
// into UTF-8). Lines end at CR, LF or CR LF and are not trimmed; a final
// line end does not start another line.
class TJedecFile {
 public:
  // Reads the whole file named by the UTF-8 `fileName`; throws
  // EJedecFileError when it is missing, a folder or unreadable.
  static TJedecFile Load(const std::string& fileName);
  // The bytes of a file already in memory; `name` names it in errors.
  static TJedecFile FromBytes(std::string_view bytes, std::string name);

  const std::string& Name() const { return name_; }
  size_t LineCount() const { return lines_.size(); }
  // The line at `index` (from 0); throws EJedecFileError naming the line
  // (from 1) when the file ends before it.
  const std::string& Line(size_t index) const;

 private:
  TJedecFile(std::string name, std::vector<std::string> lines)
      : name_(std::move(name)), lines_(std::move(lines)) {}

  std::string name_;
  std::vector<std::string> lines_;
};

bool IsRowLine(std::string_view line);
// The bits of a row line in the channel's order (reversed).
std::string RowBits(std::string_view rowLine);
// The bits of a feature line without its field letter, reversed.
std::string FeatureBits(std::string_view featureLine);

// The row stream of a file, pulled one row at a time, so that reading the
// file and driving the chip stay apart. The file must outlive the walk.
class TJedecRowWalk {
 public:
  enum class TStep {
    ShiftRow,   // RowBits() holds the next row to shift
    SkipRow,    // a row met but not shifted (after "NOTE END CONFIG DATA")
    EndOfRows,  // the stream has ended; FeatureBits() holds the feature row
  };

  explicit TJedecRowWalk(const TJedecFile& file);

  // False for a file without any row line: there is nothing to program.
  bool HasRows() const { return hasRows_; }
  // Moves to the next row line or the end of the stream; throws
  // EJedecFileError when the file ends first. After EndOfRows every call
  // answers EndOfRows again.
  TStep Next();
  const std::string& RowBits() const { return rowBits_; }
  const std::string& FeatureBits() const { return featureBits_; }

 private:
  const TJedecFile& file_;
  size_t next_ = 0;  // the line the walk moves to next
  bool hasRows_ = false;
  bool skipping_ = false;
  bool ended_ = false;
  std::string rowBits_;
  std::string featureBits_;
};

struct TJedecRowCounts {
  size_t shifted = 0;
  size_t skipped = 0;
};

// Walks the whole row stream without keeping rows: what programming the
// file would shift, or the EJedecFileError the walk would meet on the way.
TJedecRowCounts CheckRowStream(const TJedecFile& file);

}  // namespace jtag

#include "jtag/JedecReader.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "hostsdk/Utf8Path.h"

namespace jtag {

namespace {

std::string Describe(const std::string& fileName, size_t line, const std::string& reason) {
  std::string text = "JEDEC file \"" + fileName + "\"";
  if (line > 0) text += ", line " + std::to_string(line);
  return text + ": " + reason;
}

void AppendUtf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// UTF-16 without its mark, as UTF-8. Unpaired surrogates and a dangling
// last byte become U+FFFD rather than failing: the walk only looks at ASCII.
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian) {
  constexpr char32_t kReplacement = 0xFFFD;
  const auto unit = [&](size_t i) -> char16_t {
    const auto first = static_cast<unsigned char>(bytes[i]);
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    return static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
  };
  std::string out;
  out.reserve(bytes.size() / 2);
  const size_t units = bytes.size() / 2;
  for (size_t u = 0; u < units; ++u) {
    const char16_t code = unit(2 * u);
    const bool high = code >= 0xD800 && code <= 0xDBFF;
    const bool low = code >= 0xDC00 && code <= 0xDFFF;
    if (high && u + 1 < units) {
      const char16_t next = unit(2 * (u + 1));
      if (next >= 0xDC00 && next <= 0xDFFF) {
        AppendUtf8(out, 0x10000 + ((char32_t{code} - 0xD800) << 10) + (char32_t{next} - 0xDC00));
        ++u;
        continue;
      }
    }
    AppendUtf8(out, high || low ? kReplacement : char32_t{code});
  }
  if (bytes.size() % 2 != 0) AppendUtf8(out, kReplacement);
  return out;
}

bool StartsWith(std::string_view bytes, std::string_view prefix) {
  return bytes.substr(0, prefix.size()) == prefix;
}

std::string DecodeText(std::string_view bytes) {
  if (StartsWith(bytes, "\xEF\xBB\xBF")) return std::string(bytes.substr(3));
  if (StartsWith(bytes, "\xFF\xFE")) return Utf16ToUtf8(bytes.substr(2), false);
  if (StartsWith(bytes, "\xFE\xFF")) return Utf16ToUtf8(bytes.substr(2), true);
  return std::string(bytes);
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.emplace_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

std::string ReadWholeFile(const std::string& fileName) {
  const std::filesystem::path path = hostsdk::PathFromUtf8(fileName);
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(path, error);
  if (!std::filesystem::exists(status)) throw EJedecFileError(fileName, 0, "no such file");
  if (std::filesystem::is_directory(status))
    throw EJedecFileError(fileName, 0, "a folder, not a file");
  std::ifstream in(path, std::ios::binary);
  if (!in) throw EJedecFileError(fileName, 0, "the file cannot be opened");
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) throw EJedecFileError(fileName, 0, "the file cannot be read");
  return bytes;
}

}  // namespace

EJedecFileError::EJedecFileError(std::string fileName, size_t line, const std::string& reason)
    : std::runtime_error(Describe(fileName, line, reason)), fileName_(std::move(fileName)),
      line_(line) {}

TJedecFile TJedecFile::Load(const std::string& fileName) {
  return FromBytes(ReadWholeFile(fileName), fileName);
}

TJedecFile TJedecFile::FromBytes(std::string_view bytes, std::string name) {
  return TJedecFile(std::move(name), SplitLines(DecodeText(bytes)));
}

const std::string& TJedecFile::Line(size_t index) const {
  if (index < lines_.size()) return lines_[index];
  throw EJedecFileError(name_, index + 1,
                        "the file ends at line " + std::to_string(lines_.size()) +
                            ", before its configuration rows and feature row are complete");
}

bool IsRowLine(std::string_view line) {
  return !line.empty() && (line.front() == '0' || line.front() == '1');
}

std::string RowBits(std::string_view rowLine) { return std::string(rowLine.rbegin(), rowLine.rend()); }

std::string FeatureBits(std::string_view featureLine) {
  if (featureLine.empty()) return {};
  return RowBits(featureLine.substr(1));
}

TJedecRowWalk::TJedecRowWalk(const TJedecFile& file) : file_(file) {
  for (size_t i = 0; i < file.LineCount(); ++i) {
    if (!IsRowLine(file.Line(i))) continue;
    next_ = i;
    hasRows_ = true;
    return;
  }
  ended_ = true;
}

TJedecRowWalk::TStep TJedecRowWalk::Next() {
  while (!ended_) {
    const std::string& line = file_.Line(next_);
    if (IsRowLine(line)) {
      ++next_;
      if (skipping_) return TStep::SkipRow;
      rowBits_ = jtag::RowBits(line);
      return TStep::ShiftRow;
    }
    // A non-row line closes the block; its follower says what comes next.
    skipping_ = false;
    const std::string& follower = file_.Line(next_ + 1);
    const bool ebrRows = StartsWith(follower, kEbrInitMarker);
    const bool userFlashRows = StartsWith(follower, kEndConfigMarker);
    next_ += 3;
    if (ebrRows || userFlashRows) {
      skipping_ = userFlashRows;
      continue;
    }
    featureBits_ = jtag::FeatureBits(file_.Line(next_));
    ended_ = true;
  }
  rowBits_.clear();
  return TStep::EndOfRows;
}

TJedecRowCounts CheckRowStream(const TJedecFile& file) {
  TJedecRowCounts counts;
  TJedecRowWalk walk(file);
  for (;;) {
    switch (walk.Next()) {
      case TJedecRowWalk::TStep::ShiftRow: ++counts.shifted; break;
      case TJedecRowWalk::TStep::SkipRow: ++counts.skipped; break;
      case TJedecRowWalk::TStep::EndOfRows: return counts;
    }
  }
}

}  // namespace jtag

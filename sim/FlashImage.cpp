#include "sim/FlashImage.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <system_error>
#include <vector>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace sim {

namespace {

constexpr const char* kMagic = "mxo2-sim-flash 1";

std::string Hex32(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(value));
  return text;
}

void AppendPages(std::string& out, const char* key, const std::vector<FlashPage>& pages) {
  for (size_t i = 0; i < pages.size(); ++i) {
    if (IsErased(pages[i])) continue;
    out += key;
    out += ' ';
    out += std::to_string(i);
    out += ' ';
    out += BitText(pages[i].data(), kFlashPageBits);
    out += '\n';
  }
}

class ImageReader {
 public:
  ImageReader(const MachXO2Part& part, const std::string& source)
      : part_(part), source_(source), flash_(MachXO2Flash::Erased(*part.die)) {}

  MachXO2Flash Read(const std::string& text) {
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
      ++lineNumber_;
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (line.empty() || line[0] == '#') continue;
      if (ended_) Fail("text after \"end\"");
      ReadLine(line);
    }
    if (!sawMagic_) Fail("not a chip-model flash image (no \"" + std::string(kMagic) + "\" line)");
    if (!ended_) Fail("the image is incomplete (no \"end\" line)");
    return std::move(flash_);
  }

 private:
  [[noreturn]] void Fail(const std::string& what) const {
    throw std::runtime_error(source_ + ":" + std::to_string(lineNumber_) + ": " + what);
  }

  void ReadLine(const std::string& line) {
    if (!sawMagic_) {
      if (line != kMagic) Fail("not a chip-model flash image (expected \"" + std::string(kMagic) + "\")");
      sawMagic_ = true;
      return;
    }
    std::istringstream fields(line);
    std::string key, value, extra;
    fields >> key >> value;
    if (key == "end") {
      ended_ = true;
      return;
    }
    if (key == "cfg" || key == "ufm") {
      std::string bits;
      fields >> bits;
      ReadPage(key == "cfg" ? flash_.configuration : flash_.userFlash, key, value, bits);
    } else if (key == "part") {
      if (value != part_.baseName)
        Fail("the image is of an " + value + ", not of an " + part_.baseName);
    } else if (key == "idcode") {
      if (value != Hex32(part_.idCode)) Fail("IDCODE " + value + " is not " + Hex32(part_.idCode));
    } else if (key == "usercode") {
      flash_.userCode = static_cast<uint32_t>(Number(value, 0xFFFFFFFFull, 16));
    } else if (key == "done") {
      flash_.done = Flag(value);
    } else if (key == "security") {
      flash_.security = Flag(value);
    } else if (key == "securityplus") {
      flash_.securityPlus = Flag(value);
    } else if (key == "feature") {
      Bits(value, flash_.featureRow.data(), kFeatureRowBits);
    } else if (key == "feabits") {
      uint8_t bits[2];
      Bits(value, bits, kFeatureBitsLength);
      flash_.featureBits = static_cast<uint16_t>(bits[0] | (bits[1] << 8));
    } else {
      Fail("unknown entry \"" + key + "\"");
    }
    if (fields >> extra) Fail("unexpected \"" + extra + "\" after the " + key + " entry");
  }

  void ReadPage(std::vector<FlashPage>& pages, const std::string& key, const std::string& index,
                const std::string& bits) {
    if (pages.empty()) Fail(part_.baseName + " has no " + key + " pages");
    const size_t page = static_cast<size_t>(Number(index, pages.size() - 1, 10));
    const bool isConfiguration = key == "cfg";
    size_t& last = isConfiguration ? lastConfiguration_ : lastUserFlash_;
    if (last != kNone && page <= last)
      Fail(key + " page " + std::to_string(page) + " out of order or given twice");
    last = page;
    Bits(bits, pages[page].data(), kFlashPageBits);
  }

  uint64_t Number(const std::string& text, uint64_t max, int base) const {
    size_t used = 0;
    unsigned long long value = 0;
    try {
      value = std::stoull(text, &used, base);
    } catch (const std::exception&) {
      used = 0;
    }
    if (text.empty() || used != text.size() || text[0] == '-')
      Fail("\"" + text + "\" is not a number");
    if (value > max) Fail(text + " is out of range (at most " + std::to_string(max) + ")");
    return value;
  }

  bool Flag(const std::string& text) const {
    if (text != "0" && text != "1") Fail("\"" + text + "\" is not 0 or 1");
    return text == "1";
  }

  void Bits(const std::string& text, uint8_t* bits, size_t count) const {
    try {
      BitsFromBitText(text, bits, count);
    } catch (const std::invalid_argument& e) {
      Fail(e.what());
    }
  }

  static constexpr size_t kNone = static_cast<size_t>(-1);
  const MachXO2Part& part_;
  const std::string& source_;
  MachXO2Flash flash_;
  size_t lineNumber_ = 0;
  bool sawMagic_ = false;
  bool ended_ = false;
  size_t lastConfiguration_ = kNone;
  size_t lastUserFlash_ = kNone;
};

void WriteAll(const std::filesystem::path& path, const std::string& text) {
  std::FILE* file = std::fopen(path.string().c_str(), "wb");
  if (!file)
    throw std::runtime_error("cannot create " + path.string() + ": " +
                             std::generic_category().message(errno));
  const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  bool flushed = std::fflush(file) == 0;
#ifndef _WIN32
  // The data must be on disk before the rename makes it the image.
  flushed = flushed && ::fsync(fileno(file)) == 0;
#endif
  const int error = errno;
  const bool closed = std::fclose(file) == 0;
  if (!written || !flushed || !closed) {
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
    throw std::runtime_error("cannot write " + path.string() + ": " +
                             std::generic_category().message(error));
  }
}

}  // namespace

std::string FormatFlashImage(const MachXO2Part& part, const MachXO2Flash& flash) {
  std::string out;
  out += kMagic;
  out += "\n# MachXO2 chip-model flash; bits in wire order (first bit shifted first)\n";
  out += "part " + part.baseName + "\n";
  out += "idcode " + Hex32(part.idCode) + "\n";
  out += "usercode " + Hex32(flash.userCode) + "\n";
  out += std::string("done ") + (flash.done ? "1" : "0") + "\n";
  out += std::string("security ") + (flash.security ? "1" : "0") + "\n";
  out += std::string("securityplus ") + (flash.securityPlus ? "1" : "0") + "\n";
  out += "feature " + BitText(flash.featureRow.data(), kFeatureRowBits) + "\n";
  const uint8_t feabits[2] = {static_cast<uint8_t>(flash.featureBits),
                              static_cast<uint8_t>(flash.featureBits >> 8)};
  out += "feabits " + BitText(feabits, kFeatureBitsLength) + "\n";
  AppendPages(out, "cfg", flash.configuration);
  AppendPages(out, "ufm", flash.userFlash);
  out += "end\n";
  return out;
}

MachXO2Flash ParseFlashImage(const MachXO2Part& part, const std::string& text,
                             const std::string& source) {
  return ImageReader(part, source).Read(text);
}

void SaveFlashImage(const std::string& path, const MachXO2Part& part, const MachXO2Flash& flash) {
  const std::filesystem::path target(path);
  std::filesystem::path temporary = target;
  temporary += ".tmp";
  WriteAll(temporary, FormatFlashImage(part, flash));
  std::error_code error;
  std::filesystem::rename(temporary, target, error);
  if (error) {
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    throw std::runtime_error("cannot replace " + path + ": " + error.message());
  }
}

MachXO2Flash LoadFlashImage(const std::string& path, const MachXO2Part& part) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw std::runtime_error("cannot open the flash image " + path);
  std::ostringstream text;
  text << file.rdbuf();
  if (file.bad()) throw std::runtime_error("cannot read the flash image " + path);
  return ParseFlashImage(part, text.str(), path);
}

}  // namespace sim

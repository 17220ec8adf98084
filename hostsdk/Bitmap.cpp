#include "hostsdk/Bitmap.h"

#include <cstring>
#include <fstream>
#include <limits>
#include <stdexcept>
#include <string>
#include <system_error>

#include "hostsdk/FileContent.h"
#include "hostsdk/Utf8Path.h"

namespace hostsdk {

namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;  // BITMAPINFOHEADER; later versions extend it
constexpr uint32_t kUncompressed = 0;     // BI_RGB
constexpr uint32_t kMaxPaletteEntries = 256;

uint16_t ReadU16(std::span<const uint8_t> bytes, size_t at) {
  return static_cast<uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

uint32_t ReadU32(std::span<const uint8_t> bytes, size_t at) {
  return static_cast<uint32_t>(bytes[at]) | (static_cast<uint32_t>(bytes[at + 1]) << 8) |
         (static_cast<uint32_t>(bytes[at + 2]) << 16) | (static_cast<uint32_t>(bytes[at + 3]) << 24);
}

int32_t ReadI32(std::span<const uint8_t> bytes, size_t at) {
  return static_cast<int32_t>(ReadU32(bytes, at));
}

void WriteU16(std::vector<uint8_t>& out, uint16_t value) {
  out.push_back(static_cast<uint8_t>(value));
  out.push_back(static_cast<uint8_t>(value >> 8));
}

void WriteU32(std::vector<uint8_t>& out, uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

// Rows are padded to whole 32-bit words.
uint64_t RowStride(uint64_t width, uint32_t bitsPerPixel) {
  return (width * bitsPerPixel + 31) / 32 * 4;
}

struct BmpLayout {
  int32_t width = 0;
  int32_t height = 0;  // always positive here
  bool topDown = false;
  uint32_t bitsPerPixel = 0;
  uint64_t pixelOffset = 0;
  uint64_t stride = 0;
  std::vector<Rgb> palette;  // 8 bits per pixel only
};

std::optional<std::vector<Rgb>> ReadPalette(std::span<const uint8_t> file, uint64_t at,
                                            uint32_t colorsUsed) {
  const uint32_t entries = colorsUsed == 0 ? kMaxPaletteEntries : colorsUsed;
  if (entries > kMaxPaletteEntries || at + uint64_t{entries} * 4 > file.size()) return std::nullopt;
  std::vector<Rgb> palette(entries);
  for (uint32_t i = 0; i < entries; ++i) {
    const size_t entry = static_cast<size_t>(at + uint64_t{i} * 4);
    palette[i] = Rgb{file[entry + 2], file[entry + 1], file[entry]};
  }
  return palette;
}

std::optional<BmpLayout> ReadLayout(std::span<const uint8_t> file) {
  if (file.size() < kFileHeaderSize + kInfoHeaderSize) return std::nullopt;
  if (file[0] != 'B' || file[1] != 'M') return std::nullopt;
  const uint32_t infoSize = ReadU32(file, 14);
  if (infoSize < kInfoHeaderSize || kFileHeaderSize + uint64_t{infoSize} > file.size())
    return std::nullopt;
  BmpLayout layout;
  layout.width = ReadI32(file, 18);
  const int32_t height = ReadI32(file, 22);
  const uint16_t planes = ReadU16(file, 26);
  layout.bitsPerPixel = ReadU16(file, 28);
  const uint32_t compression = ReadU32(file, 30);
  const uint32_t colorsUsed = ReadU32(file, 46);
  if (planes != 1 || compression != kUncompressed) return std::nullopt;
  if (layout.bitsPerPixel != 8 && layout.bitsPerPixel != 24 && layout.bitsPerPixel != 32)
    return std::nullopt;
  if (layout.width <= 0 || height == 0 || height == std::numeric_limits<int32_t>::min())
    return std::nullopt;
  layout.topDown = height < 0;
  layout.height = layout.topDown ? -height : height;
  layout.pixelOffset = ReadU32(file, 10);
  layout.stride = RowStride(static_cast<uint64_t>(layout.width), layout.bitsPerPixel);
  // Every row must lie inside the file (the last row's padding may be cut).
  const uint64_t rowBytes = (uint64_t{static_cast<uint32_t>(layout.width)} * layout.bitsPerPixel + 7) / 8;
  const uint64_t dataEnd = layout.pixelOffset + layout.stride * (layout.height - 1) + rowBytes;
  if (dataEnd > file.size()) return std::nullopt;
  if (layout.bitsPerPixel == 8) {
    auto palette = ReadPalette(file, kFileHeaderSize + uint64_t{infoSize}, colorsUsed);
    if (!palette) return std::nullopt;
    layout.palette = std::move(*palette);
  }
  return layout;
}

Rgb PixelOf(std::span<const uint8_t> row, int32_t x, const BmpLayout& layout) {
  switch (layout.bitsPerPixel) {
    case 8: {
      const uint8_t index = row[static_cast<size_t>(x)];
      // An index past a short palette shows black, as the platform draws it.
      return index < layout.palette.size() ? layout.palette[index] : Rgb{};
    }
    case 24: {
      const size_t at = static_cast<size_t>(x) * 3;
      return Rgb{row[at + 2], row[at + 1], row[at]};
    }
    default: {
      const size_t at = static_cast<size_t>(x) * 4;
      return Rgb{row[at + 2], row[at + 1], row[at]};
    }
  }
}

bool IsCorner(int32_t x, int32_t y, int32_t width, int32_t height) {
  return (x == 0 || x == width - 1) && (y == 0 || y == height - 1);
}

}  // namespace

Image24::Image24(int32_t width, int32_t height, Rgb fill) {
  if (width <= 0 || height <= 0) return;
  const uint64_t size = uint64_t{static_cast<uint32_t>(width)} * static_cast<uint32_t>(height) * 3;
  if (size > std::numeric_limits<size_t>::max() / 2)
    throw std::length_error("an image of " + std::to_string(width) + " x " +
                            std::to_string(height) + " pixels is too large");
  width_ = width;
  height_ = height;
  bytes_.resize(static_cast<size_t>(size));
  for (size_t at = 0; at < bytes_.size(); at += 3) {
    bytes_[at] = fill.blue;
    bytes_[at + 1] = fill.green;
    bytes_[at + 2] = fill.red;
  }
}

size_t Image24::Offset(int32_t x, int32_t y) const {
  return (static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)) * 3;
}

Rgb Image24::At(int32_t x, int32_t y) const {
  const size_t at = Offset(x, y);
  return Rgb{bytes_[at + 2], bytes_[at + 1], bytes_[at]};
}

void Image24::Set(int32_t x, int32_t y, Rgb colour) {
  const size_t at = Offset(x, y);
  bytes_[at] = colour.blue;
  bytes_[at + 1] = colour.green;
  bytes_[at + 2] = colour.red;
}

std::optional<Image24> DecodeBmp(std::span<const uint8_t> file) {
  const std::optional<BmpLayout> layout = ReadLayout(file);
  if (!layout) return std::nullopt;
  Image24 image(layout->width, layout->height);
  for (int32_t y = 0; y < layout->height; ++y) {
    const int32_t storedRow = layout->topDown ? y : layout->height - 1 - y;
    const size_t rowStart =
        static_cast<size_t>(layout->pixelOffset + layout->stride * static_cast<uint64_t>(storedRow));
    const std::span<const uint8_t> row = file.subspan(rowStart);
    for (int32_t x = 0; x < layout->width; ++x) image.Set(x, y, PixelOf(row, x, *layout));
  }
  return image;
}

std::optional<Image24> LoadBmpFile(const std::string& path) {
  const std::optional<std::string> content = ReadFileContent(PathFromUtf8(path));
  if (!content) return std::nullopt;
  return DecodeBmp(std::span(reinterpret_cast<const uint8_t*>(content->data()), content->size()));
}

std::vector<uint8_t> EncodeBmp(const Image24& image) {
  const uint32_t stride = static_cast<uint32_t>(RowStride(static_cast<uint64_t>(image.Width()), 24));
  const uint32_t pixelBytes = stride * static_cast<uint32_t>(image.Height());
  const uint32_t pixelOffset = kFileHeaderSize + kInfoHeaderSize;
  std::vector<uint8_t> out;
  out.reserve(pixelOffset + pixelBytes);
  out.push_back('B');
  out.push_back('M');
  WriteU32(out, pixelOffset + pixelBytes);
  WriteU32(out, 0);
  WriteU32(out, pixelOffset);
  WriteU32(out, kInfoHeaderSize);
  WriteU32(out, static_cast<uint32_t>(image.Width()));
  WriteU32(out, static_cast<uint32_t>(image.Height()));  // positive: bottom-up
  WriteU16(out, 1);
  WriteU16(out, 24);
  WriteU32(out, kUncompressed);
  WriteU32(out, pixelBytes);
  WriteU32(out, 2835);  // 72 dots per inch
  WriteU32(out, 2835);
  WriteU32(out, 0);
  WriteU32(out, 0);
  const size_t rowBytes = static_cast<size_t>(image.Width()) * 3;
  for (int32_t y = image.Height() - 1; y >= 0; --y) {
    const uint8_t* row = image.Bytes().data() + static_cast<size_t>(y) * rowBytes;
    out.insert(out.end(), row, row + rowBytes);
    out.resize(out.size() + (stride - rowBytes), 0);
  }
  return out;
}

void SaveBmpFile(const std::string& path, const Image24& image) {
  const std::vector<uint8_t> bytes = EncodeBmp(image);
  std::ofstream file(PathFromUtf8(path), std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  file.close();
  if (!file)
    throw std::system_error(std::make_error_code(std::errc::io_error),
                            "cannot write the bitmap \"" + path + "\"");
}

void PasteCentred(Image24& canvas, const Image24& picture) {
  const int32_t width = picture.Width();
  const int32_t height = picture.Height();
  if (canvas.Width() <= 0 || canvas.Height() <= 0 || width <= 0 || height <= 0) return;
  // Integer division truncates toward zero, also for a picture larger than
  // the canvas (a negative offset).
  const int32_t left = (canvas.Width() - width) / 2;
  const int32_t top = (canvas.Height() - height) / 2;
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      if (IsCorner(x, y, width, height) || !canvas.Contains(left + x, top + y)) continue;
      canvas.Set(left + x, top + y, picture.At(x, y));
    }
  }
}

}  // namespace hostsdk

#include "hostsdk/Bitmap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "hostsdk/BitmapHandle.h"
#include "tests/unit/support/ScratchFolder.h"

namespace {

using hostsdk::Image24;
using hostsdk::Rgb;

// Every pixel a different colour, so any misplaced pixel shows.
Image24 Numbered(int32_t width, int32_t height, uint8_t base = 0) {
  Image24 image(width, height);
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x)
      image.Set(x, y, Rgb{static_cast<uint8_t>(base + x), static_cast<uint8_t>(base + y),
                          static_cast<uint8_t>(base + 16 * y + x)});
  return image;
}

void PutU16(std::vector<uint8_t>& out, size_t at, uint16_t value) {
  out[at] = static_cast<uint8_t>(value);
  out[at + 1] = static_cast<uint8_t>(value >> 8);
}

void PutU32(std::vector<uint8_t>& out, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

// A bitmap file of `image` in the given depth and row order, written the
// way common tools write them (8 bits: a palette of the image's colours).
std::vector<uint8_t> BmpOf(const Image24& image, uint16_t bits, bool topDown) {
  std::vector<Rgb> palette;
  if (bits == 8)
    for (int32_t y = 0; y < image.Height(); ++y)
      for (int32_t x = 0; x < image.Width(); ++x)
        if (std::find(palette.begin(), palette.end(), image.At(x, y)) == palette.end())
          palette.push_back(image.At(x, y));
  const size_t stride = (static_cast<size_t>(image.Width()) * bits + 31) / 32 * 4;
  const size_t pixelOffset = 54 + palette.size() * 4;
  std::vector<uint8_t> out(pixelOffset + stride * static_cast<size_t>(image.Height()), 0);
  out[0] = 'B';
  out[1] = 'M';
  PutU32(out, 2, static_cast<uint32_t>(out.size()));
  PutU32(out, 10, static_cast<uint32_t>(pixelOffset));
  PutU32(out, 14, 40);
  PutU32(out, 18, static_cast<uint32_t>(image.Width()));
  PutU32(out, 22, static_cast<uint32_t>(topDown ? -image.Height() : image.Height()));
  PutU16(out, 26, 1);
  PutU16(out, 28, bits);
  PutU32(out, 46, static_cast<uint32_t>(palette.size()));
  for (size_t i = 0; i < palette.size(); ++i) {
    out[54 + i * 4] = palette[i].blue;
    out[54 + i * 4 + 1] = palette[i].green;
    out[54 + i * 4 + 2] = palette[i].red;
  }
  for (int32_t y = 0; y < image.Height(); ++y) {
    const size_t row = pixelOffset + stride * static_cast<size_t>(topDown ? y : image.Height() - 1 - y);
    for (int32_t x = 0; x < image.Width(); ++x) {
      const Rgb colour = image.At(x, y);
      if (bits == 8) {
        out[row + x] = static_cast<uint8_t>(
            std::find(palette.begin(), palette.end(), colour) - palette.begin());
        continue;
      }
      const size_t at = row + static_cast<size_t>(x) * (bits / 8);
      out[at] = colour.blue;
      out[at + 1] = colour.green;
      out[at + 2] = colour.red;
      if (bits == 32) out[at + 3] = 0xFF;
    }
  }
  return out;
}

TEST(BitmapTest, DecodesEveryDepthInBothRowOrders) {
  // Width 3 pads 8- and 24-bit rows, so the stride is exercised too.
  const Image24 image = Numbered(3, 2);
  for (uint16_t bits : {8, 24, 32})
    for (bool topDown : {false, true}) {
      SCOPED_TRACE(std::to_string(bits) + (topDown ? " top-down" : " bottom-up"));
      const auto decoded = hostsdk::DecodeBmp(BmpOf(image, bits, topDown));
      ASSERT_TRUE(decoded.has_value());
      EXPECT_EQ(*decoded, image);
    }
}

TEST(BitmapTest, SavedFilesLoadBack) {
  testsupport::ScratchFolder folder;
  const Image24 image = Numbered(5, 3);
  hostsdk::SaveBmpFile(folder.File("device.bmp"), image);
  const auto loaded = hostsdk::LoadBmpFile(folder.File("device.bmp"));
  ASSERT_TRUE(loaded.has_value());
  EXPECT_EQ(*loaded, image);
  EXPECT_FALSE(hostsdk::LoadBmpFile(folder.File("missing.bmp")).has_value());
}

struct Corruption {
  const char* what;
  void (*apply)(std::vector<uint8_t>& file);
};

const Corruption kCorruptions[] = {
    {"not a bitmap", [](auto& f) { f[0] = 'P'; }},
    {"run-length compressed", [](auto& f) { PutU32(f, 30, 1); }},
    {"16 bits per pixel", [](auto& f) { PutU16(f, 28, 16); }},
    {"4 bits per pixel", [](auto& f) { PutU16(f, 28, 4); }},
    {"two planes", [](auto& f) { PutU16(f, 26, 2); }},
    {"old core header", [](auto& f) { PutU32(f, 14, 12); }},
    {"header longer than the file", [](auto& f) { PutU32(f, 14, 0xFFFFFFF0u); }},
    {"width 0", [](auto& f) { PutU32(f, 18, 0); }},
    {"negative width", [](auto& f) { PutU32(f, 18, static_cast<uint32_t>(-3)); }},
    {"height 0", [](auto& f) { PutU32(f, 22, 0); }},
    {"smallest height", [](auto& f) { PutU32(f, 22, 0x80000000u); }},
    {"huge width", [](auto& f) { PutU32(f, 18, 0x7FFFFFFFu); }},
    {"huge height", [](auto& f) { PutU32(f, 22, 0x7FFFFFFFu); }},
    {"pixels beyond the end", [](auto& f) { PutU32(f, 10, static_cast<uint32_t>(f.size())); }},
    {"pixel offset wraps", [](auto& f) { PutU32(f, 10, 0xFFFFFFFFu); }},
    {"palette of 300 colours", [](auto& f) { PutU32(f, 46, 300); }},
};

TEST(BitmapTest, DamagedOrUnsupportedFilesAreNoImage) {
  const std::vector<uint8_t> good = BmpOf(Numbered(3, 2), 8, false);
  for (const Corruption& c : kCorruptions) {
    std::vector<uint8_t> file = good;
    c.apply(file);
    EXPECT_FALSE(hostsdk::DecodeBmp(file).has_value()) << c.what;
  }
  // Every cut into headers, palette or pixels; only the last byte (padding
  // of the last row) may go missing.
  for (size_t length = 0; length + 1 < good.size(); ++length)
    EXPECT_FALSE(hostsdk::DecodeBmp(std::span(good.data(), length)).has_value()) << length;
}

TEST(BitmapTest, AnIndexPastAShortPaletteIsBlack) {
  std::vector<uint8_t> file = BmpOf(Image24(2, 1, Rgb{9, 9, 9}), 8, false);
  file.back() = 0;           // padding
  file[file.size() - 3] = 7;  // second pixel: no such palette entry
  const auto decoded = hostsdk::DecodeBmp(file);
  ASSERT_TRUE(decoded.has_value());
  EXPECT_EQ(decoded->At(0, 0), (Rgb{9, 9, 9}));
  EXPECT_EQ(decoded->At(1, 0), Rgb{});
}

// The canvas after a paste, computed pixel by pixel from the rule.
Image24 ExpectedPaste(const Image24& canvas, const Image24& picture, int32_t left, int32_t top) {
  Image24 expected = canvas;
  const int32_t w = picture.Width();
  const int32_t h = picture.Height();
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      const bool corner = (x == 0 || x == w - 1) && (y == 0 || y == h - 1);
      if (!corner && expected.Contains(left + x, top + y))
        expected.Set(left + x, top + y, picture.At(x, y));
    }
  return expected;
}

struct PasteCase {
  int32_t canvasWidth, canvasHeight, pictureWidth, pictureHeight;
  int32_t left, top;  // the offsets the rule gives
};

constexpr PasteCase kPasteCases[] = {
    {6, 5, 3, 2, 1, 1},
    {7, 7, 4, 4, 1, 1},
    {4, 4, 4, 4, 0, 0},
    // A larger picture: -3/2 truncates toward zero to -1 (not -2).
    {2, 2, 5, 5, -1, -1},
    {3, 8, 6, 3, -1, 2},
};

TEST(BitmapTest, PastesCentredWithoutTheFourCorners) {
  for (const PasteCase& c : kPasteCases) {
    SCOPED_TRACE(std::to_string(c.canvasWidth) + "x" + std::to_string(c.canvasHeight) + " <- " +
                 std::to_string(c.pictureWidth) + "x" + std::to_string(c.pictureHeight));
    Image24 canvas(c.canvasWidth, c.canvasHeight, Rgb{255, 255, 255});
    const Image24 picture = Numbered(c.pictureWidth, c.pictureHeight, 100);
    const Image24 expected = ExpectedPaste(canvas, picture, c.left, c.top);
    hostsdk::PasteCentred(canvas, picture);
    EXPECT_EQ(canvas, expected);
  }
}

TEST(BitmapTest, PastingAnEmptyImageChangesNothing) {
  Image24 canvas(4, 4, Rgb{1, 2, 3});
  const Image24 before = canvas;
  hostsdk::PasteCentred(canvas, Image24(0, 3));
  EXPECT_EQ(canvas, before);
  Image24 empty;
  hostsdk::PasteCentred(empty, Numbered(2, 2));
  EXPECT_EQ(empty.Width(), 0);
}

TEST(BitmapTest, AHandleGivesThePixelsBackUntilReleased) {
  const Image24 image = Numbered(3, 2);
  uint32_t value = 0;
  {
    hostsdk::BitmapHandle handle(image);
    value = handle.Value();
    ASSERT_NE(value, 0u);
    EXPECT_LE(value, static_cast<uint32_t>(INT32_MAX));
    hostsdk::BitmapHandle moved = std::move(handle);
    EXPECT_EQ(handle.Value(), 0u);
    const auto pixels = hostsdk::ImageOfHandle(moved.Value());
    ASSERT_TRUE(pixels.has_value());
    EXPECT_EQ(*pixels, image);
  }
  EXPECT_FALSE(hostsdk::ImageOfHandle(value).has_value());
  EXPECT_EQ(hostsdk::BitmapHandle(Image24()).Value(), 0u);
}

}  // namespace

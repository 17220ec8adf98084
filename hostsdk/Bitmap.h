// Device pictures: Windows bitmap (.bmp) files read into 24-bit images, and
// the centred paste that puts a family's picture onto the generic one.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace hostsdk {

struct Rgb {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

// 24 bits per pixel, rows from top to bottom, no padding between rows.
class Image24 {
 public:
  Image24() = default;
  // A width or height of 0 or less makes an empty image.
  Image24(int32_t width, int32_t height, Rgb fill = {});

  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  bool Contains(int32_t x, int32_t y) const {
    return x >= 0 && y >= 0 && x < width_ && y < height_;
  }
  // Both require Contains(x, y).
  Rgb At(int32_t x, int32_t y) const;
  void Set(int32_t x, int32_t y, Rgb colour);

  // The pixels, three bytes each in the order blue, green, red.
  const std::vector<uint8_t>& Bytes() const { return bytes_; }

  friend bool operator==(const Image24&, const Image24&) = default;

 private:
  size_t Offset(int32_t x, int32_t y) const;

  int32_t width_ = 0;
  int32_t height_ = 0;
  std::vector<uint8_t> bytes_;
};

// Reads an uncompressed bitmap of 8 (with palette), 24 or 32 bits per
// pixel, stored bottom-up or top-down. Anything else, and any header whose
// sizes or offsets do not fit the data, is no image.
std::optional<Image24> DecodeBmp(std::span<const uint8_t> file);
std::optional<Image24> LoadBmpFile(const std::string& path);

// A 24-bit bottom-up bitmap file of `image`.
std::vector<uint8_t> EncodeBmp(const Image24& image);
// Throws std::system_error naming the file when it cannot be written.
void SaveBmpFile(const std::string& path, const Image24& image);

// Copies `picture` onto `canvas`, centred: the offsets are (canvas width -
// picture width) / 2 and (canvas height - picture height) / 2, each halved
// with truncation toward zero. The four corner pixels of `picture` are left
// out (its rounded corners show the canvas), and so is whatever falls
// outside `canvas`. Nothing is copied when either image has a width or
// height of 0 or less.
void PasteCentred(Image24& canvas, const Image24& picture);

}  // namespace hostsdk

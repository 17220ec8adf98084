#include "hostsdk/BitmapHandle.h"

#include <cstring>
#include <map>
#include <utility>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

namespace hostsdk {

namespace {

#ifdef _WIN32
// GDI handles carry 32 significant bits; widening sign-extends them, as
// the platform documents for passing handles between 32- and 64-bit code.
HBITMAP ToBitmap(uint32_t value) {
  return reinterpret_cast<HBITMAP>(static_cast<intptr_t>(static_cast<int32_t>(value)));
}

BITMAPINFO TopDown24BitInfo(int32_t width, int32_t height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

size_t Stride24(int32_t width) { return (static_cast<size_t>(width) * 3 + 3) & ~size_t{3}; }

uint32_t CreateHandle(const Image24& image) {
  if (image.Width() <= 0 || image.Height() <= 0) return 0;
  const BITMAPINFO info = TopDown24BitInfo(image.Width(), image.Height());
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap || !bits) return 0;
  const size_t rowBytes = static_cast<size_t>(image.Width()) * 3;
  const size_t stride = Stride24(image.Width());
  for (int32_t y = 0; y < image.Height(); ++y)
    std::memcpy(static_cast<uint8_t*>(bits) + stride * y,
                image.Bytes().data() + rowBytes * y, rowBytes);
  GdiFlush();
  return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(bitmap));
}

void ReleaseHandle(uint32_t value) { DeleteObject(ToBitmap(value)); }

// GetDIBits hands the rows over in the order and depth we ask for, whatever
// the bitmap's own layout.
std::optional<Image24> ReadHandle(uint32_t value) {
  const HBITMAP bitmap = ToBitmap(value);
  BITMAP description{};
  if (GetObjectW(bitmap, sizeof description, &description) == 0) return std::nullopt;
  if (description.bmWidth <= 0 || description.bmHeight <= 0) return std::nullopt;
  const int32_t width = description.bmWidth;
  const int32_t height = description.bmHeight;
  BITMAPINFO info = TopDown24BitInfo(width, height);
  const size_t stride = Stride24(width);
  std::vector<uint8_t> bits(stride * static_cast<size_t>(height));
  const HDC screen = GetDC(nullptr);
  const int rows = GetDIBits(screen, bitmap, 0, static_cast<UINT>(height), bits.data(), &info,
                             DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  if (rows != height) return std::nullopt;
  Image24 image(width, height);
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* row = bits.data() + stride * static_cast<size_t>(y);
    for (int32_t x = 0; x < width; ++x)
      image.Set(x, y, Rgb{row[x * 3 + 2], row[x * 3 + 1], row[x * 3]});
  }
  return image;
}
#else
// The images behind the handles handed out, by handle. Numbers are not
// reused while the module runs, so a stale handle finds nothing rather
// than somebody else's image.
class ImageTable {
 public:
  static ImageTable& Instance() {
    static ImageTable table;
    return table;
  }

  uint32_t Add(const Image24& image) {
    if (next_ > kLargestHandle) return 0;
    const uint32_t handle = next_++;
    images_.emplace(handle, image);
    return handle;
  }
  void Remove(uint32_t handle) { images_.erase(handle); }
  std::optional<Image24> Find(uint32_t handle) const {
    const auto found = images_.find(handle);
    if (found == images_.end()) return std::nullopt;
    return found->second;
  }

 private:
  // Positive as a signed 32-bit value too, for hosts that read it so.
  static constexpr uint32_t kLargestHandle = 0x7FFFFFFF;

  uint32_t next_ = 1;
  std::map<uint32_t, Image24> images_;
};

uint32_t CreateHandle(const Image24& image) {
  if (image.Width() <= 0 || image.Height() <= 0) return 0;
  return ImageTable::Instance().Add(image);
}

void ReleaseHandle(uint32_t value) { ImageTable::Instance().Remove(value); }

std::optional<Image24> ReadHandle(uint32_t value) { return ImageTable::Instance().Find(value); }
#endif

}  // namespace

BitmapHandle::BitmapHandle(const Image24& image) : value_(CreateHandle(image)) {}

BitmapHandle::~BitmapHandle() { Release(); }

BitmapHandle::BitmapHandle(BitmapHandle&& other) noexcept
    : value_(std::exchange(other.value_, 0)) {}

BitmapHandle& BitmapHandle::operator=(BitmapHandle&& other) noexcept {
  if (this != &other) {
    Release();
    value_ = std::exchange(other.value_, 0);
  }
  return *this;
}

void BitmapHandle::Release() {
  if (value_ != 0) ReleaseHandle(std::exchange(value_, 0));
}

std::optional<Image24> ImageOfHandle(uint32_t handle) {
  if (handle == 0) return std::nullopt;
  return ReadHandle(handle);
}

}  // namespace hostsdk

// A handle the host can take for a device picture. The host's interface
// passes it as a 32-bit value: on Windows a GDI bitmap (its handles fit 32
// bits on every Windows), elsewhere a small positive number that names the
// image in a module-wide table, through which the pixels can be read back.
#pragma once

#include <cstdint>
#include <optional>

#include "hostsdk/Bitmap.h"

namespace hostsdk {

class BitmapHandle {
 public:
  BitmapHandle() = default;
  // Value() is 0 when the platform could not make the bitmap.
  explicit BitmapHandle(const Image24& image);
  ~BitmapHandle();
  BitmapHandle(BitmapHandle&& other) noexcept;
  BitmapHandle& operator=(BitmapHandle&& other) noexcept;
  BitmapHandle(const BitmapHandle&) = delete;
  BitmapHandle& operator=(const BitmapHandle&) = delete;

  // 0 for no bitmap.
  uint32_t Value() const { return value_; }

 private:
  void Release();

  uint32_t value_ = 0;
};

// The pixels behind a live handle; nothing for 0 or a released handle.
std::optional<Image24> ImageOfHandle(uint32_t handle);

}  // namespace hostsdk

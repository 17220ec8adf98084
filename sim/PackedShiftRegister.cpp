#include "sim/PackedShiftRegister.h"

#include <stdexcept>
#include <string>

#include "sim/PackedBits.h"

namespace sim {

void PackedShiftRegister::Capture(const uint8_t* bits, size_t length) {
  if (length == 0) throw std::invalid_argument("shift register capture of no bits");
  ring_.assign(PackedBytes(length), 0);
  CopyBits(ring_.data(), 0, bits, length, 0, length);
  length_ = length;
  head_ = 0;
  shifted_ = 0;
}

void PackedShiftRegister::CaptureValue(uint64_t value, size_t length) {
  if (length == 0 || length > 64)
    throw std::invalid_argument("shift register capture of " + std::to_string(length) +
                                " bits from an integer (1 to 64 allowed)");
  ring_.assign(PackedBytes(length), 0);
  WriteBits(ring_.data(), 0, length, value);
  length_ = length;
  head_ = 0;
  shifted_ = 0;
}

void PackedShiftRegister::CaptureZeros(size_t length) {
  if (length == 0) throw std::invalid_argument("shift register capture of no bits");
  ring_.assign(PackedBytes(length), 0);
  length_ = length;
  head_ = 0;
  shifted_ = 0;
}

void PackedShiftRegister::Shift(const uint8_t* tdi, size_t tdiBits, size_t tdiOffset,
                                uint8_t* tdo, size_t tdoOffset, size_t count) {
  shifted_ += count;
  if (count >= length_) {
    // Everything in the register leaves, followed by the head of TDI; the
    // last Length() bits of TDI stay behind.
    CopyTo(tdo, tdoOffset);
    CopyBits(tdo, tdoOffset + length_, tdi, tdiBits, tdiOffset, count - length_);
    CopyBits(ring_.data(), 0, tdi, tdiBits, tdiOffset + count - length_, length_);
    head_ = 0;
    return;
  }
  while (count > 0) {
    const size_t chunk = count < length_ - head_ ? count : length_ - head_;
    CopyBits(tdo, tdoOffset, ring_.data(), length_, head_, chunk);
    CopyBits(ring_.data(), head_, tdi, tdiBits, tdiOffset, chunk);
    head_ += chunk;
    if (head_ == length_) head_ = 0;
    tdoOffset += chunk;
    tdiOffset += chunk;
    count -= chunk;
  }
}

void PackedShiftRegister::CopyTo(uint8_t* out, size_t offset) const {
  CopyBits(out, offset, ring_.data(), length_, head_, length_ - head_);
  CopyBits(out, offset + length_ - head_, ring_.data(), length_, 0, head_);
}

std::vector<uint8_t> PackedShiftRegister::Packed() const {
  std::vector<uint8_t> bits(PackedBytes(length_), 0);
  CopyTo(bits.data(), 0);
  return bits;
}

uint64_t PackedShiftRegister::Low64() const {
  const size_t n = length_ < 64 ? length_ : 64;
  const size_t first = n < length_ - head_ ? n : length_ - head_;
  uint64_t value = ReadBits(ring_.data(), length_, head_, first);
  if (first < n) value |= ReadBits(ring_.data(), length_, 0, n - first) << first;
  return value;
}

}  // namespace sim

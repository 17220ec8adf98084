#include "host/BitVector.h"

#include <stdexcept>

namespace host {

void BitVector::Set(size_t i, bool value) {
  const uint8_t mask = static_cast<uint8_t>(1u << (i & 7));
  if (value)
    bytes_[i >> 3] |= mask;
  else
    bytes_[i >> 3] &= static_cast<uint8_t>(~mask);
}

void BitVector::Resize(size_t count) {
  // Bits past the end are kept 0 so that growing yields zeros; writers
  // through Data() may have touched them.
  if (count > size_ && (size_ & 7) != 0)
    bytes_[size_ >> 3] &= static_cast<uint8_t>((1u << (size_ & 7)) - 1);
  bytes_.resize((count + 7) / 8, 0);
  if (count < size_ && (count & 7) != 0)
    bytes_[count >> 3] &= static_cast<uint8_t>((1u << (count & 7)) - 1);
  size_ = count;
}

void BitVector::Append(bool value) {
  Resize(size_ + 1);
  if (value) Set(size_ - 1, true);
}

void BitVector::AppendRepeated(bool value, size_t count) {
  const size_t start = size_;
  Resize(size_ + count);
  if (!value) return;
  for (size_t i = start; i < size_; ++i) Set(i, true);
}

void BitVector::AppendLowBits(uint64_t value, size_t count) {
  if (count > 64) throw std::invalid_argument("AppendLowBits of " + std::to_string(count) + " bits");
  const size_t start = size_;
  Resize(size_ + count);
  for (size_t i = 0; i < count; ++i)
    if ((value >> i) & 1) Set(start + i, true);
}

void BitVector::Append(const BitVector& other) {
  const size_t start = size_;
  Resize(size_ + other.size_);
  for (size_t i = 0; i < other.size_; ++i)
    if (other.Get(i)) Set(start + i, true);
}

BitVector BitVector::Slice(size_t offset, size_t count) const {
  if (offset > size_ || count > size_ - offset)
    throw std::out_of_range("bit slice [" + std::to_string(offset) + ", +" +
                            std::to_string(count) + ") of a vector of " + std::to_string(size_));
  BitVector out;
  out.Resize(count);
  for (size_t i = 0; i < count; ++i)
    if (Get(offset + i)) out.Set(i, true);
  return out;
}

uint64_t BitVector::LowBits(size_t offset, size_t count) const {
  if (count > 64) throw std::invalid_argument("LowBits of " + std::to_string(count) + " bits");
  if (offset > size_ || count > size_ - offset)
    throw std::out_of_range("bit range [" + std::to_string(offset) + ", +" +
                            std::to_string(count) + ") of a vector of " + std::to_string(size_));
  uint64_t value = 0;
  for (size_t i = 0; i < count; ++i)
    if (Get(offset + i)) value |= uint64_t{1} << i;
  return value;
}

void BitVector::Clear() {
  bytes_.clear();
  size_ = 0;
}

std::string BitVector::ToText() const {
  std::string text(size_, '0');
  for (size_t i = 0; i < size_; ++i)
    if (Get(i)) text[i] = '1';
  return text;
}

bool operator==(const BitVector& a, const BitVector& b) {
  if (a.size_ != b.size_) return false;
  for (size_t i = 0; i < a.size_; ++i)
    if (a.Get(i) != b.Get(i)) return false;
  return true;
}

}  // namespace host

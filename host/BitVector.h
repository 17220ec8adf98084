// A growable vector of bits packed least significant bit first (bit i is
// bit (i % 8) of byte (i / 8)): the layout of the simulated chain and of
// the network cables' shift vectors, so a batch goes out without repacking.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace host {

class BitVector {
 public:
  BitVector() = default;
  // `count` copies of `value`.
  BitVector(size_t count, bool value) { AppendRepeated(value, count); }

  size_t Size() const { return size_; }
  bool Empty() const { return size_ == 0; }
  bool Get(size_t i) const { return (bytes_[i >> 3] >> (i & 7)) & 1; }
  void Set(size_t i, bool value);

  void Append(bool value);
  void AppendRepeated(bool value, size_t count);
  // The `count` low bits of `value`, bit 0 first (count 0..64).
  void AppendLowBits(uint64_t value, size_t count);
  void Append(const BitVector& other);
  // The bits at [offset, offset + count).
  BitVector Slice(size_t offset, size_t count) const;
  // The bits at [offset, offset + count) as an integer, bit 0 first (count 0..64).
  uint64_t LowBits(size_t offset, size_t count) const;
  void Clear();

  const uint8_t* Data() const { return bytes_.data(); }
  uint8_t* Data() { return bytes_.data(); }
  // Makes the vector `count` bits long; new bits are 0.
  void Resize(size_t count);

  // "0"/"1" text, bit 0 first (for messages and test expectations).
  std::string ToText() const;

  friend bool operator==(const BitVector& a, const BitVector& b);

 private:
  std::vector<uint8_t> bytes_;
  size_t size_ = 0;
};

}  // namespace host

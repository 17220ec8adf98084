// A TAP shift register of any length: parallel capture, one-bit shifts from
// TDI towards TDO, and a parallel read of what was shifted in (for update).
//
// The bits live in a ring so that a shift costs O(1) however long the
// register is (boundary and flash-page registers are hundreds of bits).
// Logical bit 0 is the bit nearest TDO: the first to come out, and after a
// full shift the first bit that went in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace sim {

class ShiftRegister {
 public:
  size_t Length() const { return ring_.size(); }

  // Loads the `length` low bits of `value` (length 1..64).
  void Capture(uint64_t value, size_t length);
  // Loads one bit per element, bit 0 first.
  void Capture(const std::vector<uint8_t>& bits);

  // The bit on TDO.
  bool Out() const { return ring_[head_] != 0; }
  // TDI enters at the far end; the bit on TDO leaves.
  void Shift(bool in) {
    ring_[head_] = in ? 1 : 0;
    if (++head_ == ring_.size()) head_ = 0;
  }

  bool Bit(size_t i) const { return ring_[(head_ + i) % ring_.size()] != 0; }
  // Bits 0..63 (fewer for a shorter register).
  uint64_t Low64() const;
  // One element per bit, bit 0 first.
  std::vector<uint8_t> Bits() const;

 private:
  std::vector<uint8_t> ring_ = std::vector<uint8_t>(1, 0);
  size_t head_ = 0;
};

}  // namespace sim

#include "sim/ShiftRegister.h"

#include <stdexcept>
#include <string>

namespace sim {

void ShiftRegister::Capture(uint64_t value, size_t length) {
  if (length == 0 || length > 64)
    throw std::invalid_argument("shift register capture of " + std::to_string(length) +
                                " bits from an integer (1 to 64 allowed)");
  ring_.resize(length);
  for (size_t i = 0; i < length; ++i) ring_[i] = (value >> i) & 1;
  head_ = 0;
}

void ShiftRegister::Capture(const std::vector<uint8_t>& bits) {
  if (bits.empty()) throw std::invalid_argument("shift register capture of no bits");
  ring_.resize(bits.size());
  for (size_t i = 0; i < bits.size(); ++i) ring_[i] = bits[i] ? 1 : 0;
  head_ = 0;
}

uint64_t ShiftRegister::Low64() const {
  uint64_t value = 0;
  const size_t n = ring_.size() < 64 ? ring_.size() : 64;
  for (size_t i = 0; i < n; ++i)
    if (Bit(i)) value |= uint64_t{1} << i;
  return value;
}

std::vector<uint8_t> ShiftRegister::Bits() const {
  std::vector<uint8_t> bits(ring_.size());
  for (size_t i = 0; i < bits.size(); ++i) bits[i] = Bit(i) ? 1 : 0;
  return bits;
}

}  // namespace sim

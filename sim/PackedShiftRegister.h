// A TAP shift register of any length, packed eight bits a byte, that moves
// a whole run of shift cycles at once.
//
// The bits live in a ring: logical bit 0 is the bit on TDO (the next to
// leave) and, once the register has been shifted through, the first bit
// that went in. A run shorter than the register swaps its bits with the
// ring in place; a longer one passes the old contents out and keeps the
// last Length() bits of TDI. Either way the cost is a few word operations
// per 64 cycles, whatever the register's length.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace sim {

class PackedShiftRegister {
 public:
  PackedShiftRegister() { CaptureValue(0, 1); }

  size_t Length() const { return length_; }

  // Loads `length` bits (at least 1), bit 0 first, packed.
  void Capture(const uint8_t* bits, size_t length);
  // Loads the `length` low bits of `value` (length 1..64).
  void CaptureValue(uint64_t value, size_t length);
  // Loads `length` zero bits.
  void CaptureZeros(size_t length);

  // The bit on TDO.
  bool Out() const { return (ring_[head_ >> 3] >> (head_ & 7)) & 1; }

  // Runs `count` shift cycles: cycle k drives the bit leaving the register
  // onto tdo[tdoOffset + k] and takes tdi[tdiOffset + k] in at the far end.
  // `tdiBits` is the length of the TDI vector (reads stay inside it).
  void Shift(const uint8_t* tdi, size_t tdiBits, size_t tdiOffset, uint8_t* tdo,
             size_t tdoOffset, size_t count);

  // Cycles shifted since the last capture.
  uint64_t ShiftedSinceCapture() const { return shifted_; }

  // The contents, bit 0 first, packed into PackedBytes(Length()) bytes.
  std::vector<uint8_t> Packed() const;
  // Copies the contents to `out` from bit `offset` on (Length() bits).
  void CopyTo(uint8_t* out, size_t offset) const;
  // Bits 0..63 (fewer for a shorter register).
  uint64_t Low64() const;

 private:
  std::vector<uint8_t> ring_;
  size_t length_ = 0;
  size_t head_ = 0;
  uint64_t shifted_ = 0;
};

}  // namespace sim

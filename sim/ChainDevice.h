// A device on a simulated JTAG chain: TCK is shared, TMS is shared, TDI
// comes from the previous device (or the cable) and TDO goes to the next
// (or back to the cable).
//
// The chain is clocked in batches: one call runs a whole vector of TCK
// cycles, so a fast model pays one virtual call per scan rather than per
// bit. Vectors are bit-packed, least significant bit first: bit i is bit
// (i % 8) of byte (i / 8), the layout network cables use on the wire.
#pragma once

#include <cstddef>
#include <cstdint>

namespace sim {

class ChainDevice {
 public:
  virtual ~ChainDevice() = default;

  // Runs `bits` TCK cycles. TMS and TDI bit i are sampled on the rising edge
  // of cycle i; TDO bit i is the level the device drove while they were
  // sampled (the level set on the previous falling edge; a device that is
  // not shifting leaves TDO floating, which reads as 1 on a pulled-up
  // line). Every TDO bit in range is written; bits past `bits` in the last
  // byte are left as they were. `tdi` and `tdo` do not overlap.
  virtual void Clock(const uint8_t* tms, const uint8_t* tdi, uint8_t* tdo, size_t bits) = 0;

  // One TCK cycle; returns TDO.
  bool ClockOnce(bool tms, bool tdi) {
    const uint8_t tmsByte = tms ? 1 : 0;
    const uint8_t tdiByte = tdi ? 1 : 0;
    uint8_t tdoByte = 0;
    Clock(&tmsByte, &tdiByte, &tdoByte, 1);
    return (tdoByte & 1) != 0;
  }
};

inline bool GetPackedBit(const uint8_t* bits, size_t i) { return (bits[i >> 3] >> (i & 7)) & 1; }

inline void SetPackedBit(uint8_t* bits, size_t i, bool value) {
  const uint8_t mask = static_cast<uint8_t>(1u << (i & 7));
  if (value)
    bits[i >> 3] |= mask;
  else
    bits[i >> 3] &= static_cast<uint8_t>(~mask);
}

}  // namespace sim

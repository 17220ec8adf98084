// Word-wise operations on bit vectors packed least significant bit first
// (bit i is bit (i % 8) of byte (i / 8)), the layout of the simulated chain.
// A chip model moves whole runs of shift cycles with these, so a long scan
// costs a few word operations per 64 TCK cycles rather than a call per bit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <bit>
#include <cstring>

namespace sim {

namespace detail {

// Reads 64 bits starting at bit `bit` of `bytes`, for a vector `sizeBytes`
// bytes long; bits past the end read as 0.
inline uint64_t Load64(const uint8_t* bytes, size_t sizeBytes, size_t bit) {
  const size_t byte = bit >> 3;
  const unsigned shift = bit & 7;
  uint64_t low = 0;
  uint8_t high = 0;
  if (byte + 9 <= sizeBytes) {
    std::memcpy(&low, bytes + byte, 8);  // little-endian hosts only (x86, ARM)
    high = bytes[byte + 8];
  } else {
    uint8_t window[9] = {};
    const size_t available = byte < sizeBytes ? sizeBytes - byte : 0;
    for (size_t i = 0; i < available && i < 9; ++i) window[i] = bytes[byte + i];
    std::memcpy(&low, window, 8);
    high = window[8];
  }
  if (shift == 0) return low;
  return (low >> shift) | (static_cast<uint64_t>(high) << (64 - shift));
}

}  // namespace detail

inline size_t PackedBytes(size_t bits) { return (bits + 7) / 8; }

// The `count` bits (0..64) at `offset` as an integer, bit `offset` lowest.
// `sizeBits` bounds the read: bits at or past it read as 0.
inline uint64_t ReadBits(const uint8_t* bytes, size_t sizeBits, size_t offset, size_t count) {
  if (count == 0) return 0;
  const uint64_t word = detail::Load64(bytes, PackedBytes(sizeBits), offset);
  return count >= 64 ? word : word & ((uint64_t{1} << count) - 1);
}

// Writes the `count` low bits (0..64) of `value` at `offset`; other bits of
// the destination keep their value.
inline void WriteBits(uint8_t* bytes, size_t offset, size_t count, uint64_t value) {
  size_t done = 0;
  while (done < count) {
    const size_t bit = offset + done;
    const unsigned shift = bit & 7;
    const size_t chunk = (count - done) < (8 - shift) ? (count - done) : (8 - shift);
    const uint8_t mask = static_cast<uint8_t>(((1u << chunk) - 1) << shift);
    const uint8_t part = static_cast<uint8_t>(((value >> done) << shift) & mask);
    uint8_t& target = bytes[bit >> 3];
    target = static_cast<uint8_t>((target & ~mask) | part);
    done += chunk;
  }
}

// Copies `count` bits from `src` at `srcOffset` (a vector of `srcBits` bits)
// to `dst` at `dstOffset`. The ranges must not overlap.
inline void CopyBits(uint8_t* dst, size_t dstOffset, const uint8_t* src, size_t srcBits,
                     size_t srcOffset, size_t count) {
  // Byte-aligned on both sides: a plain copy for the whole bytes.
  if ((dstOffset & 7) == 0 && (srcOffset & 7) == 0 && count >= 8) {
    const size_t whole = count / 8;
    std::memcpy(dst + dstOffset / 8, src + srcOffset / 8, whole);
    dstOffset += whole * 8;
    srcOffset += whole * 8;
    count -= whole * 8;
  }
  const size_t srcBytes = PackedBytes(srcBits);
  while (count > 0) {
    // Bring the destination to a byte boundary, then move 56 bits at a time
    // (whole bytes, so each store is a plain byte write).
    const size_t head = (8 - (dstOffset & 7)) & 7;
    size_t chunk = head != 0 ? head : 56;
    if (chunk > count) chunk = count;
    const uint64_t word = detail::Load64(src, srcBytes, srcOffset);
    if ((dstOffset & 7) == 0 && chunk == 56) {
      uint8_t out[8];
      std::memcpy(out, &word, 8);
      std::memcpy(dst + dstOffset / 8, out, 7);
    } else {
      WriteBits(dst, dstOffset, chunk, word);
    }
    dstOffset += chunk;
    srcOffset += chunk;
    count -= chunk;
  }
}

// Sets `count` bits at `offset` to `value`.
inline void FillBits(uint8_t* bytes, size_t offset, size_t count, bool value) {
  while (count > 0 && (offset & 7) != 0) {
    const size_t chunk = count < 8 - (offset & 7) ? count : 8 - (offset & 7);
    WriteBits(bytes, offset, chunk, value ? ~uint64_t{0} : 0);
    offset += chunk;
    count -= chunk;
  }
  if (count >= 8) {
    std::memset(bytes + offset / 8, value ? 0xFF : 0x00, count / 8);
    offset += count / 8 * 8;
    count -= count / 8 * 8;
  }
  if (count > 0) WriteBits(bytes, offset, count, value ? ~uint64_t{0} : 0);
}

// The index of the first bit in [from, end) equal to `value`, or `end`.
inline size_t FindBit(const uint8_t* bytes, size_t from, size_t end, bool value) {
  const size_t sizeBytes = PackedBytes(end);
  while (from < end) {
    uint64_t word = detail::Load64(bytes, sizeBytes, from);
    if (!value) word = ~word;
    if (word != 0) {
      const size_t found = from + static_cast<size_t>(std::countr_zero(word));
      return found < end ? found : end;
    }
    from += 64;
  }
  return end;
}

}  // namespace sim

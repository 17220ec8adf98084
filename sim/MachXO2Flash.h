// The non-volatile memory of a MachXO2 as the chip model keeps it: the
// configuration flash and the user flash (UFM) as arrays of 128-bit pages,
// the feature row, the feature bits, the user code and the DONE and
// security bits.
//
// Every bit string is kept in wire order: bit 0 is the first bit that came
// in on TDI. A page therefore reads, first bit first, exactly like the
// JEDEC row that was sent for it (the row's first character goes first),
// and pages left by two programmers for one file compare directly.
//
// Modelling choices:
// - The erased state is 0 in every bit, DONE clear, user code 0. (The vendor
//   files agree: an unused user-flash page is a row of zeros.)
// - Programming can only move bits away from the erased state: the cell
//   becomes old OR new. Programming something that is not erased where the
//   data has a 0 leaves a 1 behind; the operation reports that (the chip
//   model raises FAIL), and the cell keeps the OR, as flash would.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "sim/MachXO2Parts.h"

namespace sim {

inline constexpr size_t kFlashPageBits = 128;
inline constexpr size_t kFeatureRowBits = 64;
inline constexpr size_t kFeatureBitsLength = 16;
inline constexpr size_t kUserCodeBits = 32;

// Packed least significant bit first: bit i is bit (i % 8) of byte i / 8.
using FlashPage = std::array<uint8_t, kFlashPageBits / 8>;
using FeatureRow = std::array<uint8_t, kFeatureRowBits / 8>;

enum class FlashArea : uint8_t { kConfiguration, kUserFlash };

// The areas ISC_ERASE names in its operand.
enum EraseFlags : uint8_t {
  kEraseSram = 0x01,
  kEraseFeatureRow = 0x02,
  kEraseConfiguration = 0x04,
  kEraseUserFlash = 0x08,
};

struct MachXO2Flash {
  std::vector<FlashPage> configuration;
  std::vector<FlashPage> userFlash;
  FeatureRow featureRow{};
  uint16_t featureBits = 0;  // bit i: the i-th bit on the wire
  uint32_t userCode = 0;
  bool done = false;
  bool security = false;
  bool securityPlus = false;

  // A chip fresh from the factory (everything erased).
  static MachXO2Flash Erased(const MachXO2Density& die);

  std::vector<FlashPage>& Pages(FlashArea area) {
    return area == FlashArea::kConfiguration ? configuration : userFlash;
  }
  const std::vector<FlashPage>& Pages(FlashArea area) const {
    return area == FlashArea::kConfiguration ? configuration : userFlash;
  }

  // Erases the flash areas among `flags` (kEraseSram is not flash and is
  // ignored here). Erasing the configuration flash also clears the user
  // code, DONE and the security bits, which live in its sector; erasing the
  // feature row also clears the feature bits.
  void Erase(uint8_t flags);

  friend bool operator==(const MachXO2Flash&, const MachXO2Flash&) = default;
};

// Programs `data` into `cell` (both `bytes` long): the cell becomes old OR
// new. Returns false when the result differs from `data` (the cell was not
// erased where the data has a 0).
bool ProgramCells(uint8_t* cell, const uint8_t* data, size_t bytes);

bool IsErased(const FlashPage& page);

// '0'/'1' text, first bit on the wire first (the JEDEC row of the page).
std::string BitText(const uint8_t* bits, size_t count);
// The inverse of BitText; throws std::invalid_argument for a wrong length
// or a character other than '0' or '1'.
void BitsFromBitText(std::string_view text, uint8_t* bits, size_t count);

}  // namespace sim

#include "sim/MachXO2Flash.h"

#include <algorithm>
#include <stdexcept>

namespace sim {

MachXO2Flash MachXO2Flash::Erased(const MachXO2Density& die) {
  MachXO2Flash flash;
  flash.configuration.assign(die.configurationPages, FlashPage{});
  flash.userFlash.assign(die.userFlashPages, FlashPage{});
  return flash;
}

void MachXO2Flash::Erase(uint8_t flags) {
  if (flags & kEraseFeatureRow) {
    featureRow = FeatureRow{};
    featureBits = 0;
  }
  if (flags & kEraseConfiguration) {
    std::fill(configuration.begin(), configuration.end(), FlashPage{});
    userCode = 0;
    done = false;
    security = false;
    securityPlus = false;
  }
  if (flags & kEraseUserFlash) std::fill(userFlash.begin(), userFlash.end(), FlashPage{});
}

bool ProgramCells(uint8_t* cell, const uint8_t* data, size_t bytes) {
  bool clean = true;
  for (size_t i = 0; i < bytes; ++i) {
    if (cell[i] & ~data[i]) clean = false;
    cell[i] = static_cast<uint8_t>(cell[i] | data[i]);
  }
  return clean;
}

bool IsErased(const FlashPage& page) {
  return std::all_of(page.begin(), page.end(), [](uint8_t b) { return b == 0; });
}

std::string BitText(const uint8_t* bits, size_t count) {
  std::string text(count, '0');
  for (size_t i = 0; i < count; ++i)
    if ((bits[i / 8] >> (i % 8)) & 1) text[i] = '1';
  return text;
}

void BitsFromBitText(std::string_view text, uint8_t* bits, size_t count) {
  if (text.size() != count)
    throw std::invalid_argument(std::to_string(text.size()) + " bits where " +
                                std::to_string(count) + " are expected");
  std::fill(bits, bits + (count + 7) / 8, uint8_t{0});
  for (size_t i = 0; i < count; ++i) {
    if (text[i] != '0' && text[i] != '1')
      throw std::invalid_argument("'" + std::string(1, text[i]) + "' at bit " + std::to_string(i) +
                                  " is not a bit");
    if (text[i] == '1') bits[i / 8] = static_cast<uint8_t>(bits[i / 8] | (1u << (i % 8)));
  }
}

}  // namespace sim

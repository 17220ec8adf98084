#include "sim/MachXO2Parts.h"

#include <array>
#include <cctype>
#include <stdexcept>

namespace sim {

namespace {

// The flash page counts are the data-sheet sizes of the configuration flash
// and the user flash (UFM); a vendor JEDEC file of a density holds exactly
// their sum as rows (the 1200 parts: 2175 + 512 = 2687 rows of 128 fuses).
constexpr std::array<MachXO2Density, 6> kDensities = {{
    {256, 575, 0, 186, 504, 104, 0x012B8043, 0x012B0043},
    {640, 1151, 191, 215, 888, 152, 0x012B9043, 0x012B1043},
    {1200, 2175, 512, 333, 1080, 208, 0x012BA043, 0x012B2043},
    {2000, 3198, 639, 420, 1272, 424, 0x012BB043, 0x012B3043},
    {4000, 5758, 767, 623, 1560, 552, 0x012BC043, 0x012B4043},
    {7000, 9212, 2046, 770, 1992, 664, 0x012BD043, 0x012B5043},
}};

// The supply variants of every density. HE is a ZE die run at a higher
// core voltage: it answers the ZE IDCODE.
struct Variant {
  std::string_view suffix;
  bool lowPower;
  bool offeredAt256And640;  // the HE parts start at the 2000
};
constexpr std::array<Variant, 3> kVariants = {{
    {"HC", false, true},
    {"ZE", true, true},
    {"HE", true, false},
}};

std::string Upper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper;
}

bool Offered(const MachXO2Density& die, const Variant& variant) {
  return variant.offeredAt256And640 || die.density >= 2000;
}

std::string BaseName(const MachXO2Density& die, const Variant& variant) {
  return "LCMXO2-" + std::to_string(die.density) + std::string(variant.suffix);
}

}  // namespace

std::optional<MachXO2Part> FindMachXO2Part(std::string_view name) {
  const std::string upper = Upper(name);
  for (const MachXO2Density& die : kDensities) {
    for (const Variant& variant : kVariants) {
      if (!Offered(die, variant)) continue;
      const std::string base = BaseName(die, variant);
      if (upper.compare(0, base.size(), base) != 0) continue;
      // The base name must end there: "LCMXO2-1200HC" or "LCMXO2-1200HC-...".
      if (upper.size() != base.size() && upper[base.size()] != '-') continue;
      return MachXO2Part{base, &die, variant.lowPower ? die.idCodeLowPower : die.idCodeHighPerformance};
    }
  }
  return std::nullopt;
}

MachXO2Part RequireMachXO2Part(std::string_view name) {
  if (auto part = FindMachXO2Part(name)) return *part;
  throw std::invalid_argument("'" + std::string(name) +
                              "' is not a MachXO2 part the chip model knows; it knows " +
                              KnownMachXO2BaseNames() + " (a full part name beginning with one of "
                              "them is taken too)");
}

std::string KnownMachXO2BaseNames() {
  std::string names;
  for (const MachXO2Density& die : kDensities)
    for (const Variant& variant : kVariants) {
      if (!Offered(die, variant)) continue;
      if (!names.empty()) names += ", ";
      names += BaseName(die, variant);
    }
  return names;
}

}  // namespace sim

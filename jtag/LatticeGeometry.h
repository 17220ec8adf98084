// The configuration geometry of Lattice chips, by base-name prefix: for the
// MachXO2 rows the length of the address register (configuration rows) and
// of the data register (bits per row), whose product is the configuration
// bit count that programming reports. The other Lattice families share the
// lookup with their own two factors.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace jtag {

struct TLatticeGeometry {
  std::string_view prefix;
  int32_t addressBits;  // factor A
  int32_t dataBits;     // factor B

  int32_t ConfigurationBits() const { return addressBits * dataBits; }
};

inline constexpr std::array<TLatticeGeometry, 41> kLatticeGeometries = {{
    {"LCMXO2-256", 186, 504},
    {"LCMXO2-640", 215, 888},
    {"LCMXO2-1200", 333, 1080},
    {"LCMXO2-2000", 420, 1272},
    {"LCMXO2-4000", 623, 1560},
    {"LCMXO2-7000", 770, 1992},
    {"LFXP3", 1680, 558},
    {"LFXP6", 2072, 734},
    {"LFXP10", 1288, 2148},
    {"LFXP15", 1610, 2500},
    {"LFXP20", 1862, 2676},
    {"LFXP2-5", 1938, 638},
    {"LFXP2-8", 2532, 772},
    {"LFXP2-17", 1658, 2188},
    {"LFXP2-30", 2252, 2644},
    {"LFXP2-40", 2454, 3384},
    {"LFEC1", 1162, 470},
    {"LFEC3", 1674, 558},
    {"LFEC6", 2186, 754},
    {"LFEC10", 2698, 1094},
    {"LFEC15", 3210, 1270},
    {"LFEC20", 3722, 1358},
    {"LFEC33", 4234, 1798},
    {"LFECP6", 2186, 754},
    {"LFECP10", 2698, 1094},
    {"LFECP15", 3210, 1270},
    {"LFECP20", 3722, 1358},
    {"LFECP33", 4234, 1798},
    {"LFE2-6", 1936, 752},
    {"LFE2-12", 3718, 752},
    {"LFE2-20", 4312, 1018},
    {"LFE2-35", 4906, 1284},
    {"LFE2-50", 5500, 1643},
    {"LFE2M35E", 4908, 2042},
    {"LFSC3GA15E", 1043, 4216},
    {"LFSC3GA25E", 1316, 5816},
    {"LFSC3GA80E", 2156, 10300},
    {"LCMXO256", 295, 192},
    {"LCMXO640", 551, 236},
    {"LCMXO1200", 796, 348},
    {"LCMXO2280", 1116, 436},
}};

// The row whose prefix begins `baseName` (compared in upper case), the
// longest where several do; none for a chip the programmer does not serve.
std::optional<TLatticeGeometry> FindLatticeGeometry(std::string_view baseName);

}  // namespace jtag

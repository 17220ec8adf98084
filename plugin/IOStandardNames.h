// The host-wide IO-standard naming tables of the host SDK: a display name
// and a parameter name per generic IO-standard index (186 entries in the
// host). Only the entries a driver of this module can reach are carried;
// any other index names nothing.
#pragma once

#include <cstdint>
#include <string_view>

namespace plugin {

struct IOStandardNameEntry {
  uint8_t genericIndex;
  std::string_view displayName;
  std::string_view paramName;
};

// Sorted by generic index.
inline constexpr IOStandardNameEntry kIOStandardNames[] = {
    {3, "LVTTL 3.3V", "LVTTL33"},
    {4, "LVCMOS 1.5V", "LVCMOS15"},
    {5, "LVCMOS 1.8V", "LVCMOS18"},
    {6, "LVCMOS 2.5V", "LVCMOS25"},
    {7, "LVCMOS 3.3V", "LVCMOS33"},
    {9, "PCI 33Mhz 3.3V", "PCI33_3"},
    {18, "SSTL18 Class I", "SSTL18I"},
    {19, "SSTL18 Class II", "SSTL18II"},
    {27, "HSTL Class I 1.8V", "HSTLI_18"},
    {28, "HSTL Class II 1.8V", "HSTLII_18"},
    {35, "LVCMOS 1.2V", "LVCMOS12"},
    {49, "DHSTL 1.8V Class I", "DHSTL18I"},
    {50, "DHSTL 1.8V Class II", "DHSTL18II"},
    {69, "LVDS", "LVDS"},
    {71, "Differential SSTL 1.8V Class I", "DSSTL18I"},
    {72, "Differential SSTL 1.8V Class II", "DSSTL18II"},
    {77, "Bus LVDS 2.5V", "BLVDS25"},
    {79, "RSDS 2.5V", "RSDS25"},
    {108, "Multi-Point LVDS 2.5V", "MLVDS25"},
    {140, "LVDS External Three-Resistor Network", "LVDS_E_3R"},
    {165, "Differential 2.5-V SSTL Class I", "DSSTL25I"},
    {166, "Differential 2.5-V SSTL Class II", "DSSTL25II"},
    {172, "SSTL25 Class I", "SSTL25I"},
    {173, "SSTL25 Class II", "SSTL25II"},
    {174, "LVPECL 3.3V", "LVPECL33"},
    {176, "Differential LVTTL 3.3V", "LVTTL33D"},
    {177, "Differential LVCMOS 3.3V", "LVCMOS33D"},
    {178, "Differential LVCMOS 2.5V", "LVCMOS25D"},
    {179, "Differential LVCMOS 1.8V", "LVCMOS18D"},
    {180, "Differential LVCMOS 1.5V", "LVCMOS15D"},
    {181, "Differential LVCMOS 1.2V", "LVCMOS12D"},
    {182, "Emulated BLVDS 2.5V", "BLVDS25E"},
    {183, "Emulated MLVDS 2.5V", "MLVDS25E"},
    {184, "Emulated LVPECL 3.3V", "LVPECL33E"},
    {185, "Emulated RSDS 2.5V", "RSDS25E"},
};

// Empty for an index the tables do not name.
std::string_view IOStandardDisplayName(uint8_t genericIndex);
std::string_view IOStandardParamName(uint8_t genericIndex);

}  // namespace plugin

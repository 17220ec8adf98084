#include "devices/machxo2/DeviceFamilyRegistry.h"

#include <array>
#include <utility>

#include "hostsdk/IniFile.h"

namespace machxo2 {
namespace {

// The EDIF name is the family name in upper case, except for a few families
// whose tools spell it in mixed case; families without an EDIF flow have none.
constexpr std::array<TDeviceFamilyRow, 77> kBuiltInFamilies = {{
    {"ProASICPlus", "Actel", "PROASICPLUS"},
    {"ProASIC3", "Actel", "PROASIC3"},
    {"ProASIC3E", "Actel", "PROASIC3E"},
    {"IGLOO", "Actel", "IGLOO"},
    {"IGLOOE", "Actel", "IGLOOE"},
    {"IGLOOnano", "Actel", "IGLOOnano"},
    {"IGLOOPLUS", "Actel", "IGLOOPLUS"},
    {"Fusion", "Actel", "FUSION"},
    {"SmartFusion", "Actel", "SMARTFUSION"},
    {"MAX3000A", "Altera", "MAX3000A"},
    {"MAX7000AE", "Altera", "MAX7000AE"},
    {"MAX7000B", "Altera", "MAX7000B"},
    {"MAX7000S", "Altera", "MAX7000S"},
    {"MAX2", "Altera", "MAX2"},
    {"MAX5", "Altera", "MAX5"},
    {"Cyclone", "Altera", "CYCLONE"},
    {"Cyclone2", "Altera", "CYCLONE2"},
    {"Cyclone3", "Altera", "CYCLONE3"},
    {"Cyclone4E", "Altera", "CYCLONE4E"},
    {"Cyclone4GX", "Altera", "CYCLONE4GX"},
    {"Stratix", "Altera", "STRATIX"},
    {"StratixGX", "Altera", "STRATIXGX"},
    {"Stratix2", "Altera", "STRATIX2"},
    {"Stratix2GX", "Altera", "STRATIX2GX"},
    {"Stratix3", "Altera", "STRATIX3"},
    {"Stratix4", "Altera", "STRATIX4"},
    {"ArriaGX", "Altera", "ARRIAGX"},
    {"Arria2GX", "Altera", "ARRIA2GX"},
    {"Arria2GZ", "Altera", "ARRIA2GZ"},
    {"EC", "Lattice", "EC"},
    {"ECP", "Lattice", "ECP"},
    {"ECP2", "Lattice", "ECP2"},
    {"ECP2M", "Lattice", "ECP2M"},
    {"XP", "Lattice", "XP"},
    {"XP2", "Lattice", "XP2"},
    {"MachXO", "Lattice", "MACHXO"},
    {"MachXO2", "Lattice", "MACHXO2"},
    {"SC", "Lattice", "SC"},
    {"SCM", "Lattice", "SCM"},
    {"ispXPLD5000MX", "Lattice", "ISPXPLD5000MX"},
    {"ispMACH4000B", "Lattice", "ispMACH4000B"},
    {"ispMACH4000C", "Lattice", "ispMACH4000C"},
    {"ispMACH4000V", "Lattice", "ispMACH4000V"},
    {"ispMACH4000Z", "Lattice", "ispMACH4000Z"},
    {"XC9500", "Xilinx", "XC9500"},
    {"XC9500XL", "Xilinx", "XC9500XL"},
    {"XA9500XL", "Xilinx", "XA9500XL"},
    {"XC9500XV", "Xilinx", "XC9500XV"},
    {"CoolRunner2", "Xilinx", "COOLRUNNER2"},
    {"XACoolRunner2", "Xilinx", "XACOOLRUNNER2"},
    {"CoolRunnerXPLA3", "Xilinx", "COOLRUNNERXPLA3"},
    {"Spartan2", "Xilinx", "SPARTAN2"},
    {"Spartan2E", "Xilinx", "SPARTAN2E"},
    {"Spartan3", "Xilinx", "SPARTAN3"},
    {"Spartan3E", "Xilinx", "SPARTAN3E"},
    {"XASpartan3E", "Xilinx", "XASPARTAN3E"},
    {"Spartan3L", "Xilinx", "SPARTAN3L"},
    {"Spartan3A", "Xilinx", "SPARTAN3A"},
    {"XASpartan3A", "Xilinx", "XASPARTAN3A"},
    {"Spartan3ADSP", "Xilinx", "SPARTAN3ADSP"},
    {"XASpartan3ADSP", "Xilinx", "XASPARTAN3ADSP"},
    {"Spartan3AN", "Xilinx", "SPARTAN3AN"},
    {"Spartan6", "Xilinx", "SPARTAN6"},
    {"Virtex", "Xilinx", "VIRTEX"},
    {"VirtexE", "Xilinx", "VIRTEXE"},
    {"Virtex2", "Xilinx", "VIRTEX2"},
    {"Virtex2P", "Xilinx", "VIRTEX2P"},
    {"Virtex4", "Xilinx", "VIRTEX4"},
    {"Virtex5", "Xilinx", "VIRTEX5"},
    {"Virtex6", "Xilinx", "VIRTEX6"},
    {"XC17V00", "Xilinx", ""},
    {"XC18V00", "Xilinx", ""},
    {"XCF", "Xilinx", ""},
    {"BLUESTREAK", "Sharp", ""},
    {"PPC405", "AMCC", ""},
    {"Stellaris", "TexasInstruments", ""},
    {"STM32", "STMicroelectronics", ""},
}};
// A short list would leave value-initialised rows at the end.
static_assert(kBuiltInFamilies.back().Family == "STM32");

constexpr std::string_view kConfigSection = "General";

}  // namespace

TDeviceFamilyRegistry::TDeviceFamilyRegistry() {
  for (const TDeviceFamilyRow& row : kBuiltInFamilies) {
    families_.insert_or_assign(std::string(row.Family),
                               TDeviceFamilyRecord{std::string(row.VendorName),
                                                   std::string(row.EDIF)});
  }
}

std::span<const TDeviceFamilyRow> TDeviceFamilyRegistry::BuiltInFamilies() {
  return kBuiltInFamilies;
}

void TDeviceFamilyRegistry::AmendFromPluginFolders(const std::vector<std::string>& folders) {
  for (const std::string& folder : folders) {
    AmendFromConfigFile(folder + std::string(kConfigFileName));
  }
}

bool TDeviceFamilyRegistry::AmendFromConfigFile(const std::string& path) {
  hostsdk::TIniFile config;
  if (!config.Load(path)) return false;
  std::string family = config.Value(kConfigSection, "DeviceFamily");
  std::string vendor = config.Value(kConfigSection, "DeviceVendor");
  std::string edif = config.Value(kConfigSection, "EDIF");
  // A half-filled file must not blank out a family's vendor or EDIF name.
  if (family.empty() || vendor.empty() || edif.empty()) return false;
  families_.insert_or_assign(std::move(family),
                             TDeviceFamilyRecord{std::move(vendor), std::move(edif)});
  return true;
}

const TDeviceFamilyRecord* TDeviceFamilyRegistry::Find(std::string_view family) const {
  const auto it = families_.find(family);
  return it == families_.end() ? nullptr : &it->second;
}

std::string TDeviceFamilyRegistry::VendorName(std::string_view family) const {
  const TDeviceFamilyRecord* record = Find(family);
  return record ? record->VendorName : std::string();
}

std::string TDeviceFamilyRegistry::EDIF(std::string_view family) const {
  const TDeviceFamilyRecord* record = Find(family);
  return record ? record->EDIF : std::string();
}

}  // namespace machxo2

#include "devices/machxo2/Catalogue.h"

#include <array>
#include <cstddef>
#include <stdexcept>
#include <string>

namespace machxo2 {
namespace {

// Every table row carries the enumeration value it stands for, so that a row
// inserted or dropped out of order fails to compile instead of shifting all
// the rows after it.
template <typename Table>
constexpr bool IsIndexedByKey(const Table& table) {
  for (std::size_t i = 0; i < table.size(); ++i) {
    if (static_cast<std::size_t>(table[i].Key) != i) return false;
  }
  return true;
}

// --- Packages, grades and options -----------------------------------------

struct TPackageRow {
  TPackage Key;
  TPackageStrings Strings;
  TPackageType Type;
};

constexpr std::array<TPackageRow, kPackageCount> kPackages = {{
    {ePackage_BG256,
     {"BG256", "caBGA256", "256-Ball Halogen-Free caBGA (0.8 mm Pitch)", "14 x 14 mm"},
     ePackageType_BG},
    {ePackage_BG332, {"BG332", "caBGA332", "332-Ball Halogen-Free caBGA", "17 x 17 mm"},
     ePackageType_BG},
    {ePackage_FG484,
     {"FG484", "fpBGA484", "484-Ball Halogen-Free fpBGA (1.0 mm Pitch)", "23 x 23 mm"},
     ePackageType_FG},
    {ePackage_FTG256,
     {"FTG256", "ftBGA256", "256-Ball Halogen-Free ftBGA (1.0 mm Pitch)", "17 x 17 mm"},
     ePackageType_FTG},
    {ePackage_MG132,
     {"MG132", "csBGA132", "132-Ball Halogen-Free csBGA (0.5 mm Pitch)", "8 x 8 mm"},
     ePackageType_MG},
    {ePackage_TG100, {"TG100", "TQFP100", "100-Pin Halogen-Free TQFP", "14 x 14 mm"},
     ePackageType_TG},
    {ePackage_TG144, {"TG144", "TQFP144", "144-Pin Halogen-Free TQFP", "20 x 20 mm"},
     ePackageType_TG},
    {ePackage_UMG64,
     {"UMG64", "ucBGA64", "64-Ball Halogen-Free ucBGA (0.4 mm Pitch)", "4 x 4 mm"},
     ePackageType_UMG},
}};
static_assert(IsIndexedByKey(kPackages));

struct TPackageTypeRow {
  TPackageType Key;
  TPackageTypeStrings Strings;
};

constexpr std::array<TPackageTypeRow, kPackageTypeCount> kPackageTypes = {{
    {ePackageType_BG, {"BG", "caBGA", "Halogen-Free caBGA (0.8 mm Pitch)"}},
    {ePackageType_FG, {"FG", "fpBGA", "Halogen-Free fpBGA (1.0 mm Pitch)"}},
    {ePackageType_FTG, {"FTG", "ftBGA", "Halogen-Free ftBGA (1.0 mm Pitch)"}},
    {ePackageType_MG, {"MG", "csBGA", "Halogen-Free csBGA (0.5 mm Pitch)"}},
    {ePackageType_TG, {"TG", "TQFP", "Halogen-Free TQFP"}},
    {ePackageType_UMG, {"UMG", "ucBGA", "Halogen-Free ucBGA (0.4 mm Pitch)"}},
}};
static_assert(IsIndexedByKey(kPackageTypes));

struct TSpeedGradeRow {
  TSpeedGrade Key;
  TGradeStrings Strings;
};

// Each family of grades (1..3 and 4..6) has its own slowest and fastest.
constexpr std::array<TSpeedGradeRow, kSpeedGradeCount> kSpeedGrades = {{
    {eSpeedGrade_1, {"1", "1", "Speed Grade 1 (Slowest)"}},
    {eSpeedGrade_2, {"2", "2", "Speed Grade 2"}},
    {eSpeedGrade_3, {"3", "3", "Speed Grade 3 (Fastest)"}},
    {eSpeedGrade_4, {"4", "4", "Speed Grade 4 (Slowest)"}},
    {eSpeedGrade_5, {"5", "5", "Speed Grade 5"}},
    {eSpeedGrade_6, {"6", "6", "Speed Grade 6 (Fastest)"}},
}};
static_assert(IsIndexedByKey(kSpeedGrades));

struct TTemperatureGradeRow {
  TTemperatureGrade Key;
  TGradeStrings Strings;
};

constexpr std::array<TTemperatureGradeRow, kTemperatureGradeCount> kTemperatureGrades = {{
    {eTemperatureGrade_C, {"C", "Commercial", "Commercial Grade"}},
    {eTemperatureGrade_I, {"I", "Industrial", "Industrial Grade"}},
}};
static_assert(IsIndexedByKey(kTemperatureGrades));

struct TOptionDesignatorRow {
  TOptionDesignator Key;
  TGradeStrings Strings;
};

// The standard option's Id "None" never appears in a part number.
constexpr std::array<TOptionDesignatorRow, kOptionDesignatorCount> kOptionDesignators = {{
    {eOptionDesignator_None, {"None", "Standard", "Standard Configuration"}},
    {eOptionDesignator_R1, {"R1", "R1", "R1 Device"}},
}};
static_assert(IsIndexedByKey(kOptionDesignators));

// --- Base devices ----------------------------------------------------------

struct TBaseRow {
  TBaseNameId Key;
  TBaseNameIdParameters Parameters;
  int32_t MemorySize;  // embedded memory of the die, the same in every package
};

constexpr std::array<TBaseRow, kBaseNameIdCount> kBases = {{
    {eLCMXO2_256HC, {"LCMXO2-256HC", 256, 56}, 2},
    {eLCMXO2_256ZE, {"LCMXO2-256ZE", 256, 56}, 2},
    {eLCMXO2_640HC, {"LCMXO2-640HC", 640, 80}, 5},
    {eLCMXO2_640UHC, {"LCMXO2-640UHC", 640, 108}, 5},
    {eLCMXO2_640ZE, {"LCMXO2-640ZE", 640, 80}, 5},
    {eLCMXO2_1200HC, {"LCMXO2-1200HC", 1280, 108}, 10},
    {eLCMXO2_1200UHC, {"LCMXO2-1200UHC", 1280, 207}, 10},
    {eLCMXO2_1200ZE, {"LCMXO2-1200ZE", 1280, 108}, 10},
    {eLCMXO2_2000HC, {"LCMXO2-2000HC", 2112, 207}, 16},
    {eLCMXO2_2000HE, {"LCMXO2-2000HE", 2112, 207}, 16},
    {eLCMXO2_2000UHC, {"LCMXO2-2000UHC", 2112, 279}, 16},
    {eLCMXO2_2000UHE, {"LCMXO2-2000UHE", 2112, 279}, 16},
    {eLCMXO2_2000ZE, {"LCMXO2-2000ZE", 2112, 207}, 16},
    {eLCMXO2_4000HC, {"LCMXO2-4000HC", 4320, 279}, 34},
    {eLCMXO2_4000HE, {"LCMXO2-4000HE", 4320, 279}, 34},
    {eLCMXO2_4000ZE, {"LCMXO2-4000ZE", 4320, 279}, 34},
    {eLCMXO2_7000HC, {"LCMXO2-7000HC", 6864, 335}, 54},
    {eLCMXO2_7000HE, {"LCMXO2-7000HE", 6864, 335}, 54},
    {eLCMXO2_7000ZE, {"LCMXO2-7000ZE", 6864, 335}, 54},
}};
static_assert(IsIndexedByKey(kBases));

// The low-power ZE parts are graded 1..3; the HC and HE parts 4..6.
constexpr TSpeedGrade SlowestSpeedGrade(TBaseNameId base) {
  return kBases[base].Parameters.Name.ends_with("ZE") ? eSpeedGrade_1 : eSpeedGrade_4;
}
constexpr int32_t kSpeedGradesPerBase = 3;

// --- Device packages -------------------------------------------------------

struct TDevicePackageRow {
  TDevicePackage Key;
  TBaseNameId Base;
  TPackage Package;
};

constexpr std::array<TDevicePackageRow, kDevicePackageCount> kDevicePackages = {{
    {eDevicePackage_LCMXO2_256HC_UMG64, eLCMXO2_256HC, ePackage_UMG64},
    {eDevicePackage_LCMXO2_256HC_TG100, eLCMXO2_256HC, ePackage_TG100},
    {eDevicePackage_LCMXO2_256HC_MG132, eLCMXO2_256HC, ePackage_MG132},
    {eDevicePackage_LCMXO2_256ZE_UMG64, eLCMXO2_256ZE, ePackage_UMG64},
    {eDevicePackage_LCMXO2_256ZE_TG100, eLCMXO2_256ZE, ePackage_TG100},
    {eDevicePackage_LCMXO2_256ZE_MG132, eLCMXO2_256ZE, ePackage_MG132},
    {eDevicePackage_LCMXO2_640HC_TG100, eLCMXO2_640HC, ePackage_TG100},
    {eDevicePackage_LCMXO2_640HC_MG132, eLCMXO2_640HC, ePackage_MG132},
    {eDevicePackage_LCMXO2_640UHC_TG144, eLCMXO2_640UHC, ePackage_TG144},
    {eDevicePackage_LCMXO2_640ZE_TG100, eLCMXO2_640ZE, ePackage_TG100},
    {eDevicePackage_LCMXO2_640ZE_MG132, eLCMXO2_640ZE, ePackage_MG132},
    {eDevicePackage_LCMXO2_1200HC_TG100, eLCMXO2_1200HC, ePackage_TG100},
    {eDevicePackage_LCMXO2_1200HC_MG132, eLCMXO2_1200HC, ePackage_MG132},
    {eDevicePackage_LCMXO2_1200HC_TG144, eLCMXO2_1200HC, ePackage_TG144},
    {eDevicePackage_LCMXO2_1200UHC_FTG256, eLCMXO2_1200UHC, ePackage_FTG256},
    {eDevicePackage_LCMXO2_1200ZE_TG100, eLCMXO2_1200ZE, ePackage_TG100},
    {eDevicePackage_LCMXO2_1200ZE_MG132, eLCMXO2_1200ZE, ePackage_MG132},
    {eDevicePackage_LCMXO2_1200ZE_TG144, eLCMXO2_1200ZE, ePackage_TG144},
    {eDevicePackage_LCMXO2_2000HC_TG100, eLCMXO2_2000HC, ePackage_TG100},
    {eDevicePackage_LCMXO2_2000HC_MG132, eLCMXO2_2000HC, ePackage_MG132},
    {eDevicePackage_LCMXO2_2000HC_TG144, eLCMXO2_2000HC, ePackage_TG144},
    {eDevicePackage_LCMXO2_2000HC_BG256, eLCMXO2_2000HC, ePackage_BG256},
    {eDevicePackage_LCMXO2_2000HC_FTG256, eLCMXO2_2000HC, ePackage_FTG256},
    {eDevicePackage_LCMXO2_2000HE_TG100, eLCMXO2_2000HE, ePackage_TG100},
    {eDevicePackage_LCMXO2_2000HE_MG132, eLCMXO2_2000HE, ePackage_MG132},
    {eDevicePackage_LCMXO2_2000HE_TG144, eLCMXO2_2000HE, ePackage_TG144},
    {eDevicePackage_LCMXO2_2000HE_BG256, eLCMXO2_2000HE, ePackage_BG256},
    {eDevicePackage_LCMXO2_2000HE_FTG256, eLCMXO2_2000HE, ePackage_FTG256},
    {eDevicePackage_LCMXO2_2000UHC_FG484, eLCMXO2_2000UHC, ePackage_FG484},
    {eDevicePackage_LCMXO2_2000UHE_FG484, eLCMXO2_2000UHE, ePackage_FG484},
    {eDevicePackage_LCMXO2_2000ZE_TG100, eLCMXO2_2000ZE, ePackage_TG100},
    {eDevicePackage_LCMXO2_2000ZE_MG132, eLCMXO2_2000ZE, ePackage_MG132},
    {eDevicePackage_LCMXO2_2000ZE_TG144, eLCMXO2_2000ZE, ePackage_TG144},
    {eDevicePackage_LCMXO2_2000ZE_BG256, eLCMXO2_2000ZE, ePackage_BG256},
    {eDevicePackage_LCMXO2_2000ZE_FTG256, eLCMXO2_2000ZE, ePackage_FTG256},
    {eDevicePackage_LCMXO2_4000HC_MG132, eLCMXO2_4000HC, ePackage_MG132},
    {eDevicePackage_LCMXO2_4000HC_TG144, eLCMXO2_4000HC, ePackage_TG144},
    {eDevicePackage_LCMXO2_4000HC_BG256, eLCMXO2_4000HC, ePackage_BG256},
    {eDevicePackage_LCMXO2_4000HC_FTG256, eLCMXO2_4000HC, ePackage_FTG256},
    {eDevicePackage_LCMXO2_4000HC_BG332, eLCMXO2_4000HC, ePackage_BG332},
    {eDevicePackage_LCMXO2_4000HC_FG484, eLCMXO2_4000HC, ePackage_FG484},
    {eDevicePackage_LCMXO2_4000HE_MG132, eLCMXO2_4000HE, ePackage_MG132},
    {eDevicePackage_LCMXO2_4000HE_TG144, eLCMXO2_4000HE, ePackage_TG144},
    {eDevicePackage_LCMXO2_4000HE_BG256, eLCMXO2_4000HE, ePackage_BG256},
    {eDevicePackage_LCMXO2_4000HE_FTG256, eLCMXO2_4000HE, ePackage_FTG256},
    {eDevicePackage_LCMXO2_4000HE_BG332, eLCMXO2_4000HE, ePackage_BG332},
    {eDevicePackage_LCMXO2_4000HE_FG484, eLCMXO2_4000HE, ePackage_FG484},
    {eDevicePackage_LCMXO2_4000ZE_MG132, eLCMXO2_4000ZE, ePackage_MG132},
    {eDevicePackage_LCMXO2_4000ZE_TG144, eLCMXO2_4000ZE, ePackage_TG144},
    {eDevicePackage_LCMXO2_4000ZE_BG256, eLCMXO2_4000ZE, ePackage_BG256},
    {eDevicePackage_LCMXO2_4000ZE_FTG256, eLCMXO2_4000ZE, ePackage_FTG256},
    {eDevicePackage_LCMXO2_4000ZE_BG332, eLCMXO2_4000ZE, ePackage_BG332},
    {eDevicePackage_LCMXO2_4000ZE_FG484, eLCMXO2_4000ZE, ePackage_FG484},
    {eDevicePackage_LCMXO2_7000HC_TG144, eLCMXO2_7000HC, ePackage_TG144},
    {eDevicePackage_LCMXO2_7000HC_BG256, eLCMXO2_7000HC, ePackage_BG256},
    {eDevicePackage_LCMXO2_7000HC_FTG256, eLCMXO2_7000HC, ePackage_FTG256},
    {eDevicePackage_LCMXO2_7000HC_BG332, eLCMXO2_7000HC, ePackage_BG332},
    {eDevicePackage_LCMXO2_7000HC_FG484, eLCMXO2_7000HC, ePackage_FG484},
    {eDevicePackage_LCMXO2_7000HE_TG144, eLCMXO2_7000HE, ePackage_TG144},
    {eDevicePackage_LCMXO2_7000HE_BG256, eLCMXO2_7000HE, ePackage_BG256},
    {eDevicePackage_LCMXO2_7000HE_FTG256, eLCMXO2_7000HE, ePackage_FTG256},
    {eDevicePackage_LCMXO2_7000HE_BG332, eLCMXO2_7000HE, ePackage_BG332},
    {eDevicePackage_LCMXO2_7000HE_FG484, eLCMXO2_7000HE, ePackage_FG484},
    {eDevicePackage_LCMXO2_7000ZE_TG144, eLCMXO2_7000ZE, ePackage_TG144},
    {eDevicePackage_LCMXO2_7000ZE_BG256, eLCMXO2_7000ZE, ePackage_BG256},
    {eDevicePackage_LCMXO2_7000ZE_FTG256, eLCMXO2_7000ZE, ePackage_FTG256},
    {eDevicePackage_LCMXO2_7000ZE_BG332, eLCMXO2_7000ZE, ePackage_BG332},
    {eDevicePackage_LCMXO2_7000ZE_FG484, eLCMXO2_7000ZE, ePackage_FG484},
}};
static_assert(IsIndexedByKey(kDevicePackages));

// Only the embedded memory differs between device packages; the rest is the
// same for the whole family.
constexpr std::array<TDevicePackageResources, kDevicePackageCount> BuildResources() {
  std::array<TDevicePackageResources, kDevicePackageCount> resources{};
  for (std::size_t i = 0; i < resources.size(); ++i) {
    resources[i] = {.DSPMultiplierCount = 0,
                    .ClockManagerCount = 0,
                    .MemorySize = kBases[kDevicePackages[i].Base].MemorySize,
                    .TerminationSupport = true,
                    .GlobalClockCount = 8,
                    .ConfigMemorySize = 0};
  }
  return resources;
}
constexpr std::array<TDevicePackageResources, kDevicePackageCount> kResources = BuildResources();

// --- Pin-set figures -------------------------------------------------------

struct TPinSetRow {
  TDevicePinSet Key;
  TPinSetFigures Figures;
};

// PinCount, IOCount, DiffCount, HSpeedDiffCount, BankCount, clock pins,
// DLL pins, PCI33_3 in bank 2.
constexpr std::array<TPinSetRow, kDevicePinSetCount> kPinSets = {{
    {ePinSet_LCMXO2_256_GA64, {64, 45, 22, 0, 4, 16, 0, false}},
    {ePinSet_LCMXO2_256_TQ100, {100, 56, 28, 0, 4, 18, 0, false}},
    {ePinSet_LCMXO2_256_GA132, {132, 56, 28, 0, 4, 18, 0, false}},
    {ePinSet_LCMXO2_640_TQ100, {100, 79, 39, 0, 4, 18, 0, false}},
    {ePinSet_LCMXO2_640_GA132, {132, 80, 40, 0, 4, 18, 0, false}},
    {ePinSet_LCMXO2_640U_TQ144, {144, 108, 54, 0, 4, 18, 4, true}},
    {ePinSet_LCMXO2_1200_TQ100, {100, 80, 39, 0, 4, 18, 2, true}},
    {ePinSet_LCMXO2_1200_GA132, {132, 105, 52, 0, 4, 18, 4, true}},
    {ePinSet_LCMXO2_1200_TQ144, {144, 108, 54, 0, 4, 18, 4, true}},
    {ePinSet_LCMXO2_1200U_GA256, {256, 207, 103, 0, 6, 18, 4, true}},
    {ePinSet_LCMXO2_2000_TQ100, {100, 80, 39, 0, 6, 18, 2, true}},
    {ePinSet_LCMXO2_2000_GA132, {132, 105, 52, 0, 6, 18, 4, true}},
    {ePinSet_LCMXO2_2000_TQ144, {144, 112, 56, 0, 6, 18, 4, true}},
    {ePinSet_LCMXO2_2000_GA256, {256, 207, 103, 0, 6, 18, 4, true}},
    {ePinSet_LCMXO2_2000U_GA484, {484, 279, 139, 0, 6, 18, 8, true}},
    {ePinSet_LCMXO2_4000_GA132, {132, 105, 52, 0, 6, 18, 8, true}},
    {ePinSet_LCMXO2_4000_TQ144, {144, 115, 56, 0, 6, 18, 8, true}},
    {ePinSet_LCMXO2_4000_GA256, {256, 207, 103, 0, 6, 18, 8, true}},
    {ePinSet_LCMXO2_4000_GA332, {332, 275, 137, 0, 6, 18, 8, true}},
    {ePinSet_LCMXO2_4000_GA484, {484, 279, 139, 0, 6, 18, 8, true}},
    {ePinSet_LCMXO2_7000_TQ144, {144, 115, 56, 0, 6, 18, 8, true}},
    {ePinSet_LCMXO2_7000_GA256, {256, 207, 103, 0, 6, 18, 8, true}},
    {ePinSet_LCMXO2_7000_GA332, {332, 279, 139, 0, 6, 18, 8, true}},
    {ePinSet_LCMXO2_7000_GA484, {484, 335, 167, 0, 6, 18, 8, true}},
}};
static_assert(IsIndexedByKey(kPinSets));

// --- Device kinds ----------------------------------------------------------

// One (base, package) pair that is offered as part numbers. Every kind of a
// group shares these fields; the group expands into its speed grades,
// temperature grades and, where offered, the R1 option.
struct TKindGroup {
  TBaseNameId Base;
  TPackage Package;
  bool HasR1;
  uint32_t IdCode;
  std::string_view Bsdl;
  TDevicePinSet PinSet;
};

// The HE parts are ZE dies: they answer the ZE IDCODE and use the ZE
// boundary-scan descriptions. BG256 and FTG256 share a bond (pin set) but
// not a boundary-scan description.
constexpr std::array<TKindGroup, 64> kKindGroups = {{
    {eLCMXO2_256HC, ePackage_UMG64, false, 0x012B8043, "lcmxo2_256hc_ucbga64.bsd", ePinSet_LCMXO2_256_GA64},
    {eLCMXO2_256HC, ePackage_TG100, false, 0x012B8043, "lcmxo2_256hc_tqfp100.bsd", ePinSet_LCMXO2_256_TQ100},
    {eLCMXO2_256HC, ePackage_MG132, false, 0x012B8043, "lcmxo2_256hc_csbga132.bsd", ePinSet_LCMXO2_256_GA132},
    {eLCMXO2_256ZE, ePackage_UMG64, false, 0x012B0043, "lcmxo2_256ze_ucbga64.bsd", ePinSet_LCMXO2_256_GA64},
    {eLCMXO2_256ZE, ePackage_TG100, false, 0x012B0043, "lcmxo2_256ze_tqfp100.bsd", ePinSet_LCMXO2_256_TQ100},
    {eLCMXO2_256ZE, ePackage_MG132, false, 0x012B0043, "lcmxo2_256ze_csbga132.bsd", ePinSet_LCMXO2_256_GA132},
    {eLCMXO2_640HC, ePackage_TG100, false, 0x012B9043, "lcmxo2_640hc_tqfp100.bsd", ePinSet_LCMXO2_640_TQ100},
    {eLCMXO2_640HC, ePackage_MG132, false, 0x012B9043, "lcmxo2_640hc_csbga132.bsd", ePinSet_LCMXO2_640_GA132},
    {eLCMXO2_640ZE, ePackage_TG100, false, 0x012B1043, "lcmxo2_640ze_tqfp100.bsd", ePinSet_LCMXO2_640_TQ100},
    {eLCMXO2_640ZE, ePackage_MG132, false, 0x012B1043, "lcmxo2_640ze_csbga132.bsd", ePinSet_LCMXO2_640_GA132},
    {eLCMXO2_1200HC, ePackage_TG100, true, 0x012BA043, "lcmxo2_1200hc_tqfp100.bsd", ePinSet_LCMXO2_1200_TQ100},
    {eLCMXO2_1200HC, ePackage_MG132, true, 0x012BA043, "lcmxo2_1200hc_csbga132.bsd", ePinSet_LCMXO2_1200_GA132},
    {eLCMXO2_1200HC, ePackage_TG144, true, 0x012BA043, "lcmxo2_1200hc_tqfp144.bsd", ePinSet_LCMXO2_1200_TQ144},
    {eLCMXO2_1200ZE, ePackage_TG100, true, 0x012B2043, "lcmxo2_1200ze_tqfp100.bsd", ePinSet_LCMXO2_1200_TQ100},
    {eLCMXO2_1200ZE, ePackage_MG132, true, 0x012B2043, "lcmxo2_1200ze_csbga132.bsd", ePinSet_LCMXO2_1200_GA132},
    {eLCMXO2_1200ZE, ePackage_TG144, true, 0x012B2043, "lcmxo2_1200ze_tqfp144.bsd", ePinSet_LCMXO2_1200_TQ144},
    {eLCMXO2_2000HC, ePackage_TG100, false, 0x012BB043, "lcmxo2_2000hc_tqfp100.bsd", ePinSet_LCMXO2_2000_TQ100},
    {eLCMXO2_2000HC, ePackage_MG132, false, 0x012BB043, "lcmxo2_2000hc_csbga132.bsd", ePinSet_LCMXO2_2000_GA132},
    {eLCMXO2_2000HC, ePackage_TG144, false, 0x012BB043, "lcmxo2_2000hc_tqfp144.bsd", ePinSet_LCMXO2_2000_TQ144},
    {eLCMXO2_2000HC, ePackage_BG256, false, 0x012BB043, "lcmxo2_2000hc_cabga256.bsd", ePinSet_LCMXO2_2000_GA256},
    {eLCMXO2_2000HC, ePackage_FTG256, false, 0x012BB043, "lcmxo2_2000hc_ftbga256.bsd", ePinSet_LCMXO2_2000_GA256},
    {eLCMXO2_2000HE, ePackage_TG100, false, 0x012B3043, "lcmxo2_2000ze_tqfp100.bsd", ePinSet_LCMXO2_2000_TQ100},
    {eLCMXO2_2000HE, ePackage_MG132, false, 0x012B3043, "lcmxo2_2000ze_csbga132.bsd", ePinSet_LCMXO2_2000_GA132},
    {eLCMXO2_2000HE, ePackage_TG144, false, 0x012B3043, "lcmxo2_2000ze_tqfp144.bsd", ePinSet_LCMXO2_2000_TQ144},
    {eLCMXO2_2000HE, ePackage_BG256, false, 0x012B3043, "lcmxo2_2000ze_cabga256.bsd", ePinSet_LCMXO2_2000_GA256},
    {eLCMXO2_2000HE, ePackage_FTG256, false, 0x012B3043, "lcmxo2_2000ze_ftbga256.bsd", ePinSet_LCMXO2_2000_GA256},
    {eLCMXO2_2000ZE, ePackage_TG100, false, 0x012B3043, "lcmxo2_2000ze_tqfp100.bsd", ePinSet_LCMXO2_2000_TQ100},
    {eLCMXO2_2000ZE, ePackage_MG132, false, 0x012B3043, "lcmxo2_2000ze_csbga132.bsd", ePinSet_LCMXO2_2000_GA132},
    {eLCMXO2_2000ZE, ePackage_TG144, false, 0x012B3043, "lcmxo2_2000ze_tqfp144.bsd", ePinSet_LCMXO2_2000_TQ144},
    {eLCMXO2_2000ZE, ePackage_BG256, false, 0x012B3043, "lcmxo2_2000ze_cabga256.bsd", ePinSet_LCMXO2_2000_GA256},
    {eLCMXO2_2000ZE, ePackage_FTG256, false, 0x012B3043, "lcmxo2_2000ze_ftbga256.bsd", ePinSet_LCMXO2_2000_GA256},
    {eLCMXO2_4000HC, ePackage_MG132, false, 0x012BC043, "lcmxo2_4000hc_csbga132.bsd", ePinSet_LCMXO2_4000_GA132},
    {eLCMXO2_4000HC, ePackage_TG144, false, 0x012BC043, "lcmxo2_4000hc_tqfp144.bsd", ePinSet_LCMXO2_4000_TQ144},
    {eLCMXO2_4000HC, ePackage_BG256, false, 0x012BC043, "lcmxo2_4000hc_cabga256.bsd", ePinSet_LCMXO2_4000_GA256},
    {eLCMXO2_4000HC, ePackage_FTG256, false, 0x012BC043, "lcmxo2_4000hc_ftbga256.bsd", ePinSet_LCMXO2_4000_GA256},
    {eLCMXO2_4000HC, ePackage_BG332, false, 0x012BC043, "lcmxo2_4000hc_cabga332.bsd", ePinSet_LCMXO2_4000_GA332},
    {eLCMXO2_4000HC, ePackage_FG484, false, 0x012BC043, "lcmxo2_4000hc_fpbga484.bsd", ePinSet_LCMXO2_4000_GA484},
    {eLCMXO2_4000HE, ePackage_MG132, false, 0x012B4043, "lcmxo2_4000ze_csbga132.bsd", ePinSet_LCMXO2_4000_GA132},
    {eLCMXO2_4000HE, ePackage_TG144, false, 0x012B4043, "lcmxo2_4000ze_tqfp144.bsd", ePinSet_LCMXO2_4000_TQ144},
    {eLCMXO2_4000HE, ePackage_BG256, false, 0x012B4043, "lcmxo2_4000ze_cabga256.bsd", ePinSet_LCMXO2_4000_GA256},
    {eLCMXO2_4000HE, ePackage_FTG256, false, 0x012B4043, "lcmxo2_4000ze_ftbga256.bsd", ePinSet_LCMXO2_4000_GA256},
    {eLCMXO2_4000HE, ePackage_BG332, false, 0x012B4043, "lcmxo2_4000ze_cabga332.bsd", ePinSet_LCMXO2_4000_GA332},
    {eLCMXO2_4000HE, ePackage_FG484, false, 0x012B4043, "lcmxo2_4000ze_fpbga484.bsd", ePinSet_LCMXO2_4000_GA484},
    {eLCMXO2_4000ZE, ePackage_MG132, false, 0x012B4043, "lcmxo2_4000ze_csbga132.bsd", ePinSet_LCMXO2_4000_GA132},
    {eLCMXO2_4000ZE, ePackage_TG144, false, 0x012B4043, "lcmxo2_4000ze_tqfp144.bsd", ePinSet_LCMXO2_4000_TQ144},
    {eLCMXO2_4000ZE, ePackage_BG256, false, 0x012B4043, "lcmxo2_4000ze_cabga256.bsd", ePinSet_LCMXO2_4000_GA256},
    {eLCMXO2_4000ZE, ePackage_FTG256, false, 0x012B4043, "lcmxo2_4000ze_ftbga256.bsd", ePinSet_LCMXO2_4000_GA256},
    {eLCMXO2_4000ZE, ePackage_BG332, false, 0x012B4043, "lcmxo2_4000ze_cabga332.bsd", ePinSet_LCMXO2_4000_GA332},
    {eLCMXO2_4000ZE, ePackage_FG484, false, 0x012B4043, "lcmxo2_4000ze_fpbga484.bsd", ePinSet_LCMXO2_4000_GA484},
    {eLCMXO2_7000HC, ePackage_TG144, false, 0x012BD043, "lcmxo2_7000hc_tqfp144.bsd", ePinSet_LCMXO2_7000_TQ144},
    {eLCMXO2_7000HC, ePackage_BG256, false, 0x012BD043, "lcmxo2_7000hc_cabga256.bsd", ePinSet_LCMXO2_7000_GA256},
    {eLCMXO2_7000HC, ePackage_FTG256, false, 0x012BD043, "lcmxo2_7000hc_ftbga256.bsd", ePinSet_LCMXO2_7000_GA256},
    {eLCMXO2_7000HC, ePackage_BG332, false, 0x012BD043, "lcmxo2_7000hc_cabga332.bsd", ePinSet_LCMXO2_7000_GA332},
    {eLCMXO2_7000HC, ePackage_FG484, false, 0x012BD043, "lcmxo2_7000hc_fpbga484.bsd", ePinSet_LCMXO2_7000_GA484},
    {eLCMXO2_7000HE, ePackage_TG144, false, 0x012B5043, "lcmxo2_7000ze_tqfp144.bsd", ePinSet_LCMXO2_7000_TQ144},
    {eLCMXO2_7000HE, ePackage_BG256, false, 0x012B5043, "lcmxo2_7000ze_cabga256.bsd", ePinSet_LCMXO2_7000_GA256},
    {eLCMXO2_7000HE, ePackage_FTG256, false, 0x012B5043, "lcmxo2_7000ze_ftbga256.bsd", ePinSet_LCMXO2_7000_GA256},
    {eLCMXO2_7000HE, ePackage_BG332, false, 0x012B5043, "lcmxo2_7000ze_cabga332.bsd", ePinSet_LCMXO2_7000_GA332},
    {eLCMXO2_7000HE, ePackage_FG484, false, 0x012B5043, "lcmxo2_7000ze_fpbga484.bsd", ePinSet_LCMXO2_7000_GA484},
    {eLCMXO2_7000ZE, ePackage_TG144, false, 0x012B5043, "lcmxo2_7000ze_tqfp144.bsd", ePinSet_LCMXO2_7000_TQ144},
    {eLCMXO2_7000ZE, ePackage_BG256, false, 0x012B5043, "lcmxo2_7000ze_cabga256.bsd", ePinSet_LCMXO2_7000_GA256},
    {eLCMXO2_7000ZE, ePackage_FTG256, false, 0x012B5043, "lcmxo2_7000ze_ftbga256.bsd", ePinSet_LCMXO2_7000_GA256},
    {eLCMXO2_7000ZE, ePackage_BG332, false, 0x012B5043, "lcmxo2_7000ze_cabga332.bsd", ePinSet_LCMXO2_7000_GA332},
    {eLCMXO2_7000ZE, ePackage_FG484, false, 0x012B5043, "lcmxo2_7000ze_fpbga484.bsd", ePinSet_LCMXO2_7000_GA484},
}};

constexpr int32_t OptionCount(const TKindGroup& group) { return group.HasR1 ? 2 : 1; }

constexpr int32_t GroupKindCount(const TKindGroup& group) {
  return kSpeedGradesPerBase * kTemperatureGradeCount * OptionCount(group);
}

constexpr int32_t TotalKindCount() {
  int32_t count = 0;
  for (const TKindGroup& group : kKindGroups) count += GroupKindCount(group);
  return count;
}
static_assert(TotalKindCount() == kDeviceKindCount,
              "the kind groups must expand into exactly the published kind count");

// A group that names a (base, package) pair without a device-package row
// would leave its kinds without resources; the search fails to compile then.
constexpr TDevicePackage FindDevicePackage(TBaseNameId base, TPackage package) {
  for (const TDevicePackageRow& row : kDevicePackages) {
    if (row.Base == base && row.Package == package) return row.Key;
  }
  throw std::logic_error("kind group without a device-package row");
}

// The variable part of one kind: which group, and the grades and option.
struct TKindVariant {
  int32_t Group;
  TSpeedGrade Speed;
  TTemperatureGrade Temperature;
  TOptionDesignator Option;
};

// Groups in table order; inside a group speed grade ascending, then C before
// I, then the standard part before its R1 twin.
constexpr std::array<TKindVariant, kDeviceKindCount> EnumerateKinds() {
  std::array<TKindVariant, kDeviceKindCount> kinds{};
  std::size_t next = 0;
  for (int32_t g = 0; g < static_cast<int32_t>(kKindGroups.size()); ++g) {
    const TKindGroup& group = kKindGroups[g];
    const int32_t slowest = SlowestSpeedGrade(group.Base);
    for (int32_t speed = slowest; speed < slowest + kSpeedGradesPerBase; ++speed) {
      for (int32_t temperature = 0; temperature < kTemperatureGradeCount; ++temperature) {
        for (int32_t option = 0; option < OptionCount(group); ++option) {
          kinds[next++] = {g, static_cast<TSpeedGrade>(speed),
                           static_cast<TTemperatureGrade>(temperature),
                           static_cast<TOptionDesignator>(option)};
        }
      }
    }
  }
  return kinds;
}
constexpr std::array<TKindVariant, kDeviceKindCount> kKindVariants = EnumerateKinds();

// The part number: base name, "-", speed Id, package Id, temperature Id and,
// for the R1 option only, "R1" («LCMXO2-1200HC-5TG100CR1»).
constexpr std::array<std::string_view, 6> NameParts(const TKindVariant& kind) {
  const TKindGroup& group = kKindGroups[kind.Group];
  const std::string_view option =
      kind.Option == eOptionDesignator_None ? "" : kOptionDesignators[kind.Option].Strings.Id;
  return {kBases[group.Base].Parameters.Name, "-", kSpeedGrades[kind.Speed].Strings.Id,
          kPackages[group.Package].Strings.Id, kTemperatureGrades[kind.Temperature].Strings.Id,
          option};
}

constexpr std::size_t NameLength(const TKindVariant& kind) {
  std::size_t length = 0;
  for (std::string_view part : NameParts(kind)) length += part.size();
  return length;
}

constexpr std::size_t TotalNameLength() {
  std::size_t length = 0;
  for (const TKindVariant& kind : kKindVariants) length += NameLength(kind);
  return length;
}

// All part numbers back to back; each kind's FullName is a view into it.
struct TNameStorage {
  std::array<char, TotalNameLength()> Chars{};
  std::array<std::size_t, kDeviceKindCount> Offset{};
  std::array<std::size_t, kDeviceKindCount> Length{};
};

constexpr TNameStorage BuildNames() {
  TNameStorage names;
  std::size_t next = 0;
  for (std::size_t k = 0; k < kKindVariants.size(); ++k) {
    names.Offset[k] = next;
    for (std::string_view part : NameParts(kKindVariants[k])) {
      for (char c : part) names.Chars[next++] = c;
    }
    names.Length[k] = next - names.Offset[k];
  }
  return names;
}
constexpr TNameStorage kNames = BuildNames();

constexpr int32_t kInstructionLength = 8;

constexpr std::array<TDeviceParameters, kDeviceKindCount> BuildDevices() {
  std::array<TDeviceParameters, kDeviceKindCount> devices{};
  for (std::size_t k = 0; k < devices.size(); ++k) {
    const TKindVariant& kind = kKindVariants[k];
    const TKindGroup& group = kKindGroups[kind.Group];
    devices[k] = {.Kind = static_cast<TDeviceKind>(k),
                  .FullName = std::string_view(kNames.Chars.data() + kNames.Offset[k],
                                               kNames.Length[k]),
                  .IdCode = group.IdCode,
                  .BaseName = group.Base,
                  .Package = group.Package,
                  .PackageType = kPackages[group.Package].Type,
                  .TemperatureGrade = kind.Temperature,
                  .SpeedGrade = kind.Speed,
                  .OptionDesignator = kind.Option,
                  .BSDL = group.Bsdl,
                  .PinSet = group.PinSet,
                  .InstructionLength = kInstructionLength,
                  .DevicePackage = FindDevicePackage(group.Base, group.Package)};
  }
  return devices;
}
constexpr std::array<TDeviceParameters, kDeviceKindCount> kDevices = BuildDevices();

static_assert(kDevices[0].FullName == "LCMXO2-256HC-4UMG64C");
static_assert(kDevices[kDeviceKindCount - 1].FullName == "LCMXO2-7000ZE-3FG484I");

// --- Look-up helpers -------------------------------------------------------

template <typename Table>
const auto& RowAt(const Table& table, int64_t index, std::string_view what) {
  if (index < 0 || index >= static_cast<int64_t>(table.size())) {
    throw std::out_of_range(std::string(what) + " " + std::to_string(index) +
                            " is outside 0.." + std::to_string(table.size() - 1));
  }
  return table[static_cast<std::size_t>(index)];
}

constexpr char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

bool SameTextAscii(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

}  // namespace

const TPackageStrings& PackageStrings(TPackage package) {
  return RowAt(kPackages, package, "package").Strings;
}

const TPackageTypeStrings& PackageTypeStrings(TPackageType packageType) {
  return RowAt(kPackageTypes, packageType, "package type").Strings;
}

const TGradeStrings& SpeedGradeStrings(TSpeedGrade speedGrade) {
  return RowAt(kSpeedGrades, speedGrade, "speed grade").Strings;
}

const TGradeStrings& TemperatureGradeStrings(TTemperatureGrade temperatureGrade) {
  return RowAt(kTemperatureGrades, temperatureGrade, "temperature grade").Strings;
}

const TGradeStrings& OptionDesignatorStrings(TOptionDesignator option) {
  return RowAt(kOptionDesignators, option, "option designator").Strings;
}

const TBaseNameIdParameters& BaseParameters(TBaseNameId base) {
  return RowAt(kBases, base, "base device").Parameters;
}

const TDevicePackageResources& PackageResources(TDevicePackage devicePackage) {
  return RowAt(kResources, devicePackage, "device package");
}

const TPinSetFigures& PinSetFigures(TDevicePinSet pinSet) {
  return RowAt(kPinSets, pinSet, "pin set").Figures;
}

const TDeviceParameters& DeviceParameters(TDeviceKind kind) {
  return RowAt(kDevices, kind, "device kind");
}

std::optional<TDeviceKind> FindDeviceKind(std::string_view fullName) {
  for (const TDeviceParameters& device : kDevices) {
    if (SameTextAscii(device.FullName, fullName)) return device.Kind;
  }
  return std::nullopt;
}

std::string EnumerationName(TDeviceKind kind) {
  std::string name = "e";
  name += DeviceParameters(kind).FullName;
  for (char& c : name) {
    if (c == '-') c = '_';
  }
  return name;
}

}  // namespace machxo2

// The catalogue's kinds are generated from group rows; these tests check the
// generated records against the rules the part numbers follow and against
// the published figures, over every kind.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "devices/machxo2/Catalogue.h"

namespace machxo2 {
namespace {

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

std::string Upper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper;
}

// "LCMXO2-2000HE" -> "2000" and "HE".
std::string BaseSize(TBaseNameId base) {
  const std::string_view name = BaseParameters(base).Name.substr(std::string_view("LCMXO2-").size());
  return std::string(name.substr(0, name.find_first_not_of("0123456789")));
}

std::string BaseVoltage(TBaseNameId base) {
  const std::string_view name = BaseParameters(base).Name;
  return std::string(name.substr(name.find_first_not_of("0123456789", 7)));
}

std::string NameByRule(const TDeviceParameters& device) {
  std::string name(BaseParameters(device.BaseName).Name);
  name += "-";
  name += SpeedGradeStrings(device.SpeedGrade).Id;
  name += PackageStrings(device.Package).Id;
  name += TemperatureGradeStrings(device.TemperatureGrade).Id;
  if (device.OptionDesignator == eOptionDesignator_R1) name += "R1";
  return name;
}

std::vector<const TDeviceParameters*> AllKinds() {
  std::vector<const TDeviceParameters*> kinds;
  for (TDeviceKind kind = 0; kind < kDeviceKindCount; ++kind) kinds.push_back(&DeviceParameters(kind));
  return kinds;
}

// First kind of each (base, package) group, as published.
constexpr int kGroupStarts[] = {
    0,   6,   12,  18,  24,  30,  36,  42,  48,  54,  60,  72,  84,  96,  108, 120,
    132, 138, 144, 150, 156, 162, 168, 174, 180, 186, 192, 198, 204, 210, 216, 222,
    228, 234, 240, 246, 252, 258, 264, 270, 276, 282, 288, 294, 300, 306, 312, 318,
    324, 330, 336, 342, 348, 354, 360, 366, 372, 378, 384, 390, 396, 402, 408, 414};

TEST(CatalogueKinds, NamesFollowTheNamingRule) {
  for (const TDeviceParameters* device : AllKinds()) {
    SCOPED_TRACE(device->Kind);
    EXPECT_EQ(device->FullName, NameByRule(*device));
    std::string enumeration = "e" + std::string(device->FullName);
    std::replace(enumeration.begin(), enumeration.end(), '-', '_');
    EXPECT_EQ(EnumerationName(device->Kind), enumeration);
  }
}

TEST(CatalogueKinds, PublishedNamesSitAtTheirKinds) {
  const struct {
    TDeviceKind Kind;
    std::string_view Name;
    std::string_view Enumeration;
  } cases[] = {
      {0, "LCMXO2-256HC-4UMG64C", "eLCMXO2_256HC_4UMG64C"},
      {19, "LCMXO2-256ZE-1UMG64I", "eLCMXO2_256ZE_1UMG64I"},
      {60, "LCMXO2-1200HC-4TG100C", "eLCMXO2_1200HC_4TG100C"},
      {61, "LCMXO2-1200HC-4TG100CR1", "eLCMXO2_1200HC_4TG100CR1"},
      {62, "LCMXO2-1200HC-4TG100I", "eLCMXO2_1200HC_4TG100I"},
      {63, "LCMXO2-1200HC-4TG100IR1", "eLCMXO2_1200HC_4TG100IR1"},
      {65, "LCMXO2-1200HC-5TG100CR1", "eLCMXO2_1200HC_5TG100CR1"},
      {71, "LCMXO2-1200HC-6TG100IR1", "eLCMXO2_1200HC_6TG100IR1"},
      {162, "LCMXO2-2000HE-4TG100C", "eLCMXO2_2000HE_4TG100C"},
      {419, "LCMXO2-7000ZE-3FG484I", "eLCMXO2_7000ZE_3FG484I"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(DeviceParameters(c.Kind).FullName, c.Name);
    EXPECT_EQ(EnumerationName(c.Kind), c.Enumeration);
  }
}

TEST(CatalogueKinds, GroupsSpanThePublishedRangesInGradeOrder) {
  const std::vector<int> starts(std::begin(kGroupStarts), std::end(kGroupStarts));
  for (size_t g = 0; g < starts.size(); ++g) {
    const int first = starts[g];
    const int end = g + 1 < starts.size() ? starts[g + 1] : kDeviceKindCount;
    const TDeviceParameters& head = DeviceParameters(first);
    SCOPED_TRACE(head.FullName);
    if (first > 0) {
      const TDeviceParameters& previous = DeviceParameters(first - 1);
      EXPECT_FALSE(previous.BaseName == head.BaseName && previous.Package == head.Package);
    }

    const bool hasR1 = BaseSize(head.BaseName) == "1200";
    EXPECT_EQ(end - first, hasR1 ? 12 : 6);
    const int slowest = BaseVoltage(head.BaseName) == "ZE" ? eSpeedGrade_1 : eSpeedGrade_4;
    int kind = first;
    for (int speed = slowest; speed < slowest + 3; ++speed) {
      for (int temperature : {eTemperatureGrade_C, eTemperatureGrade_I}) {
        for (int option = 0; option < (hasR1 ? 2 : 1); ++option, ++kind) {
          const TDeviceParameters& device = DeviceParameters(kind);
          EXPECT_EQ(device.SpeedGrade, speed) << device.FullName;
          EXPECT_EQ(device.TemperatureGrade, temperature) << device.FullName;
          EXPECT_EQ(device.OptionDesignator, option) << device.FullName;
          // Everything but the grades and option is the group's.
          EXPECT_EQ(device.BaseName, head.BaseName);
          EXPECT_EQ(device.Package, head.Package);
          EXPECT_EQ(device.IdCode, head.IdCode);
          EXPECT_EQ(device.BSDL, head.BSDL);
          EXPECT_EQ(device.PinSet, head.PinSet);
          EXPECT_EQ(device.DevicePackage, head.DevicePackage);
          EXPECT_EQ(device.PackageType, head.PackageType);
          EXPECT_EQ(device.InstructionLength, 8);
          EXPECT_EQ(device.Kind, kind);
        }
      }
    }
  }
}

TEST(CatalogueKinds, FieldsFollowBaseAndPackage) {
  const std::map<TPackage, TPackageType> packageTypes = {
      {ePackage_BG256, ePackageType_BG},   {ePackage_BG332, ePackageType_BG},
      {ePackage_FG484, ePackageType_FG},   {ePackage_FTG256, ePackageType_FTG},
      {ePackage_MG132, ePackageType_MG},   {ePackage_TG100, ePackageType_TG},
      {ePackage_TG144, ePackageType_TG},   {ePackage_UMG64, ePackageType_UMG}};
  const std::map<TPackage, int> packagePins = {
      {ePackage_BG256, 256}, {ePackage_BG332, 332}, {ePackage_FG484, 484}, {ePackage_FTG256, 256},
      {ePackage_MG132, 132}, {ePackage_TG100, 100}, {ePackage_TG144, 144}, {ePackage_UMG64, 64}};
  // The die number in the IDCODE; HC parts add 8 to it.
  const std::map<std::string, uint32_t> dieCode = {{"256", 0}, {"640", 1},  {"1200", 2},
                                                   {"2000", 3}, {"4000", 4}, {"7000", 5}};

  for (const TDeviceParameters* device : AllKinds()) {
    SCOPED_TRACE(device->FullName);
    const std::string size = BaseSize(device->BaseName);
    const std::string voltage = BaseVoltage(device->BaseName);
    ASSERT_TRUE(voltage == "HC" || voltage == "HE" || voltage == "ZE") << "UHC/UHE bases have no kinds";

    EXPECT_EQ(device->PackageType, packageTypes.at(device->Package));
    if (device->OptionDesignator == eOptionDesignator_R1) {
      EXPECT_EQ(size, "1200");
    }

    const uint32_t die = dieCode.at(size) + (voltage == "HC" ? 8 : 0);
    EXPECT_EQ(device->IdCode, 0x012B0043u | (die << 12));

    // HE parts are ZE dies and use the ZE descriptions.
    const std::string bsdlVoltage = voltage == "HC" ? "hc" : "ze";
    EXPECT_EQ(device->BSDL, "lcmxo2_" + size + bsdlVoltage + "_" +
                                Lower(PackageStrings(device->Package).Name) + ".bsd");

    const TPinSetFigures& pins = PinSetFigures(device->PinSet);
    EXPECT_EQ(pins.PinCount, packagePins.at(device->Package));
    EXPECT_LE(pins.IOCount, BaseParameters(device->BaseName).MaxIO);
  }
}

TEST(CatalogueKinds, SameDieSharesPinSetsAndHeSharesZeIdentity) {
  // (size, package) -> one pin set; (size, voltage, package) -> one group row.
  std::map<std::pair<std::string, TPackage>, TDevicePinSet> pinSetOfBond;
  std::map<std::pair<std::string, TPackage>, const TDeviceParameters*> zeOf;
  for (const TDeviceParameters* device : AllKinds()) {
    if (BaseVoltage(device->BaseName) == "ZE") zeOf[{BaseSize(device->BaseName), device->Package}] = device;
  }
  std::set<std::string_view> bsdlFiles;
  std::map<TDevicePinSet, std::string> sizeOfPinSet;
  for (const TDeviceParameters* device : AllKinds()) {
    SCOPED_TRACE(device->FullName);
    const std::string size = BaseSize(device->BaseName);
    const TPackage bond = device->Package == ePackage_FTG256 ? ePackage_BG256 : device->Package;
    const auto [it, added] = pinSetOfBond.emplace(std::pair{size, bond}, device->PinSet);
    EXPECT_EQ(it->second, device->PinSet);
    // A pin set belongs to one die.
    EXPECT_EQ(sizeOfPinSet.emplace(device->PinSet, size).first->second, size);

    const TDeviceParameters* ze = zeOf.at({size, device->Package});
    if (BaseVoltage(device->BaseName) == "HC") {
      EXPECT_NE(device->IdCode, ze->IdCode);
      EXPECT_NE(device->BSDL, ze->BSDL);
    } else {
      EXPECT_EQ(device->IdCode, ze->IdCode);
      EXPECT_EQ(device->BSDL, ze->BSDL);
    }
    bsdlFiles.insert(device->BSDL);
  }
  EXPECT_EQ(bsdlFiles.size(), 48u) << "one built-in description per package variant";
  EXPECT_EQ(pinSetOfBond.size(), 21u);
  EXPECT_EQ(sizeOfPinSet.size(), 21u) << "every pin set but the three U sets is used";
}

TEST(CatalogueKinds, DevicePackagesFollowGroupOrderAndSkipUltraBases) {
  std::set<TDevicePackage> used;
  TDevicePackage previous = eDevicePackage_LCMXO2_256HC_UMG64;
  for (const TDeviceParameters* device : AllKinds()) {
    EXPECT_GE(device->DevicePackage, previous) << device->FullName;
    previous = device->DevicePackage;
    used.insert(device->DevicePackage);
  }
  for (int first : kGroupStarts) {
    EXPECT_EQ(used.count(DeviceParameters(first).DevicePackage), 1u);
  }
  EXPECT_EQ(used.size(), 64u);
  std::set<TDevicePackage> unused;
  for (int value = 0; value < kDevicePackageCount; ++value) {
    if (!used.count(static_cast<TDevicePackage>(value))) unused.insert(static_cast<TDevicePackage>(value));
  }
  EXPECT_EQ(unused, (std::set<TDevicePackage>{
                        eDevicePackage_LCMXO2_640UHC_TG144, eDevicePackage_LCMXO2_1200UHC_FTG256,
                        eDevicePackage_LCMXO2_2000UHC_FG484, eDevicePackage_LCMXO2_2000UHE_FG484}));
}

TEST(CatalogueKinds, TellingExamples) {
  const TDeviceParameters& first = DeviceParameters(0);
  EXPECT_EQ(first.IdCode, 0x012B8043u);
  EXPECT_EQ(PackageStrings(first.Package).Id, "UMG64");
  EXPECT_EQ(PackageTypeStrings(first.PackageType).Id, "UMG");
  EXPECT_EQ(SpeedGradeStrings(first.SpeedGrade).Id, "4");
  EXPECT_EQ(TemperatureGradeStrings(first.TemperatureGrade).Id, "C");
  EXPECT_EQ(OptionDesignatorStrings(first.OptionDesignator).Id, "None");
  EXPECT_EQ(first.BSDL, "lcmxo2_256hc_ucbga64.bsd");

  const TDeviceParameters& r1 = DeviceParameters(61);
  EXPECT_EQ(OptionDesignatorStrings(r1.OptionDesignator).Name, "R1");
  EXPECT_EQ(r1.IdCode, 0x012BA043u);
  EXPECT_EQ(r1.BSDL, DeviceParameters(60).BSDL);

  const TDeviceParameters& last = DeviceParameters(419);
  const TBaseNameIdParameters& base = BaseParameters(last.BaseName);
  EXPECT_EQ(base.Name, "LCMXO2-7000ZE");
  EXPECT_EQ(base.EquivalentGates, 6864);
  EXPECT_EQ(base.MaxIO, 335);
  EXPECT_EQ(PackageResources(last.DevicePackage).MemorySize, 54);

  const TDeviceParameters& he = DeviceParameters(*FindDeviceKind("LCMXO2-2000HE-5MG132I"));
  EXPECT_EQ(he.IdCode, 0x012B3043u);
  EXPECT_EQ(he.BSDL, "lcmxo2_2000ze_csbga132.bsd");

  EXPECT_EQ(SpeedGradeStrings(DeviceParameters(*FindDeviceKind("LCMXO2-256ZE-1UMG64C")).SpeedGrade)
                .Description,
            "Speed Grade 1 (Slowest)");
  EXPECT_EQ(SpeedGradeStrings(DeviceParameters(*FindDeviceKind("LCMXO2-256HC-6UMG64C")).SpeedGrade)
                .Description,
            "Speed Grade 6 (Fastest)");
}

TEST(CatalogueTables, ResourcesDependOnlyOnDieSize) {
  const std::map<std::string, int> memoryBySize = {{"256", 2},   {"640", 5},   {"1200", 10},
                                                   {"2000", 16}, {"4000", 34}, {"7000", 54}};
  const std::map<std::string, int> gatesBySize = {{"256", 256},   {"640", 640},   {"1200", 1280},
                                                  {"2000", 2112}, {"4000", 4320}, {"7000", 6864}};
  for (int value = 0; value < kBaseNameIdCount; ++value) {
    const auto base = static_cast<TBaseNameId>(value);
    EXPECT_EQ(BaseParameters(base).EquivalentGates, gatesBySize.at(BaseSize(base)))
        << BaseParameters(base).Name;
  }
  for (const TDeviceParameters* device : AllKinds()) {
    const TDevicePackageResources& resources = PackageResources(device->DevicePackage);
    SCOPED_TRACE(device->FullName);
    EXPECT_EQ(resources.MemorySize, memoryBySize.at(BaseSize(device->BaseName)));
    EXPECT_EQ(resources.DSPMultiplierCount, 0);
    EXPECT_EQ(resources.ClockManagerCount, 0);
    EXPECT_TRUE(resources.TerminationSupport);
    EXPECT_EQ(resources.GlobalClockCount, 8);
    EXPECT_EQ(resources.ConfigMemorySize, 0);
  }
  EXPECT_EQ(PackageResources(eDevicePackage_LCMXO2_640UHC_TG144).MemorySize, 5);
  EXPECT_EQ(PackageResources(eDevicePackage_LCMXO2_2000UHE_FG484).MemorySize, 16);
}

TEST(CatalogueLookup, FindDeviceKindRoundTripsEveryNameInAnyCase) {
  for (const TDeviceParameters* device : AllKinds()) {
    EXPECT_EQ(FindDeviceKind(device->FullName), device->Kind);
    EXPECT_EQ(FindDeviceKind(Lower(device->FullName)), device->Kind);
    EXPECT_EQ(FindDeviceKind(Upper(device->FullName)), device->Kind);
  }
}

TEST(CatalogueLookup, FindDeviceKindRejectsNamesNotOffered) {
  for (std::string_view name : {"", "LCMXO2-256HC-4UMG64", "LCMXO2-256HC-4UMG64CX",
                                " LCMXO2-256HC-4UMG64C", "LCMXO2-256HC-4UMG64CR1",
                                "LCMXO2-256HC-1UMG64C", "LCMXO2-640UHC-4TG144C",
                                "LCMXO2-7000ZE-3FG484", "LCMXO2_256HC_4UMG64C"}) {
    EXPECT_EQ(FindDeviceKind(name), std::nullopt) << name;
  }
}

TEST(CatalogueLookup, OutOfRangeValuesThrowWithTheValue) {
  const auto messageOf = [](auto&& call) -> std::string {
    try {
      call();
    } catch (const std::out_of_range& error) {
      return error.what();
    }
    return "no exception";
  };
  EXPECT_EQ(messageOf([] { DeviceParameters(kDeviceKindCount); }),
            "device kind 420 is outside 0..419");
  EXPECT_EQ(messageOf([] { DeviceParameters(-1); }), "device kind -1 is outside 0..419");
  EXPECT_EQ(messageOf([] { EnumerationName(500); }), "device kind 500 is outside 0..419");
  EXPECT_EQ(messageOf([] { PinSetFigures(static_cast<TDevicePinSet>(kDevicePinSetCount)); }),
            "pin set 24 is outside 0..23");
  EXPECT_EQ(messageOf([] { PackageStrings(static_cast<TPackage>(-3)); }),
            "package -3 is outside 0..7");
}

TEST(CataloguePinSets, FiguresMatchThePublishedTable) {
  const struct {
    TDevicePinSet PinSet;
    TPinSetFigures Expected;
  } cases[] = {
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
  };
  ASSERT_EQ(std::size(cases), static_cast<size_t>(kDevicePinSetCount));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.PinSet);
    const TPinSetFigures& actual = PinSetFigures(c.PinSet);
    EXPECT_EQ(actual.PinCount, c.Expected.PinCount);
    EXPECT_EQ(actual.IOCount, c.Expected.IOCount);
    EXPECT_EQ(actual.DiffCount, c.Expected.DiffCount);
    EXPECT_EQ(actual.HSpeedDiffCount, 0);
    EXPECT_EQ(actual.BankCount, c.Expected.BankCount);
    EXPECT_EQ(actual.ClockPinCount, c.Expected.ClockPinCount);
    EXPECT_EQ(actual.DllPinCount, c.Expected.DllPinCount);
    EXPECT_EQ(actual.HasPci33, c.Expected.HasPci33);
    // Pairs take two IO pins each; at most three IO pins are left unpaired.
    const int unpaired = actual.IOCount - 2 * actual.DiffCount;
    EXPECT_GE(unpaired, 0);
    EXPECT_LE(unpaired, 3);
  }
}

}  // namespace
}  // namespace machxo2

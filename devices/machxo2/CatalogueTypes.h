// The value types of the MachXO2 device catalogue: the enumerations that
// describe a part number and the records the catalogue tables are made of.
// Every enumeration is stored as a 32-bit value inside the records, and the
// order of the values is part of the module's interface (drivers are created
// by index, and the pin and boundary-scan tables are indexed by these values).
#pragma once

#include <cstdint>
#include <string_view>

namespace machxo2 {

enum TPackage : int32_t {
  ePackage_BG256,
  ePackage_BG332,
  ePackage_FG484,
  ePackage_FTG256,
  ePackage_MG132,
  ePackage_TG100,
  ePackage_TG144,
  ePackage_UMG64,
};
inline constexpr int32_t kPackageCount = 8;

enum TPackageType : int32_t {
  ePackageType_BG,
  ePackageType_FG,
  ePackageType_FTG,
  ePackageType_MG,
  ePackageType_TG,
  ePackageType_UMG,
};
inline constexpr int32_t kPackageTypeCount = 6;

// Grades 1..3 belong to the low-power ZE parts, 4..6 to the HC and HE parts.
enum TSpeedGrade : int32_t {
  eSpeedGrade_1,
  eSpeedGrade_2,
  eSpeedGrade_3,
  eSpeedGrade_4,
  eSpeedGrade_5,
  eSpeedGrade_6,
};
inline constexpr int32_t kSpeedGradeCount = 6;

enum TTemperatureGrade : int32_t {
  eTemperatureGrade_C,
  eTemperatureGrade_I,
};
inline constexpr int32_t kTemperatureGradeCount = 2;

enum TOptionDesignator : int32_t {
  eOptionDesignator_None,
  eOptionDesignator_R1,
};
inline constexpr int32_t kOptionDesignatorCount = 2;

// The base devices. The UHC and UHE bases have catalogue rows of their own
// but no device kind refers to them.
enum TBaseNameId : int32_t {
  eLCMXO2_256HC,
  eLCMXO2_256ZE,
  eLCMXO2_640HC,
  eLCMXO2_640UHC,
  eLCMXO2_640ZE,
  eLCMXO2_1200HC,
  eLCMXO2_1200UHC,
  eLCMXO2_1200ZE,
  eLCMXO2_2000HC,
  eLCMXO2_2000HE,
  eLCMXO2_2000UHC,
  eLCMXO2_2000UHE,
  eLCMXO2_2000ZE,
  eLCMXO2_4000HC,
  eLCMXO2_4000HE,
  eLCMXO2_4000ZE,
  eLCMXO2_7000HC,
  eLCMXO2_7000HE,
  eLCMXO2_7000ZE,
};
inline constexpr int32_t kBaseNameIdCount = 19;

// One value per (base device, package) pair that the catalogue knows.
enum TDevicePackage : int32_t {
  eDevicePackage_LCMXO2_256HC_UMG64,
  eDevicePackage_LCMXO2_256HC_TG100,
  eDevicePackage_LCMXO2_256HC_MG132,
  eDevicePackage_LCMXO2_256ZE_UMG64,
  eDevicePackage_LCMXO2_256ZE_TG100,
  eDevicePackage_LCMXO2_256ZE_MG132,
  eDevicePackage_LCMXO2_640HC_TG100,
  eDevicePackage_LCMXO2_640HC_MG132,
  eDevicePackage_LCMXO2_640UHC_TG144,
  eDevicePackage_LCMXO2_640ZE_TG100,
  eDevicePackage_LCMXO2_640ZE_MG132,
  eDevicePackage_LCMXO2_1200HC_TG100,
  eDevicePackage_LCMXO2_1200HC_MG132,
  eDevicePackage_LCMXO2_1200HC_TG144,
  eDevicePackage_LCMXO2_1200UHC_FTG256,
  eDevicePackage_LCMXO2_1200ZE_TG100,
  eDevicePackage_LCMXO2_1200ZE_MG132,
  eDevicePackage_LCMXO2_1200ZE_TG144,
  eDevicePackage_LCMXO2_2000HC_TG100,
  eDevicePackage_LCMXO2_2000HC_MG132,
  eDevicePackage_LCMXO2_2000HC_TG144,
  eDevicePackage_LCMXO2_2000HC_BG256,
  eDevicePackage_LCMXO2_2000HC_FTG256,
  eDevicePackage_LCMXO2_2000HE_TG100,
  eDevicePackage_LCMXO2_2000HE_MG132,
  eDevicePackage_LCMXO2_2000HE_TG144,
  eDevicePackage_LCMXO2_2000HE_BG256,
  eDevicePackage_LCMXO2_2000HE_FTG256,
  eDevicePackage_LCMXO2_2000UHC_FG484,
  eDevicePackage_LCMXO2_2000UHE_FG484,
  eDevicePackage_LCMXO2_2000ZE_TG100,
  eDevicePackage_LCMXO2_2000ZE_MG132,
  eDevicePackage_LCMXO2_2000ZE_TG144,
  eDevicePackage_LCMXO2_2000ZE_BG256,
  eDevicePackage_LCMXO2_2000ZE_FTG256,
  eDevicePackage_LCMXO2_4000HC_MG132,
  eDevicePackage_LCMXO2_4000HC_TG144,
  eDevicePackage_LCMXO2_4000HC_BG256,
  eDevicePackage_LCMXO2_4000HC_FTG256,
  eDevicePackage_LCMXO2_4000HC_BG332,
  eDevicePackage_LCMXO2_4000HC_FG484,
  eDevicePackage_LCMXO2_4000HE_MG132,
  eDevicePackage_LCMXO2_4000HE_TG144,
  eDevicePackage_LCMXO2_4000HE_BG256,
  eDevicePackage_LCMXO2_4000HE_FTG256,
  eDevicePackage_LCMXO2_4000HE_BG332,
  eDevicePackage_LCMXO2_4000HE_FG484,
  eDevicePackage_LCMXO2_4000ZE_MG132,
  eDevicePackage_LCMXO2_4000ZE_TG144,
  eDevicePackage_LCMXO2_4000ZE_BG256,
  eDevicePackage_LCMXO2_4000ZE_FTG256,
  eDevicePackage_LCMXO2_4000ZE_BG332,
  eDevicePackage_LCMXO2_4000ZE_FG484,
  eDevicePackage_LCMXO2_7000HC_TG144,
  eDevicePackage_LCMXO2_7000HC_BG256,
  eDevicePackage_LCMXO2_7000HC_FTG256,
  eDevicePackage_LCMXO2_7000HC_BG332,
  eDevicePackage_LCMXO2_7000HC_FG484,
  eDevicePackage_LCMXO2_7000HE_TG144,
  eDevicePackage_LCMXO2_7000HE_BG256,
  eDevicePackage_LCMXO2_7000HE_FTG256,
  eDevicePackage_LCMXO2_7000HE_BG332,
  eDevicePackage_LCMXO2_7000HE_FG484,
  eDevicePackage_LCMXO2_7000ZE_TG144,
  eDevicePackage_LCMXO2_7000ZE_BG256,
  eDevicePackage_LCMXO2_7000ZE_FTG256,
  eDevicePackage_LCMXO2_7000ZE_BG332,
  eDevicePackage_LCMXO2_7000ZE_FG484,
};
inline constexpr int32_t kDevicePackageCount = 68;

// The pin sets of the pin tables. A pin set is a bond of one die in one
// package, so packages of a die with the same bond (BG256 and FTG256) and
// bases built on the same die (HC, HE, ZE) share one. The U sets belong to
// the UHC/UHE bases and are not referred to by any device kind.
enum TDevicePinSet : int32_t {
  ePinSet_LCMXO2_256_GA64,
  ePinSet_LCMXO2_256_TQ100,
  ePinSet_LCMXO2_256_GA132,
  ePinSet_LCMXO2_640_TQ100,
  ePinSet_LCMXO2_640_GA132,
  ePinSet_LCMXO2_640U_TQ144,
  ePinSet_LCMXO2_1200_TQ100,
  ePinSet_LCMXO2_1200_GA132,
  ePinSet_LCMXO2_1200_TQ144,
  ePinSet_LCMXO2_1200U_GA256,
  ePinSet_LCMXO2_2000_TQ100,
  ePinSet_LCMXO2_2000_GA132,
  ePinSet_LCMXO2_2000_TQ144,
  ePinSet_LCMXO2_2000_GA256,
  ePinSet_LCMXO2_2000U_GA484,
  ePinSet_LCMXO2_4000_GA132,
  ePinSet_LCMXO2_4000_TQ144,
  ePinSet_LCMXO2_4000_GA256,
  ePinSet_LCMXO2_4000_GA332,
  ePinSet_LCMXO2_4000_GA484,
  ePinSet_LCMXO2_7000_TQ144,
  ePinSet_LCMXO2_7000_GA256,
  ePinSet_LCMXO2_7000_GA332,
  ePinSet_LCMXO2_7000_GA484,
};
inline constexpr int32_t kDevicePinSetCount = 24;

// A device kind is the index of one part number in the catalogue,
// 0 .. kDeviceKindCount - 1.
using TDeviceKind = int32_t;
constexpr int32_t kDeviceKindCount = 420;

// Display texts of an enumeration value. `Id` is the short form that appears
// in part numbers ("TG100", "5", "I", "R1").
struct TPackageStrings {
  std::string_view Id;
  std::string_view Name;
  std::string_view Description;
  std::string_view Dimensions;
};

struct TPackageTypeStrings {
  std::string_view Id;
  std::string_view Name;
  std::string_view Description;
};

// Shared by the speed grades, temperature grades and option designators.
struct TGradeStrings {
  std::string_view Id;
  std::string_view Name;
  std::string_view Description;
};

struct TBaseNameIdParameters {
  std::string_view Name;
  int32_t EquivalentGates;
  int32_t MaxIO;
};

struct TDevicePackageResources {
  int32_t DSPMultiplierCount;
  int32_t ClockManagerCount;
  int32_t MemorySize;
  bool TerminationSupport;
  int32_t GlobalClockCount;
  int32_t ConfigMemorySize;
};

struct TDeviceParameters {
  TDeviceKind Kind;
  std::string_view FullName;
  uint32_t IdCode;
  TBaseNameId BaseName;
  TPackage Package;
  TPackageType PackageType;
  TTemperatureGrade TemperatureGrade;
  TSpeedGrade SpeedGrade;
  TOptionDesignator OptionDesignator;
  std::string_view BSDL;  // bare file name of the built-in boundary-scan description
  TDevicePinSet PinSet;
  int32_t InstructionLength;
  TDevicePackage DevicePackage;
};

// The published figures of a pin set. The first four are what the driver
// reports; the rest are counts over the pin rows that the generated pin
// tables must agree with (banks run 0 .. BankCount - 1).
struct TPinSetFigures {
  int32_t PinCount;
  int32_t IOCount;
  int32_t DiffCount;
  int32_t HSpeedDiffCount;
  int32_t BankCount;
  int32_t ClockPinCount;
  int32_t DllPinCount;
  bool HasPci33;  // whether bank 2 accepts the PCI33_3 standard
};

}  // namespace machxo2

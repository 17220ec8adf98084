// The pin and IO-standard tables of the MachXO2 catalogue: the 35 IO
// standards a MachXO2 pin can accept, with their drive strengths and slew
// rates, and the package pins of the 24 pin sets with their banks, pairs and
// roles.
//
// The pin rows are generated from open chip databases by
// tools/gen_machxo2_tables.py into generated/PinSets.generated.cpp; the
// IO-standard rows below are few and fixed, so they are written here.
#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

#include "devices/machxo2/CatalogueTypes.h"

namespace machxo2 {

// The IO standards of the MachXO2 family. The order is the order in which
// the driver lists a pin set's standards, so it is part of the interface.
enum TDeviceIOStandardID : uint8_t {
  sLVTTL33,
  sLVCMOS33,
  sLVCMOS25,
  sLVCMOS18,
  sLVCMOS15,
  sLVCMOS12,
  sLVTTL33D,
  sLVCMOS33D,
  sLVCMOS25D,
  sLVCMOS18D,
  sLVCMOS15D,
  sLVCMOS12D,
  sPCI33_3,
  sSSTL18I,
  sSSTL18II,
  sSSTL25I,
  sSSTL25II,
  sHSTLI_18,
  sHSTLII_18,
  sDSSTL18I,
  sDSSTL18II,
  sDSSTL25I,
  sDSSTL25II,
  sDHSTL18I,
  sDHSTL18II,
  sLVDS,
  sBLVDS25,
  sMLVDS25,
  sLVPECL33,
  sRSDS25,
  sLVDS_E_3R,
  sBLVDS25E,
  sMLVDS25E,
  sLVPECL33E,
  sRSDS25E,
};
inline constexpr int32_t kDeviceIOStandardCount = 35;

// The position of the `index`-th set bit of `bits` (the first set bit is
// index 0), or -1 when `index` is negative or `bits` has no more set bits.
// This is how the driver answers "the n-th standard / slew / drive".
constexpr int32_t NthSetBit(uint64_t bits, int32_t index) {
  if (index < 0) return -1;
  for (int32_t position = 0; position < 64; ++position) {
    if ((bits >> position & 1u) == 0) continue;
    if (index == 0) return position;
    --index;
  }
  return -1;
}

// A set of IO standards (35 bits).
class TIOStandardSet {
 public:
  constexpr TIOStandardSet() = default;
  constexpr TIOStandardSet(std::initializer_list<TDeviceIOStandardID> ids) {
    for (TDeviceIOStandardID id : ids) FBits |= Bit(id);
  }

  static constexpr TIOStandardSet FromBits(uint64_t bits) {
    TIOStandardSet set;
    set.FBits = bits & kAllBits;
    return set;
  }

  constexpr uint64_t Bits() const { return FBits; }
  constexpr bool Contains(TDeviceIOStandardID id) const { return (FBits & Bit(id)) != 0; }
  constexpr int32_t Count() const { return std::popcount(FBits); }
  constexpr TIOStandardSet With(TDeviceIOStandardID id) const { return FromBits(FBits | Bit(id)); }
  constexpr TIOStandardSet Without(TDeviceIOStandardID id) const { return FromBits(FBits & ~Bit(id)); }

  // The `index`-th member in TDeviceIOStandardID order; none when `index` is
  // negative or not below Count().
  constexpr std::optional<TDeviceIOStandardID> Nth(int32_t index) const {
    const int32_t position = NthSetBit(FBits, index);
    if (position < 0) return std::nullopt;
    return static_cast<TDeviceIOStandardID>(position);
  }

  friend constexpr bool operator==(TIOStandardSet, TIOStandardSet) = default;

 private:
  static constexpr uint64_t kAllBits = (uint64_t{1} << kDeviceIOStandardCount) - 1;
  static constexpr uint64_t Bit(TDeviceIOStandardID id) {
    return static_cast<uint32_t>(id) < kDeviceIOStandardCount ? uint64_t{1} << id : 0;
  }

  uint64_t FBits = 0;
};

inline constexpr TIOStandardSet kAllIOStandards = TIOStandardSet::FromBits(~uint64_t{0});

// What an IO pin without a differential partner accepts (besides PCI33_3 in
// a PCI-capable bank).
inline constexpr TIOStandardSet kSingleEndedIOStandards = {
    sLVTTL33, sLVCMOS33, sLVCMOS25, sLVCMOS18, sLVCMOS15, sLVCMOS12,
    sSSTL18I, sSSTL18II, sSSTL25I, sSSTL25II, sHSTLI_18, sHSTLII_18};

// --- Slew rates and drive strengths -------------------------------------------

enum TSlewRate : uint8_t { eSlew_Slow, eSlew_Fast, eSlew_VerySlow };
inline constexpr int32_t kSlewRateCount = 3;
inline constexpr std::array<std::string_view, kSlewRateCount> kSlewRateNames = {"SLOW", "FAST",
                                                                                 "VERY_SLOW"};

enum TDriveStrength : uint8_t {
  eDrive_2mA,
  eDrive_3mA,
  eDrive_4mA,
  eDrive_6mA,
  eDrive_7mA,
  eDrive_8mA,
  eDrive_10mA,
  eDrive_12mA,
  eDrive_14mA,
  eDrive_16mA,
  eDrive_17mA,
  eDrive_18mA,
  eDrive_20mA,
  eDrive_24mA,
  eDrive_3_5mA,
  eDrive_5mA,
  eDrive_15mA,
  eDrive_21mA,
  eDrive_25mA,
  eDrive_33mA,
  eDrive_35mA,
};
inline constexpr int32_t kDriveStrengthCount = 21;
inline constexpr std::array<std::string_view, kDriveStrengthCount> kDriveStrengthNames = {
    "2mA",  "3mA",  "4mA",   "6mA", "7mA",  "8mA",  "10mA", "12mA", "14mA", "16mA", "17mA",
    "18mA", "20mA", "24mA", "3.5mA", "5mA", "15mA", "21mA", "25mA", "33mA", "35mA"};

constexpr uint8_t SlewSet(std::initializer_list<TSlewRate> slews) {
  uint8_t bits = 0;
  for (TSlewRate slew : slews) bits |= static_cast<uint8_t>(1u << slew);
  return bits;
}

constexpr uint32_t DriveSet(std::initializer_list<TDriveStrength> drives) {
  uint32_t bits = 0;
  for (TDriveStrength drive : drives) bits |= uint32_t{1} << drive;
  return bits;
}

// --- IO-standard records ---------------------------------------------------------

// `GenericIndex` indexes the host-wide IO-standard naming tables
// (plugin/IOStandardNames.h), which give the display and parameter names.
// `Slews` has a bit per
// TSlewRate, `Drives` a bit per TDriveStrength.
struct TDeviceIOStandardParameters {
  TDeviceIOStandardID Id;
  uint8_t GenericIndex;
  uint8_t Slews;
  uint32_t Drives;
};

// The slew and drive sets the LVTTL and LVCMOS standards share, by supply
// voltage.
inline constexpr uint8_t kSlowAndFast = SlewSet({eSlew_Slow, eSlew_Fast});
inline constexpr uint32_t kDrives33V = DriveSet({eDrive_4mA, eDrive_8mA, eDrive_12mA, eDrive_16mA, eDrive_24mA});
inline constexpr uint32_t kDrives25V = DriveSet({eDrive_4mA, eDrive_8mA, eDrive_12mA, eDrive_16mA});
inline constexpr uint32_t kDrives18V = DriveSet({eDrive_4mA, eDrive_8mA, eDrive_12mA});
inline constexpr uint32_t kDrives15V = DriveSet({eDrive_4mA, eDrive_8mA});
inline constexpr uint32_t kDrives12V = DriveSet({eDrive_2mA, eDrive_6mA});

inline constexpr std::array<TDeviceIOStandardParameters, kDeviceIOStandardCount> kIOStandards = {{
    {sLVTTL33, 3, kSlowAndFast, kDrives33V},
    {sLVCMOS33, 7, kSlowAndFast, kDrives33V},
    {sLVCMOS25, 6, kSlowAndFast, kDrives25V},
    {sLVCMOS18, 5, kSlowAndFast, kDrives18V},
    {sLVCMOS15, 4, kSlowAndFast, kDrives15V},
    {sLVCMOS12, 35, kSlowAndFast, kDrives12V},
    {sLVTTL33D, 176, kSlowAndFast, kDrives33V},
    {sLVCMOS33D, 177, kSlowAndFast, kDrives33V},
    {sLVCMOS25D, 178, kSlowAndFast, kDrives25V},
    {sLVCMOS18D, 179, kSlowAndFast, kDrives18V},
    {sLVCMOS15D, 180, kSlowAndFast, kDrives15V},
    {sLVCMOS12D, 181, kSlowAndFast, kDrives12V},
    {sPCI33_3, 9, 0, 0},
    {sSSTL18I, 18, 0, 0},
    {sSSTL18II, 19, 0, 0},
    {sSSTL25I, 172, 0, 0},
    {sSSTL25II, 173, 0, 0},
    {sHSTLI_18, 27, 0, 0},
    {sHSTLII_18, 28, 0, 0},
    {sDSSTL18I, 71, 0, 0},
    {sDSSTL18II, 72, 0, 0},
    {sDSSTL25I, 165, 0, 0},
    {sDSSTL25II, 166, 0, 0},
    {sDHSTL18I, 49, 0, 0},
    {sDHSTL18II, 50, 0, 0},
    {sLVDS, 69, 0, 0},
    {sBLVDS25, 77, 0, 0},
    {sMLVDS25, 108, 0, 0},
    {sLVPECL33, 174, 0, 0},
    {sRSDS25, 79, 0, 0},
    {sLVDS_E_3R, 140, 0, 0},
    {sBLVDS25E, 182, 0, 0},
    {sMLVDS25E, 183, 0, 0},
    {sLVPECL33E, 184, 0, 0},
    {sRSDS25E, 185, 0, 0},
}};

constexpr bool IOStandardsAreInOrder() {
  for (int32_t i = 0; i < kDeviceIOStandardCount; ++i) {
    if (kIOStandards[i].Id != i) return false;
  }
  return true;
}
static_assert(IOStandardsAreInOrder(), "kIOStandards rows must follow TDeviceIOStandardID");

// The record of `id`; throws std::out_of_range for a value outside the
// enumeration.
inline const TDeviceIOStandardParameters& IOStandardParameters(TDeviceIOStandardID id) {
  if (static_cast<int32_t>(id) >= kDeviceIOStandardCount) {
    throw std::out_of_range("IO standard " + std::to_string(static_cast<int32_t>(id)) +
                            " is not one of the " + std::to_string(kDeviceIOStandardCount) +
                            " MachXO2 IO standards");
  }
  return kIOStandards[id];
}

// --- Pins ---------------------------------------------------------------------------

// Bit positions of TPinParameters::Options. MachXO2 rows use only IO, Clock,
// DiffPositive, DiffNegative and DLL; the others exist in the host's pin
// model and stay clear.
enum TPinOption : uint8_t {
  ePinOption_IO = 0,
  ePinOption_VREF = 1,
  ePinOption_Clock = 2,
  ePinOption_Special = 3,
  ePinOption_InputOnly = 4,
  ePinOption_DCIPositive = 5,
  ePinOption_DCINegative = 6,
  ePinOption_DiffPositive = 7,
  ePinOption_DiffNegative = 8,
  ePinOption_HSpeedDiffPositive = 9,
  ePinOption_HSpeedDiffNegative = 10,
  ePinOption_TransmitDiff = 11,
  ePinOption_ReceiveDiff = 12,
  ePinOption_ClockDiffPositive = 13,
  ePinOption_ClockDiffNegative = 14,
  ePinOption_DLL = 15,
};

constexpr uint16_t PinOptionBit(TPinOption option) { return static_cast<uint16_t>(1u << option); }

// One package pin. IO pins carry their bank ("0" .. "5"), their pair name
// when they have a partner, and the standards they accept; every other pin
// has only its number.
struct TPinParameters {
  std::string_view PinNumber;
  std::string_view Bank;
  std::string_view DiffId;
  std::string_view ClkDiffId;
  uint16_t Options;  // bits by TPinOption
  TIOStandardSet Standards;

  constexpr bool Has(TPinOption option) const { return (Options & PinOptionBit(option)) != 0; }
};

// The rows of a pin set: its IO pins first, bank by bank, then the other
// package pins. The span's size is the set's pin count. Throws
// std::out_of_range for a value outside TDevicePinSet.
std::span<const TPinParameters> PinRows(TDevicePinSet pinSet);

// The IO standards of the devices of a pin set (all 35, or 34 without
// PCI33_3 for the 256 and 640 dies). Throws like PinRows.
TIOStandardSet PinSetStandards(TDevicePinSet pinSet);

}  // namespace machxo2

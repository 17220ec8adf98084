// The generated pin rows against the catalogue's published figures and the
// rules every MachXO2 pin set obeys, plus the rows that identify a set
// (the first pins of the smallest package, the DLL and unpaired pins of the
// 1200 TQFP100).
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>

#include "devices/machxo2/Catalogue.h"
#include "devices/machxo2/PinTables.h"
#include "plugin/IOStandardNames.h"

namespace machxo2 {
namespace {

std::vector<TDevicePinSet> AllPinSets() {
  std::vector<TDevicePinSet> sets;
  for (int32_t i = 0; i < kDevicePinSetCount; ++i) sets.push_back(static_cast<TDevicePinSet>(i));
  return sets;
}

constexpr std::string_view kBankNames[] = {"0", "1", "2", "3", "4", "5"};

bool IsPaired(const TPinParameters& row) {
  return row.Has(ePinOption_DiffPositive) || row.Has(ePinOption_DiffNegative);
}

// The side letter a pair name must start with, by bank.
char SideOfBank(std::string_view bank) {
  if (bank == "0") return 'T';
  if (bank == "1") return 'R';
  if (bank == "2") return 'B';
  return 'L';
}

// Counts over the rows, in the shape of the published figures.
struct TRowCounts {
  int32_t PinCount = 0;
  int32_t IOCount = 0;
  int32_t DiffCount = 0;
  int32_t ClockPinCount = 0;
  int32_t DllPinCount = 0;
  std::set<std::string_view> Banks;
  bool Pci33InBank2 = false;
};

TRowCounts CountRows(TDevicePinSet pinSet) {
  TRowCounts counts;
  for (const TPinParameters& row : PinRows(pinSet)) {
    ++counts.PinCount;
    if (!row.Has(ePinOption_IO)) continue;
    ++counts.IOCount;
    counts.Banks.insert(row.Bank);
    if (row.Has(ePinOption_DiffPositive)) ++counts.DiffCount;
    if (row.Has(ePinOption_Clock)) ++counts.ClockPinCount;
    if (row.Has(ePinOption_DLL)) ++counts.DllPinCount;
    if (row.Bank == "2" && row.Standards.Contains(sPCI33_3)) counts.Pci33InBank2 = true;
  }
  return counts;
}

TEST(PinSetTables, CountsMatchThePublishedFigures) {
  // PinCount, IOCount, DiffCount, banks, clock pins, DLL pins, PCI33_3.
  const struct {
    TDevicePinSet PinSet;
    int32_t PinCount, IOCount, DiffCount, BankCount, ClockPins, DllPins;
    bool Pci33;
  } published[] = {
      {ePinSet_LCMXO2_256_GA64, 64, 45, 22, 4, 16, 0, false},
      {ePinSet_LCMXO2_256_TQ100, 100, 56, 28, 4, 18, 0, false},
      {ePinSet_LCMXO2_256_GA132, 132, 56, 28, 4, 18, 0, false},
      {ePinSet_LCMXO2_640_TQ100, 100, 79, 39, 4, 18, 0, false},
      {ePinSet_LCMXO2_640_GA132, 132, 80, 40, 4, 18, 0, false},
      {ePinSet_LCMXO2_640U_TQ144, 144, 108, 54, 4, 18, 4, true},
      {ePinSet_LCMXO2_1200_TQ100, 100, 80, 39, 4, 18, 2, true},
      {ePinSet_LCMXO2_1200_GA132, 132, 105, 52, 4, 18, 4, true},
      {ePinSet_LCMXO2_1200_TQ144, 144, 108, 54, 4, 18, 4, true},
      // The 2000 die in the 2000 set's bond: its left side has banks 3 to 5,
      // so the set has banks 0 to 5 like the 2000 sets.
      {ePinSet_LCMXO2_1200U_GA256, 256, 207, 103, 6, 18, 4, true},
      {ePinSet_LCMXO2_2000_TQ100, 100, 80, 39, 6, 18, 2, true},
      {ePinSet_LCMXO2_2000_GA132, 132, 105, 52, 6, 18, 4, true},
      {ePinSet_LCMXO2_2000_TQ144, 144, 112, 56, 6, 18, 4, true},
      {ePinSet_LCMXO2_2000_GA256, 256, 207, 103, 6, 18, 4, true},
      {ePinSet_LCMXO2_2000U_GA484, 484, 279, 139, 6, 18, 8, true},
      {ePinSet_LCMXO2_4000_GA132, 132, 105, 52, 6, 18, 8, true},
      {ePinSet_LCMXO2_4000_TQ144, 144, 115, 56, 6, 18, 8, true},
      {ePinSet_LCMXO2_4000_GA256, 256, 207, 103, 6, 18, 8, true},
      {ePinSet_LCMXO2_4000_GA332, 332, 275, 137, 6, 18, 8, true},
      {ePinSet_LCMXO2_4000_GA484, 484, 279, 139, 6, 18, 8, true},
      {ePinSet_LCMXO2_7000_TQ144, 144, 115, 56, 6, 18, 8, true},
      {ePinSet_LCMXO2_7000_GA256, 256, 207, 103, 6, 18, 8, true},
      {ePinSet_LCMXO2_7000_GA332, 332, 279, 139, 6, 18, 8, true},
      {ePinSet_LCMXO2_7000_GA484, 484, 335, 167, 6, 18, 8, true},
  };
  ASSERT_EQ(std::size(published), static_cast<size_t>(kDevicePinSetCount));

  for (const auto& expected : published) {
    SCOPED_TRACE(expected.PinSet);
    const TRowCounts counts = CountRows(expected.PinSet);
    EXPECT_EQ(counts.PinCount, expected.PinCount);
    EXPECT_EQ(counts.IOCount, expected.IOCount);
    EXPECT_EQ(counts.DiffCount, expected.DiffCount);
    EXPECT_EQ(counts.ClockPinCount, expected.ClockPins);
    EXPECT_EQ(counts.DllPinCount, expected.DllPins);
    EXPECT_EQ(counts.Pci33InBank2, expected.Pci33);
    std::set<std::string_view> banks;
    for (int32_t bank = 0; bank < expected.BankCount; ++bank) banks.insert(kBankNames[bank]);
    EXPECT_EQ(counts.Banks, banks);

    const TPinSetFigures& catalogue = PinSetFigures(expected.PinSet);
    EXPECT_EQ(catalogue.PinCount, counts.PinCount);
    EXPECT_EQ(catalogue.IOCount, counts.IOCount);
    EXPECT_EQ(catalogue.DiffCount, counts.DiffCount);
    EXPECT_EQ(catalogue.HSpeedDiffCount, 0);
    EXPECT_EQ(catalogue.ClockPinCount, counts.ClockPinCount);
    EXPECT_EQ(catalogue.DllPinCount, counts.DllPinCount);
    EXPECT_EQ(catalogue.HasPci33, counts.Pci33InBank2);
    EXPECT_EQ(catalogue.BankCount, static_cast<int32_t>(counts.Banks.size()));
  }
  // Same die, same bond: the 1200U set is the 2000 GA256 set row for row.
  const auto u = PinRows(ePinSet_LCMXO2_1200U_GA256);
  const auto full = PinRows(ePinSet_LCMXO2_2000_GA256);
  ASSERT_EQ(u.size(), full.size());
  for (size_t i = 0; i < u.size(); ++i) {
    EXPECT_EQ(u[i].PinNumber, full[i].PinNumber);
    EXPECT_EQ(u[i].Bank, full[i].Bank);
    EXPECT_EQ(u[i].DiffId, full[i].DiffId);
  }
}

TEST(PinSetTables, EveryRowObeysTheContentRules) {
  for (TDevicePinSet pinSet : AllPinSets()) {
    SCOPED_TRACE(pinSet);
    const auto rows = PinRows(pinSet);
    const TIOStandardSet setStandards = PinSetStandards(pinSet);
    const bool pci = setStandards.Contains(sPCI33_3);
    const uint16_t usedOptions = PinOptionBit(ePinOption_IO) | PinOptionBit(ePinOption_Clock) |
                                 PinOptionBit(ePinOption_DiffPositive) |
                                 PinOptionBit(ePinOption_DiffNegative) | PinOptionBit(ePinOption_DLL);
    std::set<std::string_view> pinNumbers;
    std::map<std::string_view, int> pairMembers;
    bool ioRowsEnded = false;
    std::string_view previousBank;
    for (size_t i = 0; i < rows.size(); ++i) {
      const TPinParameters& row = rows[i];
      SCOPED_TRACE(row.PinNumber);
      EXPECT_FALSE(row.PinNumber.empty());
      EXPECT_TRUE(pinNumbers.insert(row.PinNumber).second) << "pin number twice";
      EXPECT_TRUE(row.ClkDiffId.empty());
      EXPECT_EQ(row.Options & ~usedOptions, 0);

      if (!row.Has(ePinOption_IO)) {
        ioRowsEnded = true;
        EXPECT_TRUE(row.Bank.empty());
        EXPECT_TRUE(row.DiffId.empty());
        EXPECT_EQ(row.Options, 0);
        EXPECT_EQ(row.Standards.Count(), 0);
        continue;
      }
      EXPECT_FALSE(ioRowsEnded) << "IO row after the other pins";
      ASSERT_EQ(row.Bank.size(), 1u);
      EXPECT_TRUE(row.Bank[0] >= '0' && row.Bank[0] <= '5');
      EXPECT_LE(previousBank, row.Bank) << "banks out of order";
      previousBank = row.Bank;

      const bool bank2Pci = pci && row.Bank == "2";
      if (!IsPaired(row)) {
        EXPECT_TRUE(row.DiffId.empty());
        EXPECT_EQ(row.Standards, bank2Pci ? kSingleEndedIOStandards.With(sPCI33_3) : kSingleEndedIOStandards);
        continue;
      }
      EXPECT_NE(row.Has(ePinOption_DiffPositive), row.Has(ePinOption_DiffNegative));
      EXPECT_EQ(row.Standards, bank2Pci ? setStandards : setStandards.Without(sPCI33_3));
      EXPECT_EQ(row.Standards.Count(), bank2Pci ? 35 : 34);

      // Side letter, PIC number, pair letter; the side goes with the bank.
      ASSERT_GE(row.DiffId.size(), 3u);
      EXPECT_EQ(row.DiffId.front(), SideOfBank(row.Bank));
      EXPECT_TRUE(row.DiffId.back() == 'A' || row.DiffId.back() == 'B');
      const std::string_view number = row.DiffId.substr(1, row.DiffId.size() - 2);
      EXPECT_TRUE(std::all_of(number.begin(), number.end(), [](char c) { return std::isdigit(c) != 0; }));
      ++pairMembers[row.DiffId];

      if (row.Has(ePinOption_DiffPositive)) {
        ASSERT_LT(i + 1, rows.size());
        const TPinParameters& negative = rows[i + 1];
        EXPECT_TRUE(negative.Has(ePinOption_DiffNegative)) << "positive pin without its negative";
        EXPECT_EQ(negative.DiffId, row.DiffId);
        EXPECT_EQ(negative.Bank, row.Bank);
      } else {
        ASSERT_GT(i, 0u);
        EXPECT_TRUE(rows[i - 1].Has(ePinOption_DiffPositive)) << "negative pin without its positive";
      }
    }
    for (const auto& [name, members] : pairMembers) EXPECT_EQ(members, 2) << name;
  }
}

TEST(PinSetTables, UnpairedPinsAreTheIoPinsLeftOverByThePairs) {
  // Zero to three per set; six sets pair every IO pin.
  const std::set<TDevicePinSet> fullyPaired = {
      ePinSet_LCMXO2_256_TQ100,   ePinSet_LCMXO2_256_GA132,  ePinSet_LCMXO2_640_GA132,
      ePinSet_LCMXO2_640U_TQ144, ePinSet_LCMXO2_1200_TQ144, ePinSet_LCMXO2_2000_TQ144};
  for (TDevicePinSet pinSet : AllPinSets()) {
    SCOPED_TRACE(pinSet);
    const auto rows = PinRows(pinSet);
    const auto unpaired = std::count_if(rows.begin(), rows.end(), [](const TPinParameters& row) {
      return row.Has(ePinOption_IO) && !IsPaired(row);
    });
    const TPinSetFigures& figures = PinSetFigures(pinSet);
    EXPECT_EQ(unpaired, figures.IOCount - 2 * figures.DiffCount);
    EXPECT_LE(unpaired, 3);
    EXPECT_EQ(unpaired == 0, fullyPaired.count(pinSet) == 1);
  }
}

const TPinParameters& RowOf(TDevicePinSet pinSet, std::string_view pinNumber) {
  for (const TPinParameters& row : PinRows(pinSet)) {
    if (row.PinNumber == pinNumber) return row;
  }
  throw std::out_of_range("no pin " + std::string(pinNumber));
}

TEST(PinSetTables, TellingRowsOfThePublishedPinouts) {
  const auto ga64 = PinRows(ePinSet_LCMXO2_256_GA64);
  ASSERT_GE(ga64.size(), 2u);
  EXPECT_EQ(ga64[0].PinNumber, "A2");
  EXPECT_EQ(ga64[0].Bank, "0");
  EXPECT_EQ(ga64[0].DiffId, "T6A");
  EXPECT_EQ(ga64[0].Options, PinOptionBit(ePinOption_IO) | PinOptionBit(ePinOption_DiffPositive));
  EXPECT_EQ(ga64[0].Standards.Count(), 34);
  EXPECT_EQ(ga64[1].PinNumber, "B3");
  EXPECT_EQ(ga64[1].Bank, "0");
  EXPECT_EQ(ga64[1].DiffId, "T6A");
  EXPECT_EQ(ga64[1].Options, PinOptionBit(ePinOption_IO) | PinOptionBit(ePinOption_DiffNegative));

  const TDevicePinSet tq100 = ePinSet_LCMXO2_1200_TQ100;
  for (std::string_view pin : {"1", "2"}) {
    const TPinParameters& row = RowOf(tq100, pin);
    EXPECT_TRUE(row.Has(ePinOption_DLL)) << pin;
    EXPECT_EQ(row.Bank, "3");
    EXPECT_EQ(row.DiffId, "L2A");
  }
  EXPECT_TRUE(RowOf(tq100, "1").Has(ePinOption_DiffPositive));
  EXPECT_TRUE(RowOf(tq100, "2").Has(ePinOption_DiffNegative));
  std::map<std::string_view, std::string_view> unpaired;
  for (const TPinParameters& row : PinRows(tq100)) {
    if (row.Has(ePinOption_IO) && !IsPaired(row)) unpaired[row.PinNumber] = row.Bank;
  }
  EXPECT_EQ(unpaired, (std::map<std::string_view, std::string_view>{{"61", "1"}, {"78", "0"}}));
  EXPECT_EQ(RowOf(tq100, "78").Standards.Count(), 12);

  // An unpaired pin in bank 2 of a PCI-capable set also takes PCI33_3.
  for (TDevicePinSet pinSet : {ePinSet_LCMXO2_4000_TQ144, ePinSet_LCMXO2_7000_TQ144}) {
    int bank2Unpaired = 0;
    for (const TPinParameters& row : PinRows(pinSet)) {
      if (!row.Has(ePinOption_IO) || IsPaired(row) || row.Bank != "2") continue;
      ++bank2Unpaired;
      EXPECT_EQ(row.Standards.Count(), 13);
    }
    EXPECT_EQ(bank2Unpaired, 1) << pinSet;
  }
  // A bank-2 pair of a 1200 set takes 35 standards, a bank-0 pair 34.
  bool sawBank2Pair = false;
  for (const TPinParameters& row : PinRows(ePinSet_LCMXO2_1200_TQ144)) {
    if (!IsPaired(row)) continue;
    EXPECT_EQ(row.Standards.Count(), row.Bank == "2" ? 35 : 34);
    sawBank2Pair = sawBank2Pair || row.Bank == "2";
  }
  EXPECT_TRUE(sawBank2Pair);
}

TEST(PinSetStandards, SetsFollowTheDieAndListInEnumerationOrder) {
  for (TDevicePinSet pinSet : AllPinSets()) {
    const TIOStandardSet standards = PinSetStandards(pinSet);
    EXPECT_EQ(standards.Count(), PinSetFigures(pinSet).HasPci33 ? 35 : 34) << pinSet;
  }
  // The first device kind: a 256 die without PCI33_3.
  const TIOStandardSet small = PinSetStandards(DeviceParameters(0).PinSet);
  EXPECT_EQ(plugin::IOStandardDisplayName(IOStandardParameters(*small.Nth(0)).GenericIndex), "LVTTL 3.3V");
  EXPECT_EQ(plugin::IOStandardDisplayName(IOStandardParameters(*small.Nth(12)).GenericIndex), "SSTL18 Class I");
  EXPECT_EQ(plugin::IOStandardDisplayName(IOStandardParameters(*small.Nth(33)).GenericIndex), "Emulated RSDS 2.5V");
  EXPECT_FALSE(small.Nth(34).has_value());
  EXPECT_FALSE(small.Nth(-1).has_value());
  const TIOStandardSet withPci = PinSetStandards(DeviceParameters(60).PinSet);
  EXPECT_EQ(plugin::IOStandardDisplayName(IOStandardParameters(*withPci.Nth(12)).GenericIndex), "PCI 33Mhz 3.3V");
  EXPECT_EQ(withPci.Nth(34), sRSDS25E);
}

TEST(PinSetStandards, SlewAndDriveNamesByIndex) {
  const TDeviceIOStandardParameters& lvcmos25 = IOStandardParameters(sLVCMOS25);
  const std::string_view drives[] = {"4mA", "8mA", "12mA", "16mA"};
  for (int32_t i = 0; i < 4; ++i) {
    EXPECT_EQ(kDriveStrengthNames[NthSetBit(lvcmos25.Drives, i)], drives[i]);
  }
  EXPECT_EQ(NthSetBit(lvcmos25.Drives, 4), -1);
  EXPECT_EQ(kSlewRateNames[NthSetBit(lvcmos25.Slews, 0)], "SLOW");
  EXPECT_EQ(kSlewRateNames[NthSetBit(lvcmos25.Slews, 1)], "FAST");
  EXPECT_EQ(NthSetBit(lvcmos25.Slews, 2), -1);
  const TDeviceIOStandardParameters& lvcmos12 = IOStandardParameters(sLVCMOS12);
  EXPECT_EQ(kDriveStrengthNames[NthSetBit(lvcmos12.Drives, 0)], "2mA");
  EXPECT_EQ(kDriveStrengthNames[NthSetBit(lvcmos12.Drives, 1)], "6mA");
  EXPECT_EQ(IOStandardParameters(sLVDS).Drives, 0u);
  EXPECT_EQ(IOStandardParameters(sLVDS).Slews, 0u);
  EXPECT_EQ(IOStandardParameters(sRSDS25E).GenericIndex, 185);
  EXPECT_EQ(plugin::IOStandardParamName(IOStandardParameters(sRSDS25E).GenericIndex), "RSDS25E");
}

TEST(PinSetTables, OutOfRangeLookupsThrowNamingTheValue) {
  const auto bad = static_cast<TDevicePinSet>(kDevicePinSetCount);
  for (const auto& lookup : {+[](TDevicePinSet s) { (void)PinRows(s); },
                             +[](TDevicePinSet s) { (void)PinSetStandards(s); }}) {
    try {
      lookup(bad);
      ADD_FAILURE() << "no exception";
    } catch (const std::out_of_range& error) {
      EXPECT_NE(std::string(error.what()).find("24"), std::string::npos) << error.what();
    }
  }
  EXPECT_THROW(PinRows(static_cast<TDevicePinSet>(-1)), std::out_of_range);
  EXPECT_THROW(IOStandardParameters(static_cast<TDeviceIOStandardID>(35)), std::out_of_range);
}

}  // namespace
}  // namespace machxo2

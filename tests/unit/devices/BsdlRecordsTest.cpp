// The 48 built-in boundary-scan records: keys and order, the values common to
// every record, the shapes of the boundary cells, the scan pins, and the
// agreement of each record with the catalogue kinds and pin rows that use it.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "devices/machxo2/BsdlRecords.h"
#include "devices/machxo2/Catalogue.h"
#include "devices/machxo2/PinTables.h"

namespace machxo2 {
namespace {

struct TPackageExpectation {
  std::string_view Package;
  std::string_view Code;
  int32_t PinCount;
  std::string_view Tdi, Tdo, Tms, Tck;
};

constexpr TPackageExpectation kPackages[] = {
    {"ucbga64", "XUMG64", 64, "B3", "A2", "B4", "A3"},
    {"tqfp100", "XXTG100", 100, "94", "95", "90", "91"},
    {"csbga132", "XXMG132", 132, "B4", "A4", "A6", "B6"},
    {"tqfp144", "XXTG144", 144, "136", "137", "130", "131"},
    {"cabga256", "XXBG256", 254, "A6", "C6", "B8", "A7"},
    {"ftbga256", "XFTG256", 254, "A6", "C6", "B8", "A7"},
    {"cabga332", "XXBG332", 331, "B7", "C7", "C9", "A8"},
    {"fpbga484", "XFPG484", 484, "C7", "A6", "C9", "A8"},
};

struct TDensityExpectation {
  std::string_view Density;
  std::vector<std::string_view> Packages;
  int32_t BoundaryLength;
  int32_t AddressLength;
  int32_t DataLength;
};

const std::vector<TDensityExpectation>& Densities() {
  static const std::vector<TDensityExpectation> densities = {
      {"256", {"ucbga64", "tqfp100", "csbga132"}, 104, 186, 504},
      {"640", {"tqfp100", "csbga132"}, 152, 215, 888},
      {"1200", {"tqfp100", "csbga132", "tqfp144"}, 208, 333, 1080},
      {"2000", {"tqfp100", "csbga132", "tqfp144", "cabga256", "ftbga256"}, 424, 420, 1272},
      {"4000", {"csbga132", "tqfp144", "cabga256", "ftbga256", "cabga332", "fpbga484"}, 552, 623, 1560},
      {"7000", {"tqfp144", "cabga256", "ftbga256", "cabga332", "fpbga484"}, 664, 770, 1992},
  };
  return densities;
}

const TPackageExpectation& PackageOf(std::string_view package) {
  return *std::find_if(std::begin(kPackages), std::end(kPackages),
                       [&](const TPackageExpectation& p) { return p.Package == package; });
}

// The expected keys of the 48 records, in record order.
struct TRecordExpectation {
  std::string FileName;
  std::string EntityName;
  const TDensityExpectation* Density;
  const TPackageExpectation* Package;
};

std::vector<TRecordExpectation> ExpectedRecords() {
  std::vector<TRecordExpectation> records;
  for (const TDensityExpectation& density : Densities()) {
    for (std::string_view variant : {"hc", "ze"}) {
      const std::string upper = variant == "hc" ? "HC" : "ZE";
      for (std::string_view package : density.Packages) {
        const TPackageExpectation& p = PackageOf(package);
        records.push_back({"lcmxo2_" + std::string(density.Density) + std::string(variant) + "_" +
                               std::string(package) + ".bsd",
                           "LCMXO2_" + std::string(density.Density) + upper + "_" + std::string(p.Code),
                           &density, &p});
      }
    }
  }
  return records;
}

const TBSDLParameters& RecordNamed(std::string_view fileName) {
  for (const TBSDLParameters& record : BuiltInBsdlRecords()) {
    if (record.Filename == fileName) return record;
  }
  throw std::out_of_range("no record " + std::string(fileName));
}

const TScanPinParameters* PinOn(const TBSDLParameters& record, std::string_view pinNumber) {
  for (const TScanPinParameters& pin : record.Pins) {
    if (pin.PinNumber == pinNumber) return &pin;
  }
  return nullptr;
}

TEST(BsdlRecords, KeysOrderAndCommonValues) {
  const auto records = BuiltInBsdlRecords();
  const auto names = BuiltInBsdlFileNames();
  const std::vector<TRecordExpectation> expected = ExpectedRecords();
  ASSERT_EQ(records.size(), 48u);
  ASSERT_EQ(names.size(), 48u);
  ASSERT_EQ(expected.size(), 48u);
  for (size_t i = 0; i < records.size(); ++i) {
    const TBSDLParameters& record = records[i];
    const TRecordExpectation& want = expected[i];
    SCOPED_TRACE(want.FileName);
    EXPECT_EQ(record.Filename, want.FileName);
    EXPECT_EQ(names[i], want.FileName);
    EXPECT_EQ(record.Name, want.EntityName);
    EXPECT_EQ(record.BoundaryLength, want.Density->BoundaryLength);
    EXPECT_EQ(record.BoundaryCells.size(), static_cast<size_t>(want.Density->BoundaryLength));
    EXPECT_EQ(record.Pins.size(), static_cast<size_t>(want.Package->PinCount));
    EXPECT_EQ(record.PinNumber_TDI, want.Package->Tdi);
    EXPECT_EQ(record.PinNumber_TDO, want.Package->Tdo);
    EXPECT_EQ(record.PinNumber_TMS, want.Package->Tms);
    EXPECT_EQ(record.PinNumber_TCK, want.Package->Tck);
    EXPECT_EQ(record.PinNumber_TRST, "");
    EXPECT_EQ(record.ScanClockMaxSpeed, 25000000.0);
    EXPECT_EQ(record.ScanClockHaltMode, bsdl::eScanClockHaltMode_Both);
    EXPECT_EQ(record.ConformanceStatement, "STD_1149_1_2001");
    EXPECT_EQ(record.CompliancePattern, "");
    EXPECT_EQ(record.Instruction_SAMPLE, 0x1C);
  }
}

TEST(BsdlRecords, InstructionsAndRegistersOfEachDensity) {
  const std::pair<std::string_view, std::string_view> opcodes[] = {
      {"IDCODE", "11100000"},         {"ISC_ENABLE", "11000110"},
      {"ISC_PROGRAM_DONE", "01011110"}, {"LSC_PROGRAM_SECPLUS", "11001111"},
      {"ISC_PROGRAM_USERCODE", "11000010"}, {"ISC_PROGRAM_SECURITY", "11001110"},
      {"ISC_PROGRAM", "01100111"},    {"LSC_ENABLE_X", "01110100"},
      {"BYPASS", "11111111"},         {"ISC_DATA_SHIFT", "00001010"},
      {"ISC_DISCHARGE", "00010100"},  {"USERCODE", "11000000"},
      {"ISC_ERASE_DONE", "00100100"}, {"CLAMP", "01111000"},
      {"ISC_ADDRESS_SHIFT", "01000010"}, {"PRELOAD", "00011100"},
      {"ISC_READ", "10000000"},       {"ISC_DISABLE", "00100110"},
      {"ISC_ERASE", "00001110"},      {"ISC_NOOP", "00110000"},
      {"SAMPLE", "00011100"},         {"HIGHZ", "00011000"},
      {"EXTEST", "00010101"},         {"PRIVATE", "00000010"},
  };
  const std::vector<TRecordExpectation> expected = ExpectedRecords();
  const auto records = BuiltInBsdlRecords();
  for (size_t i = 0; i < records.size(); ++i) {
    const TBSDLParameters& record = records[i];
    SCOPED_TRACE(record.Filename);
    ASSERT_EQ(record.OpCodes.size(), std::size(opcodes));
    for (size_t k = 0; k < record.OpCodes.size(); ++k) {
      EXPECT_EQ(record.OpCodes[k].InstructionName, opcodes[k].first);
      EXPECT_EQ(record.OpCodes[k].OpCodePattern, opcodes[k].second);
    }

    const std::string a = std::to_string(expected[i].Density->AddressLength);
    const std::string d = std::to_string(expected[i].Density->DataLength);
    const std::pair<std::string, std::vector<std::string_view>> registers[] = {
        {"ISC_ADDRESS[" + a + "]", {"ISC_ADDRESS_SHIFT"}},
        {"ISC_SECTOR[8]", {"ISC_ERASE"}},
        {"ISC_DEFAULT[1]",
         {"ISC_DISABLE", "ISC_NOOP", "ISC_DISCHARGE", "ISC_PROGRAM_DONE", "ISC_ERASE_DONE",
          "ISC_PROGRAM_SECURITY", "LSC_PROGRAM_SECPLUS"}},
        {"BYPASS", {"CLAMP", "HIGHZ", "BYPASS"}},
        {"ISC_DATA[" + d + "]", {"ISC_DATA_SHIFT"}},
        {"ISC_CONFIG[8]", {"ISC_ENABLE", "LSC_ENABLE_X"}},
        {"ISC_PDATA[" + d + "]", {"ISC_PROGRAM", "ISC_READ"}},
        {"BOUNDARY", {"EXTEST", "PRELOAD", "SAMPLE"}},
        {"DEVICE_ID", {"IDCODE", "USERCODE", "ISC_PROGRAM_USERCODE"}},
    };
    ASSERT_EQ(record.RegisterAssociations.size(), std::size(registers));
    for (size_t r = 0; r < std::size(registers); ++r) {
      const TRegisterAssociationParameters& association = record.RegisterAssociations[r];
      EXPECT_EQ(association.RegisterName, registers[r].first);
      EXPECT_EQ(association.RegisterLength, 0);
      EXPECT_EQ(std::vector<std::string_view>(association.InstructionNames.begin(),
                                              association.InstructionNames.end()),
                registers[r].second)
          << association.RegisterName;
    }
  }
}

// Cells are numbered in order and come in pairs: a control cell followed by
// the BiDir cell it controls, or two internal cells for an unbonded pad.
TEST(BsdlRecords, BoundaryCellsComeInControlledPairs) {
  for (const TBSDLParameters& record : BuiltInBsdlRecords()) {
    SCOPED_TRACE(record.Filename);
    const auto cells = record.BoundaryCells;
    ASSERT_EQ(cells.size() % 2, 0u);
    for (size_t n = 0; n < cells.size(); n += 2) {
      const TBoundaryCellParameters& first = cells[n];
      const TBoundaryCellParameters& second = cells[n + 1];
      SCOPED_TRACE(n);
      EXPECT_EQ(first.CellNumber, static_cast<int32_t>(n));
      EXPECT_EQ(second.CellNumber, static_cast<int32_t>(n + 1));
      if (first.CellFunction == bsdl::eCellFunction_Internal) {
        for (const TBoundaryCellParameters* cell : {&first, &second}) {
          EXPECT_EQ(cell->CellKind, bsdl::eCellKind_BC_1);
          EXPECT_EQ(cell->CellFunction, bsdl::eCellFunction_Internal);
          EXPECT_EQ(cell->PortId, "*");
          EXPECT_EQ(cell->PinNumber, "");
          EXPECT_EQ(cell->ControlCellNumber, -1);
          EXPECT_EQ(cell->TargetCellNumber, -1);
        }
        EXPECT_EQ(first.SafeBit, bsdl::eBit_1);
        EXPECT_EQ(second.SafeBit, bsdl::eBit_X);
        continue;
      }
      EXPECT_EQ(first.CellKind, bsdl::eCellKind_BC_2);
      EXPECT_EQ(first.CellFunction, bsdl::eCellFunction_Control);
      EXPECT_EQ(first.PortId, "*");
      EXPECT_EQ(first.SafeBit, bsdl::eBit_1);
      EXPECT_EQ(first.ControlCellNumber, -1);
      EXPECT_EQ(first.TargetCellNumber, static_cast<int32_t>(n + 1));

      EXPECT_EQ(second.CellKind, bsdl::eCellKind_BC_7);
      EXPECT_EQ(second.CellFunction, bsdl::eCellFunction_BiDir);
      EXPECT_EQ(second.SafeBit, bsdl::eBit_X);
      EXPECT_EQ(second.DisableValue, bsdl::eBit_1);
      EXPECT_EQ(second.DisableResult, bsdl::eDisableResult_HiZ);
      EXPECT_EQ(second.ControlCellNumber, static_cast<int32_t>(n));
      EXPECT_EQ(second.TargetCellNumber, -1);
      // The cell's ball is a scan pin of the record, named after the port,
      // that refers back to this cell.
      const TScanPinParameters* pin = PinOn(record, second.PinNumber);
      ASSERT_NE(pin, nullptr) << second.PinNumber;
      EXPECT_EQ(pin->PinName, second.PortId);
      EXPECT_EQ(pin->BoundaryCell, second.CellNumber);
    }
  }
}

TEST(BsdlRecords, ScanPinsByKind) {
  for (const TBSDLParameters& record : BuiltInBsdlRecords()) {
    SCOPED_TRACE(record.Filename);
    std::set<std::string_view> numbers;
    std::set<int32_t> cellsOfPins;
    std::map<bsdl::TScanPinKind, std::string_view> tapPins;
    for (const TScanPinParameters& pin : record.Pins) {
      SCOPED_TRACE(pin.PinNumber);
      EXPECT_TRUE(numbers.insert(pin.PinNumber).second) << "pin number twice";
      EXPECT_EQ(pin.PinMapping.PinName, pin.PinName);
      EXPECT_EQ(pin.PinMapping.PinNumber, pin.PinNumber);
      EXPECT_EQ(pin.BoundaryCellCount == 0, pin.BoundaryCell == -1);

      switch (pin.Kind) {
        case bsdl::eScanPinKind_TDI:
        case bsdl::eScanPinKind_TDO:
        case bsdl::eScanPinKind_TMS:
        case bsdl::eScanPinKind_TCK:
          tapPins[pin.Kind] = pin.PinNumber;
          EXPECT_EQ(pin.Direction,
                    pin.Kind == bsdl::eScanPinKind_TDO ? bsdl::eElectricOutput : bsdl::eElectricInput);
          EXPECT_EQ(pin.BoundaryCellCount, 0);
          continue;
        case bsdl::eScanPinKind_Power:
          EXPECT_TRUE(pin.PinName == "VCC" || pin.PinName.starts_with("VCCIO")) << pin.PinName;
          break;
        case bsdl::eScanPinKind_Ground:
          EXPECT_EQ(pin.PinName, "GND");
          break;
        case bsdl::eScanPinKind_Normal:
          break;
        default:
          ADD_FAILURE() << "kind " << static_cast<int>(pin.Kind);
      }
      EXPECT_EQ(pin.Direction, bsdl::eElectricIO);
      const bool isPad = pin.PinName.starts_with("P");
      EXPECT_EQ(pin.BoundaryCellCount, isPad ? 1 : 0) << pin.PinName;
      if (!isPad) continue;
      ASSERT_GE(pin.BoundaryCell, 0);
      ASSERT_LT(pin.BoundaryCell, record.BoundaryLength);
      const TBoundaryCellParameters& cell = record.BoundaryCells[pin.BoundaryCell];
      EXPECT_EQ(cell.CellFunction, bsdl::eCellFunction_BiDir);
      EXPECT_EQ(cell.PinNumber, pin.PinNumber);
      EXPECT_TRUE(cellsOfPins.insert(pin.BoundaryCell).second);
    }
    EXPECT_EQ(tapPins[bsdl::eScanPinKind_TDI], record.PinNumber_TDI);
    EXPECT_EQ(tapPins[bsdl::eScanPinKind_TDO], record.PinNumber_TDO);
    EXPECT_EQ(tapPins[bsdl::eScanPinKind_TMS], record.PinNumber_TMS);
    EXPECT_EQ(tapPins[bsdl::eScanPinKind_TCK], record.PinNumber_TCK);
    // Every BiDir cell belongs to exactly one pin.
    const auto bidirs = std::count_if(record.BoundaryCells.begin(), record.BoundaryCells.end(),
                                      [](const TBoundaryCellParameters& cell) {
                                        return cell.CellFunction == bsdl::eCellFunction_BiDir;
                                      });
    EXPECT_EQ(static_cast<size_t>(bidirs), cellsOfPins.size());
  }
}

TEST(BsdlRecords, TellingValuesOfTheSmallestPackage) {
  const TBSDLParameters& record = RecordNamed("lcmxo2_256hc_ucbga64.bsd");
  EXPECT_EQ(record.Name, "LCMXO2_256HC_XUMG64");
  EXPECT_EQ(record.Pins.size(), 64u);
  EXPECT_EQ(record.BoundaryCells.size(), 104u);
  EXPECT_EQ(record.OpCodes.size(), 24u);
  EXPECT_EQ(record.RegisterAssociations.size(), 9u);
  EXPECT_EQ(record.PinNumber_TDI, "B3");
  EXPECT_EQ(record.PinNumber_TRST, "");

  const struct {
    int32_t Control;
    std::string_view Port;
    std::string_view Pin;
  } pads[] = {{0, "PL2A", "A1"}, {2, "PL2B", "B1"}};
  for (const auto& pad : pads) {
    const TBoundaryCellParameters& control = record.BoundaryCells[pad.Control];
    const TBoundaryCellParameters& bidir = record.BoundaryCells[pad.Control + 1];
    EXPECT_EQ(control.CellFunction, bsdl::eCellFunction_Control);
    EXPECT_EQ(control.TargetCellNumber, pad.Control + 1);
    EXPECT_EQ(bidir.CellFunction, bsdl::eCellFunction_BiDir);
    EXPECT_EQ(bidir.ControlCellNumber, pad.Control);
    EXPECT_EQ(bidir.PortId, pad.Port);
    EXPECT_EQ(bidir.PinNumber, pad.Pin);
    const TScanPinParameters* pin = PinOn(record, pad.Pin);
    ASSERT_NE(pin, nullptr);
    EXPECT_EQ(pin->PinName, pad.Port);
    EXPECT_EQ(pin->BoundaryCell, pad.Control + 1);
  }
  for (int32_t n = 4; n < 8; ++n) EXPECT_NE(record.BoundaryCells[n].CellFunction, bsdl::eCellFunction_Internal) << n;
  for (int32_t n = 8; n < 12; ++n) EXPECT_EQ(record.BoundaryCells[n].CellFunction, bsdl::eCellFunction_Internal) << n;

  const TScanPinParameters* ground = PinOn(record, "C3");
  ASSERT_NE(ground, nullptr);
  EXPECT_EQ(ground->Kind, bsdl::eScanPinKind_Ground);
  EXPECT_EQ(ground->BoundaryCellCount, 0);
}

// The package side a pad name ("PL2A") and a pair name ("L2A") start with.
char PadSide(std::string_view padName) { return padName.size() > 1 ? padName[1] : '?'; }

TEST(BsdlRecords, RecordsAgreeWithTheCatalogueAndThePinRows) {
  const auto names = BuiltInBsdlFileNames();
  std::set<std::string_view> usedFiles;
  for (TDeviceKind kind = 0; kind < kDeviceKindCount; ++kind) {
    const TDeviceParameters& device = DeviceParameters(kind);
    SCOPED_TRACE(device.FullName);
    ASSERT_NE(std::find(names.begin(), names.end(), device.BSDL), names.end()) << device.BSDL;
    if (!usedFiles.insert(device.BSDL).second) continue;

    const TBSDLParameters& record = RecordNamed(device.BSDL);
    const auto rows = PinRows(device.PinSet);
    // The 256-ball records leave out two balls, the 332-ball records one.
    const int32_t left = record.Filename.ends_with("256.bsd") ? 2 : record.Filename.ends_with("332.bsd") ? 1 : 0;
    EXPECT_EQ(static_cast<int32_t>(record.Pins.size()) + left, PinSetFigures(device.PinSet).PinCount);

    std::map<std::string_view, const TPinParameters*> rowOf;
    for (const TPinParameters& row : rows) rowOf[row.PinNumber] = &row;
    for (const TScanPinParameters& pin : record.Pins) {
      SCOPED_TRACE(pin.PinNumber);
      const auto found = rowOf.find(pin.PinNumber);
      ASSERT_NE(found, rowOf.end()) << "scan pin on a ball the pin set lacks";
      const TPinParameters& row = *found->second;
      const bool tap = pin.Kind >= bsdl::eScanPinKind_TCK && pin.Kind <= bsdl::eScanPinKind_TMS;
      // IO balls are pads (the TAP balls included); no other ball is.
      EXPECT_EQ(row.Has(ePinOption_IO), tap || pin.BoundaryCellCount == 1);
      if (!row.Has(ePinOption_IO) || tap) continue;
      // The pad and its pair are on the same side and PIC.
      if (!row.DiffId.empty()) {
        EXPECT_EQ(PadSide(pin.PinName), row.DiffId.front());
        EXPECT_EQ(pin.PinName.substr(1, pin.PinName.size() - 2),
                  row.DiffId.substr(0, row.DiffId.size() - 1));
      }
    }
    // Every IO ball of the pin set is in the record.
    for (const TPinParameters& row : rows) {
      if (!row.Has(ePinOption_IO)) continue;
      EXPECT_NE(PinOn(record, row.PinNumber), nullptr) << row.PinNumber;
    }
  }
  EXPECT_EQ(usedFiles.size(), 48u) << "every record serves some kind";
}

}  // namespace
}  // namespace machxo2

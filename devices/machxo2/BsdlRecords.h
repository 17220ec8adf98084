// The built-in boundary-scan descriptions of the 48 MachXO2 die and package
// combinations, as constant records from which a driver builds the BSDL
// entity of its chip without reading a file.
//
// The records are generated from open chip databases by
// tools/gen_machxo2_tables.py into generated/BsdlRecords.generated.cpp. The
// open data carries no boundary-register order, so the cell order is a
// reconstruction (the generated file says how it is made); a vendor
// description file, when the user names one, is the better source.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "bsdl/BsdlEnums.h"

namespace machxo2 {

// In every record a pin maps to itself: the mapping repeats the pin's own
// name and number.
struct TPinMappingParameters {
  std::string_view PinName;
  std::string_view PinNumber;
};

// One package ball. A user IO ball has one boundary cell (its BiDir cell);
// TAP, supply, ground and no-connect balls have none (BoundaryCell is -1).
struct TScanPinParameters {
  bsdl::TPinElectrical Direction;
  std::string_view PinName;  // pad name ("PL2A"), "TDI" .. "TCK", "VCC", "VCCIO0", "GND", "NC"
  std::string_view PinNumber;
  bsdl::TScanPinKind Kind;
  TPinMappingParameters PinMapping;
  int32_t BoundaryCellCount;  // 0 or 1
  int32_t BoundaryCell;       // cell number, -1 when BoundaryCellCount is 0
};

// One cell of the boundary register. PortId is "*" for a cell with no port;
// PinNumber is empty for a cell that belongs to no ball; the cell numbers
// are -1 for none.
struct TBoundaryCellParameters {
  int32_t CellNumber;
  bsdl::TCellKind CellKind;
  std::string_view PortId;
  bsdl::TCellFunction CellFunction;
  bsdl::TBitValue SafeBit;
  bsdl::TBitValue DisableValue;
  bsdl::TDisableResult DisableResult;
  std::string_view PinNumber;
  int32_t ControlCellNumber;
  int32_t TargetCellNumber;  // set on a control cell: the cell it controls
};

struct TOpCodeParameters {
  std::string_view InstructionName;
  std::string_view OpCodePattern;
};

// A data register and the instructions that select it. The name may carry
// the register length in brackets ("ISC_DATA[504]"); RegisterLength is 0 in
// every record.
struct TRegisterAssociationParameters {
  std::string_view RegisterName;
  int32_t RegisterLength;
  std::span<const std::string_view> InstructionNames;
};

// One boundary-scan description. The TAP pin numbers are empty for a TAP
// pin the chip does not have (TRST on every MachXO2).
struct TBSDLParameters {
  std::string_view Name;  // entity name, "LCMXO2_256HC_XUMG64"
  int32_t BoundaryLength;
  double ScanClockMaxSpeed;  // Hz
  bsdl::TScanClockHaltMode ScanClockHaltMode;
  std::string_view ConformanceStatement;
  std::string_view CompliancePattern;
  std::string_view Filename;  // "lcmxo2_256hc_ucbga64.bsd"
  int32_t Instruction_SAMPLE;
  std::string_view PinNumber_TDI;
  std::string_view PinNumber_TDO;
  std::string_view PinNumber_TMS;
  std::string_view PinNumber_TCK;
  std::string_view PinNumber_TRST;
  std::span<const TScanPinParameters> Pins;
  std::span<const TBoundaryCellParameters> BoundaryCells;  // numbered 0 .. BoundaryLength - 1
  std::span<const TOpCodeParameters> OpCodes;
  std::span<const TRegisterAssociationParameters> RegisterAssociations;
};

// The 48 records: density ascending; within a density the HC files, then the
// ZE files, each in the package order of that density.
std::span<const TBSDLParameters> BuiltInBsdlRecords();

// The file names of the records, in the same order (entry i is
// BuiltInBsdlRecords()[i].Filename).
std::span<const std::string_view> BuiltInBsdlFileNames();

}  // namespace machxo2

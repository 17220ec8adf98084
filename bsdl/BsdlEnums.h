// The boundary-scan enumerations of the host SDK, each stored as one byte,
// with the display names the descriptions use.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace bsdl {

enum TCellKind : uint8_t {
  eCellKind_Undefined,
  eCellKind_BC_0,
  eCellKind_BC_1,
  eCellKind_BC_2,
  eCellKind_BC_3,
  eCellKind_BC_4,
  eCellKind_BC_5,
  eCellKind_BC_6,
  eCellKind_BC_7,
  eCellKind_BC_8,
  eCellKind_BC_9,
  eCellKind_BC_10,
};

enum TCellFunction : uint8_t {
  eCellFunction_Undefined,
  eCellFunction_Input,
  eCellFunction_Clock,
  eCellFunction_Output2,
  eCellFunction_Output3,
  eCellFunction_Control,
  eCellFunction_ControlR,
  eCellFunction_Internal,
  eCellFunction_BiDir,
  eCellFunction_ObserveOnly,
};

enum TBitValue : uint8_t { eBit_Undefined, eBit_0, eBit_1, eBit_X };

enum TDisableResult : uint8_t {
  eDisableResult_Undefined,
  eDisableResult_HiZ,
  eDisableResult_Weak0,
  eDisableResult_Weak1,
  eDisableResult_Pull0,
  eDisableResult_Pull1,
  eDisableResult_Keeper,
};

enum TScanPinKind : uint8_t {
  eScanPinKind_Normal,
  eScanPinKind_TRST,
  eScanPinKind_TCK,
  eScanPinKind_TDO,
  eScanPinKind_TDI,
  eScanPinKind_TMS,
  eScanPinKind_Power,
  eScanPinKind_Ground,
};

enum TScanClockHaltMode : uint8_t {
  eScanClockHaltMode_None,
  eScanClockHaltMode_Low,
  eScanClockHaltMode_Both,
};

enum TPinElectrical : uint8_t {
  eElectricInput,
  eElectricIO,
  eElectricOutput,
  eElectricOpenCollector,
  eElectricPassive,
  eElectricHiZ,
  eElectricOpenEmitter,
  eElectricPower,
};

inline constexpr std::string_view kCellKindNames[] = {"",    "BC_0", "BC_1", "BC_2",
                                                      "BC_3", "BC_4", "BC_5", "BC_6",
                                                      "BC_7", "BC_8", "BC_9", "BC_10"};
inline constexpr std::string_view kCellFunctionNames[] = {
    "", "Input", "Clock", "Output2", "Output3", "Control", "ControlR", "Internal", "BiDir",
    "ObserveOnly"};
inline constexpr std::string_view kBitValueNames[] = {"", "0", "1", "X"};
inline constexpr std::string_view kDisableResultNames[] = {"",      "Z",     "Weak0", "Weak1",
                                                           "Pull0", "Pull1", "Keeper"};
inline constexpr std::string_view kPinElectricalNames[] = {
    "Input", "I/O", "Output", "Open Collector", "Passive", "HiZ", "Open Emitter", "Power"};

// Display names by value; a value outside its enumeration (a byte the host
// or a table filled with something else) shows as the empty name rather
// than reading past the table.
template <size_t N>
constexpr std::string_view NameFromTable(const std::string_view (&names)[N], size_t index) {
  return index < N ? names[index] : std::string_view{};
}
constexpr std::string_view CellKindName(TCellKind v) { return NameFromTable(kCellKindNames, v); }
constexpr std::string_view CellFunctionName(TCellFunction v) {
  return NameFromTable(kCellFunctionNames, v);
}
constexpr std::string_view BitValueName(TBitValue v) { return NameFromTable(kBitValueNames, v); }
constexpr std::string_view DisableResultName(TDisableResult v) {
  return NameFromTable(kDisableResultNames, v);
}
constexpr std::string_view PinElectricalName(TPinElectrical v) {
  return NameFromTable(kPinElectricalNames, v);
}

}  // namespace bsdl

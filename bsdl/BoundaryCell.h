// One cell of the boundary register: its number and kind, the port it
// serves, what it does there, the value it must hold while the pins are
// safe, and for a driver cell the control cell that enables it.
#pragma once

#include <cstdint>
#include <string>

#include "bsdl/BSDLObject.h"
#include "bsdl/BsdlEnums.h"

namespace bsdl {

class TScanPin;

class TBoundaryCell : public TBSDLObject {
 public:
  TBoundaryCell(TBSDLEntity& owner, TBSDLOwnerKey key);

  int32_t CellNumber() const { return FCellNumber; }
  TCellKind CellKind() const { return FCellKind; }
  // The port the cell serves; "*" for a cell with no port.
  const std::string& PortId() const { return FPortId; }
  TBitValue SafeBit() const { return FSafeBit; }
  // -1 when no control cell enables this cell.
  int32_t ControlCellNumber() const { return FControlCellNumber; }
  TBitValue DisableValue() const { return FDisableValue; }
  TDisableResult DisableResult() const { return FDisableResult; }
  TScanPin* Pin() const { return FPin; }
  TBoundaryCell* ControlCell() const { return FControlCell; }
  // For a control cell: the cell it controls.
  TBoundaryCell* TargetCell() const { return FTargetCell; }
  TCellFunction CellFunction() const { return FCellFunction; }
  // The last captured bit, written by the host.
  int32_t CurrentValue() const { return FCurrentValue; }

  void SetCellNumber(int32_t value) { FCellNumber = value; }
  void SetCellKind(TCellKind value) { FCellKind = value; }
  void SetPortId(std::string value) { FPortId = std::move(value); }
  void SetCellFunction(TCellFunction value) { FCellFunction = value; }
  void SetSafeBit(TBitValue value) { FSafeBit = value; }
  void SetControlCellNumber(int32_t value) { FControlCellNumber = value; }
  void SetDisableValue(TBitValue value) { FDisableValue = value; }
  void SetDisableResult(TDisableResult value) { FDisableResult = value; }
  void SetPin(TScanPin* value);
  void SetControlCell(TBoundaryCell* value);
  void SetTargetCell(TBoundaryCell* value);
  void SetCurrentValue(int32_t value) { FCurrentValue = value; }

  // The cell as a line of a boundary register listing, in columns; the
  // control part and the pin follow only for a cell with a control cell.
  std::string Description() const override;
  std::string ShortDescription() const override;

 private:
  int32_t FCellNumber = -1;
  TCellKind FCellKind = eCellKind_Undefined;
  std::string FPortId = "*";
  TBitValue FSafeBit = eBit_X;
  int32_t FControlCellNumber = -1;
  TBitValue FDisableValue = eBit_0;
  TDisableResult FDisableResult = eDisableResult_Undefined;
  TScanPin* FPin = nullptr;
  TBoundaryCell* FControlCell = nullptr;
  TBoundaryCell* FTargetCell = nullptr;
  TCellFunction FCellFunction = eCellFunction_Undefined;
  int32_t FCurrentValue = 0;
};

}  // namespace bsdl

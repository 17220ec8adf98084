// One package pin of a boundary-scan entity: its port name, its ball or
// lead, its electrical direction, its role (TAP, power, ground or a normal
// pin) and the boundary cells that observe or drive it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "bsdl/BSDLObject.h"
#include "bsdl/BsdlEnums.h"

namespace bsdl {

class TBoundaryCell;
class TPinMapping;

class TScanPin : public TBSDLObject {
 public:
  TScanPin(TBSDLEntity& owner, TBSDLOwnerKey key);

  TPinElectrical Direction() const { return FDirection; }
  const std::string& PinName() const { return FPinName; }
  // The package ball or lead ("A1", "94").
  const std::string& PinNumber() const { return FPinNumber; }
  TScanPinKind Kind() const { return FKind; }
  TPinMapping* PinMapping() const { return FPinMapping; }
  // The last sampled level, written by the host.
  int32_t CurrentValue() const { return FCurrentValue; }
  // The cells that belong to this pin (not owned).
  const std::vector<TBoundaryCell*>& BoundaryCells() const { return FBoundaryCells; }

  void SetDirection(TPinElectrical value) { FDirection = value; }
  void SetPinName(std::string value) { FPinName = std::move(value); }
  void SetPinNumber(std::string value) { FPinNumber = std::move(value); }
  void SetKind(TScanPinKind value) { FKind = value; }
  void SetPinMapping(TPinMapping* value);
  void SetCurrentValue(int32_t value) { FCurrentValue = value; }
  void AddBoundaryCell(TBoundaryCell* cell);

  // " Pin Name:" PinName " Number:" PinNumber " IO:" direction, in columns.
  std::string Description() const override;
  // PinName(PinNumber)-direction.
  std::string ShortDescription() const override;

 private:
  TPinElectrical FDirection = eElectricPassive;
  std::string FPinName;
  std::string FPinNumber;
  TScanPinKind FKind = eScanPinKind_Normal;
  TPinMapping* FPinMapping = nullptr;
  int32_t FCurrentValue = 0;
  std::vector<TBoundaryCell*> FBoundaryCells;
};

}  // namespace bsdl

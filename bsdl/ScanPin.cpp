#include "bsdl/ScanPin.h"

#include <stdexcept>

#include "bsdl/BoundaryCell.h"
#include "bsdl/BsdlText.h"
#include "bsdl/BsdlViews.h"
#include "bsdl/PinMapping.h"

namespace bsdl {

TScanPin::TScanPin(TBSDLEntity& owner, TBSDLOwnerKey key) : TBSDLObject(owner, key) {
  auto* view = new TScanPin_Impl(*this);
  AddImplementator(view->AsDispatch(), view);
}

void TScanPin::SetPinMapping(TPinMapping* value) {
  RequireSameEntity(value, "the pin mapping");
  FPinMapping = value;
}

void TScanPin::AddBoundaryCell(TBoundaryCell* cell) {
  if (!cell) throw std::invalid_argument("no boundary cell to add to pin " + FPinName);
  RequireSameEntity(cell, "the boundary cell");
  FBoundaryCells.push_back(cell);
}

std::string TScanPin::Description() const {
  return " Pin Name:" + Pad(FPinName, 12) + " Number:" + Pad(FPinNumber, 12) +
         " IO:" + std::string(PinElectricalName(FDirection));
}

std::string TScanPin::ShortDescription() const {
  return FPinName + "(" + FPinNumber + ")-" + std::string(PinElectricalName(FDirection));
}

}  // namespace bsdl

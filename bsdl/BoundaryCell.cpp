#include "bsdl/BoundaryCell.h"

#include "bsdl/BsdlText.h"
#include "bsdl/BsdlViews.h"
#include "bsdl/ScanPin.h"

namespace bsdl {

TBoundaryCell::TBoundaryCell(TBSDLEntity& owner, TBSDLOwnerKey key) : TBSDLObject(owner, key) {
  auto* view = new TBoundaryCell_Impl(*this);
  AddImplementator(view->AsDispatch(), view);
}

void TBoundaryCell::SetPin(TScanPin* value) {
  RequireSameEntity(value, "the pin");
  FPin = value;
}

void TBoundaryCell::SetControlCell(TBoundaryCell* value) {
  RequireSameEntity(value, "the control cell");
  FControlCell = value;
}

void TBoundaryCell::SetTargetCell(TBoundaryCell* value) {
  RequireSameEntity(value, "the target cell");
  FTargetCell = value;
}

std::string TBoundaryCell::Description() const {
  std::string text = Pad(FCellNumber, 4) + "(" + Pad(CellKindName(FCellKind), 10) + "," +
                     Pad(FPortId, 10) + "," + Pad(CellFunctionName(FCellFunction), 10) + "," +
                     Pad(BitValueName(FSafeBit), 2);
  if (FControlCellNumber < 0) return text;
  text += "," + Pad(FControlCellNumber, 4) + "," + Pad(BitValueName(FDisableValue), 2) + "," +
          Pad(DisableResultName(FDisableResult), 10) + ",";
  if (FPin) text += " Pin:" + FPin->PinName();
  return text;
}

std::string TBoundaryCell::ShortDescription() const { return Description(); }

}  // namespace bsdl

#include "bsdl/PinMapping.h"

#include "bsdl/BsdlViews.h"
#include "bsdl/ScanPin.h"

namespace bsdl {

TPinMapping::TPinMapping(TBSDLEntity& owner, TBSDLOwnerKey key) : TBSDLObject(owner, key) {
  auto* view = new TPinMapping_Impl(*this);
  AddImplementator(view->AsDispatch(), view);
}

void TPinMapping::SetScanPin(TScanPin* value) {
  RequireSameEntity(value, "the scan pin");
  FScanPin = value;
}

}  // namespace bsdl

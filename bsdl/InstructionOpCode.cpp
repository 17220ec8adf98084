#include "bsdl/InstructionOpCode.h"

#include "bsdl/BsdlViews.h"

namespace bsdl {

TInstructionOpCode::TInstructionOpCode(TBSDLEntity& owner, TBSDLOwnerKey key)
    : TBSDLObject(owner, key) {
  auto* view = new TInstructionOpCode_Impl(*this);
  AddImplementator(view->AsDispatch(), view);
}

std::string TInstructionOpCode::Description() const {
  return FInstructionName + "(" + FOpCodePattern + ")";
}

std::string TInstructionOpCode::ShortDescription() const { return Description(); }

}  // namespace bsdl

#include "bsdl/BSDLEntity.h"

#include <stdexcept>

#include "bsdl/BoundaryCell.h"
#include "bsdl/BsdlViews.h"
#include "bsdl/InstructionOpCode.h"
#include "bsdl/PinMapping.h"
#include "bsdl/RegisterAssociation.h"
#include "bsdl/ScanPin.h"

namespace bsdl {

TBSDLEntity::TBSDLEntity() {
  auto* view = new TBSDLEntity_Impl(*this);
  FImpl = TImplementator{automation::ComPtr<IDispatch>(view->AsDispatch()), view};
}

TBSDLEntity::~TBSDLEntity() {
  FImpl.link->Unlink();
  // Elements go before the lists that name them; their destructors touch
  // only their own views.
  FOwned.clear();
}

HRESULT TBSDLEntity::Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
                            VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr) {
  const HRESULT own =
      TDispatchObjectNoRef::Invoke(id, riid, lcid, flags, params, result, excepInfo, argErr);
  if (SUCCEEDED(own)) return own;
  return ForwardToViews(std::span<const TImplementator>(&FImpl, 1), id, riid, lcid, flags, params,
                        result, excepInfo, argErr);
}

void TBSDLEntity::RequireOwn(const TBSDLObject* element) const {
  if (element && &element->Entity() != this)
    throw std::invalid_argument("the element belongs to another boundary-scan entity");
}

namespace {

template <class Element>
void Append(std::vector<Element*>& list, Element* element, const char* what) {
  if (!element) throw std::invalid_argument(std::string("no ") + what + " to add to the entity");
  list.push_back(element);
}

}  // namespace

template <class Element>
Element* TBSDLEntity::Own(Element* element) const {
  RequireOwn(element);
  return element;
}

void TBSDLEntity::SetTAP_TDI(TScanPin* pin) { FTAP_TDI = Own(pin); }
void TBSDLEntity::SetTAP_TDO(TScanPin* pin) { FTAP_TDO = Own(pin); }
void TBSDLEntity::SetTAP_TMS(TScanPin* pin) { FTAP_TMS = Own(pin); }
void TBSDLEntity::SetTAP_TCK(TScanPin* pin) { FTAP_TCK = Own(pin); }
void TBSDLEntity::SetTAP_TRST(TScanPin* pin) { FTAP_TRST = Own(pin); }

void TBSDLEntity::AddPin(TScanPin* pin) { Append(FPins, Own(pin), "pin"); }

void TBSDLEntity::AddPinMapping(TPinMapping* mapping) {
  Append(FPinMappings, Own(mapping), "pin mapping");
}

void TBSDLEntity::AddBoundaryCell(TBoundaryCell* cell) {
  Append(FBoundaryCells, Own(cell), "boundary cell");
}

void TBSDLEntity::AddInstructionOpCode(TInstructionOpCode* opCode) {
  Append(FInstructionOpCodes, Own(opCode), "instruction opcode");
}

void TBSDLEntity::AddRegisterAssociation(TRegisterAssociation* association) {
  Append(FRegisterAssociations, Own(association), "register association");
}

}  // namespace bsdl

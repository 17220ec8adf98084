#include "bsdl/BsdlViews.h"

#include <limits>
#include <vector>

#include "bsdl/BsdlDispIds.h"

namespace bsdl {

namespace {

// The most specific view of `object`, or none.
ComPtr<IDispatch> ImplOf(const TBSDLObject* object) {
  return object ? ComPtr<IDispatch>(object->GetImpl()) : nullptr;
}

// The object's own dispatch, which forwards to its views, or none.
ComPtr<IDispatch> OwnDispatchOf(TScanPin* pin) {
  return pin ? ComPtr<IDispatch>(pin->AsDispatch()) : nullptr;
}

template <class Element>
ComPtr<IDispatch> ImplAt(const std::vector<Element*>& list, int32_t index) {
  if (index < 0 || static_cast<size_t>(index) >= list.size()) return nullptr;
  return ImplOf(list[static_cast<size_t>(index)]);
}

template <class List>
int32_t CountOf(const List& list) {
  // A list never grows near this, but a count must not wrap negative.
  constexpr size_t kMax = static_cast<size_t>(std::numeric_limits<int32_t>::max());
  return static_cast<int32_t>(list.size() < kMax ? list.size() : kMax);
}

bool IsValueHolderCall(DISPID id) { return id == dispid::kValueHolder_SetCurrentValue; }

bool IsValueHolderName(const std::string& name) {
  return plugin::SameText(name, "BSDLValueHolder");
}

}  // namespace

HRESULT TScanPin_Impl::Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
                              VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr) {
  if (IsValueHolderCall(id))
    return plugin::Row<&TScanPin_Impl::SetCurrentValue>(id).run(
        *this, plugin::InvokeArgs{params, result, excepInfo, argErr});
  return TAbstractScanPin::Invoke(id, riid, lcid, flags, params, result, excepInfo, argErr);
}

bool TScanPin_Impl::SupportsServiceName(const std::string& name) {
  return TAbstractScanPin::SupportsServiceName(name) || IsValueHolderName(name);
}

ComPtr<IDispatch> TScanPin_Impl::GetPinMapping() { return ImplOf(Source().PinMapping()); }

int32_t TScanPin_Impl::GetBoundaryCellCount() { return CountOf(Source().BoundaryCells()); }

ComPtr<IDispatch> TScanPin_Impl::GetBoundaryCell(int32_t index) {
  return ImplAt(Source().BoundaryCells(), index);
}

ComPtr<IDispatch> TPinMapping_Impl::GetScanPin() { return ImplOf(Source().ScanPin()); }

HRESULT TBoundaryCell_Impl::Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags,
                                   DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo,
                                   UINT* argErr) {
  if (IsValueHolderCall(id))
    return plugin::Row<&TBoundaryCell_Impl::SetCurrentValue>(id).run(
        *this, plugin::InvokeArgs{params, result, excepInfo, argErr});
  return TAbstractBoundaryCell::Invoke(id, riid, lcid, flags, params, result, excepInfo, argErr);
}

bool TBoundaryCell_Impl::SupportsServiceName(const std::string& name) {
  return TAbstractBoundaryCell::SupportsServiceName(name) || IsValueHolderName(name);
}

ComPtr<IDispatch> TBoundaryCell_Impl::GetPin() { return ImplOf(Source().Pin()); }

ComPtr<IDispatch> TBoundaryCell_Impl::GetControlCell() { return ImplOf(Source().ControlCell()); }

ComPtr<IDispatch> TBoundaryCell_Impl::GetTargetCell() { return ImplOf(Source().TargetCell()); }

int32_t TRegisterAssociation_Impl::GetInstructionOpcodeCount() {
  return CountOf(Source().InstructionOpCodes());
}

ComPtr<IDispatch> TRegisterAssociation_Impl::GetInstructionOpcode(int32_t index) {
  const auto& entries = Source().InstructionOpCodes();
  if (index < 0 || static_cast<size_t>(index) >= entries.size()) return nullptr;
  return ImplOf(entries[static_cast<size_t>(index)].opCode);
}

ComPtr<IDispatch> TBSDLEntity_Impl::GetPin(int32_t index) { return ImplAt(Source().Pins(), index); }

ComPtr<IDispatch> TBSDLEntity_Impl::GetPinMapping(int32_t index) {
  return ImplAt(Source().PinMappings(), index);
}

ComPtr<IDispatch> TBSDLEntity_Impl::GetBoundaryCell(int32_t index) {
  return ImplAt(Source().BoundaryCells(), index);
}

ComPtr<IDispatch> TBSDLEntity_Impl::GetInstructionOpcode(int32_t index) {
  return ImplAt(Source().InstructionOpCodes(), index);
}

ComPtr<IDispatch> TBSDLEntity_Impl::GetRegisterAssociation(int32_t index) {
  return ImplAt(Source().RegisterAssociations(), index);
}

int32_t TBSDLEntity_Impl::GetPinCount() { return CountOf(Source().Pins()); }

int32_t TBSDLEntity_Impl::GetPinMappingCount() { return CountOf(Source().PinMappings()); }

int32_t TBSDLEntity_Impl::GetBoundaryCellCount() { return CountOf(Source().BoundaryCells()); }

int32_t TBSDLEntity_Impl::GetInstructionOpcodeCount() {
  return CountOf(Source().InstructionOpCodes());
}

int32_t TBSDLEntity_Impl::GetRegisterAssociationCount() {
  return CountOf(Source().RegisterAssociations());
}

ComPtr<IDispatch> TBSDLEntity_Impl::GetPin_TDI() { return OwnDispatchOf(Source().TAP_TDI()); }

ComPtr<IDispatch> TBSDLEntity_Impl::GetPin_TDO() { return OwnDispatchOf(Source().TAP_TDO()); }

ComPtr<IDispatch> TBSDLEntity_Impl::GetPin_TMS() { return OwnDispatchOf(Source().TAP_TMS()); }

ComPtr<IDispatch> TBSDLEntity_Impl::GetPin_TCK() { return OwnDispatchOf(Source().TAP_TCK()); }

ComPtr<IDispatch> TBSDLEntity_Impl::GetPin_TRST() { return OwnDispatchOf(Source().TAP_TRST()); }

}  // namespace bsdl

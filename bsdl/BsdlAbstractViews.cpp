#include "bsdl/BsdlAbstractViews.h"

#include <exception>

namespace bsdl {

namespace {

using plugin::DispatchRow;
using plugin::InvokeArgs;
using plugin::MakeDispatchTable;
using plugin::Row;

// The dispatch rows have no real-number result kind; the scan clock speed
// is the one such result, written as VT_R8 with the rows' failure rules.
HRESULT RunGetScanClockMaxSpeed(TAbstractBSDLEntity& self, const InvokeArgs& call) {
  if (!call.result) return E_POINTER;
  try {
    const double speed = self.GetScanClockMaxSpeed();
    VariantClear(call.result);
    call.result->vt = VT_R8;
    call.result->dblVal = speed;
  } catch (const std::exception& e) {
    return plugin::ReportOperationFailure(call, e.what());
  } catch (...) {
    return plugin::ReportOperationFailure(call, "unknown error");
  }
  return S_OK;
}

using E = TAbstractBSDLEntity;
constexpr DispatchRow<E> kEntityRows[] = {
    Row<&E::GetName>(503458),
    Row<&E::GetInstructionLength>(503459),
    Row<&E::GetIdCode>(503460),
    Row<&E::GetBoundaryLength>(503461),
    Row<&E::GetPin>(503462),
    Row<&E::GetPinMapping>(503463),
    Row<&E::GetBoundaryCell>(503464),
    Row<&E::GetInstructionOpcode>(503465),
    Row<&E::GetRegisterAssociation>(503466),
    Row<&E::GetPinCount>(503467),
    Row<&E::GetPinMappingCount>(503468),
    Row<&E::GetBoundaryCellCount>(503469),
    Row<&E::GetInstructionOpcodeCount>(503470),
    Row<&E::GetRegisterAssociationCount>(503471),
    Row<&E::GetPin_TDI>(503472),
    Row<&E::GetPin_TDO>(503473),
    Row<&E::GetPin_TMS>(503474),
    Row<&E::GetPin_TCK>(503475),
    Row<&E::GetPin_TRST>(503476),
    Row<&E::GetInstruction_BYPASS>(503477),
    Row<&E::GetInstruction_EXTEST>(503478),
    Row<&E::GetInstruction_SAMPLE>(503479),
    Row<&E::GetInstruction_IDCODE>(503480),
    Row<&E::GetInstruction_USERCODE>(503481),
    Row<&E::GetInstruction_CLAMP>(503482),
    Row<&E::GetInstruction_HIGHZ>(503483),
    DispatchRow<E>{503484, &RunGetScanClockMaxSpeed},
    Row<&E::GetScanClockHaltMode>(503485),
    Row<&E::GetConformanceStatement>(503486),
    Row<&E::GetCompliancePattern>(503487),
    Row<&E::GetDesignWarning>(503488),
    Row<&E::GetFilename>(503489),
};
constexpr auto kEntityTable = MakeDispatchTable(kEntityRows);
static_assert(kEntityTable.Size() == 32);
static_assert(kEntityTable.At(0).id == 503458 && kEntityTable.At(31).id == 503489);

using O = TAbstractBSDLObject;
constexpr DispatchRow<O> kObjectRows[] = {
    Row<&O::GetDescription>(503427),
    Row<&O::GetShortDescription>(503428),
    Row<&O::GetEntity>(503429),
};
constexpr auto kObjectTable = MakeDispatchTable(kObjectRows);

using P = TAbstractScanPin;
constexpr DispatchRow<P> kScanPinRows[] = {
    Row<&P::GetDirection>(503490),    Row<&P::GetPinName>(503491),
    Row<&P::GetPinNumber>(503492),    Row<&P::GetKind>(503493),
    Row<&P::GetPinMapping>(503494),   Row<&P::GetBoundaryCellCount>(503495),
    Row<&P::GetBoundaryCell>(503496), Row<&P::GetCurrentValue>(503497),
};
constexpr auto kScanPinTable = MakeDispatchTable(kScanPinRows);

using M = TAbstractPinMapping;
constexpr DispatchRow<M> kPinMappingRows[] = {
    Row<&M::GetPinName>(503498),
    Row<&M::GetPinNumber>(503499),
    Row<&M::GetScanPin>(503500),
};
constexpr auto kPinMappingTable = MakeDispatchTable(kPinMappingRows);

using C = TAbstractBoundaryCell;
constexpr DispatchRow<C> kBoundaryCellRows[] = {
    Row<&C::GetCellNumber>(503501),   Row<&C::GetCellKind>(503502),
    Row<&C::GetPortId>(503503),       Row<&C::GetCellFunction>(503504),
    Row<&C::GetSafeBit>(503505),      Row<&C::GetControlCellNumber>(503506),
    Row<&C::GetDisableValue>(503507), Row<&C::GetDisableResult>(503508),
    Row<&C::GetPin>(503509),          Row<&C::GetControlCell>(503510),
    Row<&C::GetTargetCell>(503511),   Row<&C::GetCurrentValue>(503512),
};
constexpr auto kBoundaryCellTable = MakeDispatchTable(kBoundaryCellRows);

using I = TAbstractInstructionOpCode;
constexpr DispatchRow<I> kInstructionOpCodeRows[] = {
    Row<&I::GetInstructionName>(503513),
    Row<&I::GetOpCodePattern>(503514),
};
constexpr auto kInstructionOpCodeTable = MakeDispatchTable(kInstructionOpCodeRows);

using R = TAbstractRegisterAssociation;
constexpr DispatchRow<R> kRegisterAssociationRows[] = {
    Row<&R::GetRegisterName>(503515),
    Row<&R::GetRegisterLength>(503516),
    Row<&R::GetInstructionOpcodeCount>(503517),
    Row<&R::GetInstructionOpcode>(503518),
};
constexpr auto kRegisterAssociationTable = MakeDispatchTable(kRegisterAssociationRows);

}  // namespace

HRESULT TAbstractBSDLEntity::Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags,
                                    DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo,
                                    UINT* argErr) {
  if (const auto* row = kEntityTable.Find(id))
    return row->run(*this, InvokeArgs{params, result, excepInfo, argErr});
  return plugin::TAbstractSupportService::Invoke(id, riid, lcid, flags, params, result, excepInfo,
                                                 argErr);
}

bool TAbstractBSDLEntity::SupportsServiceName(const std::string& name) {
  return TAbstractSupportService::SupportsServiceName(name) || plugin::SameText(name, "BSDLEntity");
}

HRESULT TAbstractBSDLObject::Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags,
                                    DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo,
                                    UINT* argErr) {
  if (const auto* row = kObjectTable.Find(id))
    return row->run(*this, InvokeArgs{params, result, excepInfo, argErr});
  return plugin::TAbstractSupportService::Invoke(id, riid, lcid, flags, params, result, excepInfo,
                                                 argErr);
}

bool TAbstractBSDLObject::SupportsServiceName(const std::string& name) {
  return TAbstractSupportService::SupportsServiceName(name) || plugin::SameText(name, "BSDLObject");
}

HRESULT TAbstractScanPin::Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
                                 VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr) {
  if (const auto* row = kScanPinTable.Find(id))
    return row->run(*this, InvokeArgs{params, result, excepInfo, argErr});
  return TAbstractBSDLObject::Invoke(id, riid, lcid, flags, params, result, excepInfo, argErr);
}

bool TAbstractScanPin::SupportsServiceName(const std::string& name) {
  return TAbstractBSDLObject::SupportsServiceName(name) || plugin::SameText(name, "ScanPin");
}

HRESULT TAbstractPinMapping::Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags,
                                    DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo,
                                    UINT* argErr) {
  if (const auto* row = kPinMappingTable.Find(id))
    return row->run(*this, InvokeArgs{params, result, excepInfo, argErr});
  return TAbstractBSDLObject::Invoke(id, riid, lcid, flags, params, result, excepInfo, argErr);
}

bool TAbstractPinMapping::SupportsServiceName(const std::string& name) {
  return TAbstractBSDLObject::SupportsServiceName(name) || plugin::SameText(name, "PinMapping");
}

HRESULT TAbstractBoundaryCell::Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags,
                                      DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo,
                                      UINT* argErr) {
  if (const auto* row = kBoundaryCellTable.Find(id))
    return row->run(*this, InvokeArgs{params, result, excepInfo, argErr});
  return TAbstractBSDLObject::Invoke(id, riid, lcid, flags, params, result, excepInfo, argErr);
}

bool TAbstractBoundaryCell::SupportsServiceName(const std::string& name) {
  return TAbstractBSDLObject::SupportsServiceName(name) || plugin::SameText(name, "BoundaryCell");
}

HRESULT TAbstractInstructionOpCode::Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags,
                                           DISPPARAMS* params, VARIANT* result,
                                           EXCEPINFO* excepInfo, UINT* argErr) {
  if (const auto* row = kInstructionOpCodeTable.Find(id))
    return row->run(*this, InvokeArgs{params, result, excepInfo, argErr});
  return TAbstractBSDLObject::Invoke(id, riid, lcid, flags, params, result, excepInfo, argErr);
}

bool TAbstractInstructionOpCode::SupportsServiceName(const std::string& name) {
  return TAbstractBSDLObject::SupportsServiceName(name) ||
         plugin::SameText(name, "InstructionOpCode");
}

HRESULT TAbstractRegisterAssociation::Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags,
                                             DISPPARAMS* params, VARIANT* result,
                                             EXCEPINFO* excepInfo, UINT* argErr) {
  if (const auto* row = kRegisterAssociationTable.Find(id))
    return row->run(*this, InvokeArgs{params, result, excepInfo, argErr});
  return TAbstractBSDLObject::Invoke(id, riid, lcid, flags, params, result, excepInfo, argErr);
}

bool TAbstractRegisterAssociation::SupportsServiceName(const std::string& name) {
  return TAbstractBSDLObject::SupportsServiceName(name) ||
         plugin::SameText(name, "RegisterAssociation");
}

}  // namespace bsdl

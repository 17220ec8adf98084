#include "plugin/AbstractDevicePin.h"

namespace plugin {

namespace {

using T = TAbstractDevicePin;

constexpr DispatchRow<T> kRows[] = {
    Row<&T::GetPinNumber>(503525),          Row<&T::GetIOBank>(503526),
    Row<&T::GetIsIOPin>(503527),            Row<&T::GetIsCLKPin>(503528),
    Row<&T::GetIsVREFPin>(503529),          Row<&T::GetIsSpecialPin>(503530),
    Row<&T::GetIOStandardCount>(503531),    Row<&T::GetIOStandard>(503532),
    Row<&T::GetIsInputOnlyPin>(503533),     Row<&T::GetIsDCIP_Pin>(503534),
    Row<&T::GetIsDCIN_Pin>(503535),         Row<&T::GetIsDiffP_Pin>(503536),
    Row<&T::GetIsDiffN_Pin>(503537),        Row<&T::GetIsHDiffP_Pin>(503538),
    Row<&T::GetIsHDiffN_Pin>(503539),       Row<&T::GetIsTransmitDiffPin>(503540),
    Row<&T::GetIsReceiveDiffPin>(503541),   Row<&T::GetIsClkDiffP_Pin>(503542),
    Row<&T::GetIsClkDiffN_Pin>(503543),     Row<&T::GetIsDLLPin>(503544),
    Row<&T::GetDifferentialId>(503545),     Row<&T::GetClkDifferentialId>(503546),
    Row<&T::GetUniqueDifferentialID>(503547), Row<&T::GetIsPosPinOfDiffPair>(503548),
    Row<&T::GetIsNegPinOfDiffPair>(503549),
};

constexpr auto kTable = MakeDispatchTable(kRows);
static_assert(kTable.Size() == 25);

}  // namespace

HRESULT TAbstractDevicePin::Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags,
                                   DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo,
                                   UINT* argErr) {
  if (const auto* row = kTable.Find(id))
    return row->run(*this, InvokeArgs{params, result, excepInfo, argErr});
  return TAbstractSupportService::Invoke(id, riid, lcid, flags, params, result, excepInfo, argErr);
}

bool TAbstractDevicePin::SupportsServiceName(const std::string& name) {
  return TAbstractSupportService::SupportsServiceName(name) || SameText(name, "DevicePin");
}

std::string TTalvoAbstractDevicePin::GetUniqueDifferentialID() {
  return GetIOBank() + "|" + GetDifferentialId() + "|" + GetClkDifferentialId();
}

bool TTalvoAbstractDevicePin::GetIsPosPinOfDiffPair() {
  return GetIsDiffP_Pin() || GetIsHDiffP_Pin() || GetIsDCIP_Pin() || GetIsClkDiffP_Pin();
}

bool TTalvoAbstractDevicePin::GetIsNegPinOfDiffPair() {
  return GetIsDiffN_Pin() || GetIsHDiffN_Pin() || GetIsDCIN_Pin() || GetIsClkDiffN_Pin();
}

}  // namespace plugin

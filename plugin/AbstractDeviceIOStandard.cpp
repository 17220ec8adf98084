#include "plugin/AbstractDeviceIOStandard.h"

#include "plugin/IOStandardNames.h"

namespace plugin {

namespace {

using T = TAbstractDeviceIOStandard;

constexpr DispatchRow<T> kRows[] = {
    Row<&T::GetDisplayName>(503519), Row<&T::GetParamName>(503520),
    Row<&T::GetSlewCount>(503521),   Row<&T::GetSlewValue>(503522),
    Row<&T::GetDriveCount>(503523),  Row<&T::GetDriveStrength>(503524),
};

constexpr auto kTable = MakeDispatchTable(kRows);

}  // namespace

HRESULT TAbstractDeviceIOStandard::Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags,
                                          DISPPARAMS* params, VARIANT* result,
                                          EXCEPINFO* excepInfo, UINT* argErr) {
  if (const auto* row = kTable.Find(id))
    return row->run(*this, InvokeArgs{params, result, excepInfo, argErr});
  return TAbstractSupportService::Invoke(id, riid, lcid, flags, params, result, excepInfo, argErr);
}

bool TAbstractDeviceIOStandard::SupportsServiceName(const std::string& name) {
  return TAbstractSupportService::SupportsServiceName(name) || SameText(name, "DeviceIOStandard");
}

std::string TTalvoAbstractDeviceIOStandard::GetDisplayName() {
  return std::string(IOStandardDisplayName(GetGenericIndex()));
}

std::string TTalvoAbstractDeviceIOStandard::GetParamName() {
  return std::string(IOStandardParamName(GetGenericIndex()));
}

}  // namespace plugin

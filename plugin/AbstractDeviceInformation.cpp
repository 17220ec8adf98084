#include "plugin/AbstractDeviceInformation.h"

namespace plugin {

namespace {

using T = TAbstractDeviceInformation;

constexpr DispatchRow<T> kRows[] = {
    Row<&T::GetIdCode>(503379),
    Row<&T::GetDeviceName>(503380),
    Row<&T::GetDeviceDescription>(503381),
    Row<&T::GetFamilyName>(503382),
    Row<&T::GetFamilyDescription>(503383),
    Row<&T::GetLibraryName>(503384),
    Row<&T::GetVendorPrimitiveLibraryName>(503385),
    Row<&T::GetBaseName>(503386),
    Row<&T::GetEquivalentGatesForBase>(503387),
    Row<&T::GetMaxIOForBase>(503388),
    Row<&T::GetPackageTypeId>(503389),
    Row<&T::GetPackageTypeName>(503390),
    Row<&T::GetPackageTypeDescription>(503391),
    Row<&T::GetPackageId>(503392),
    Row<&T::GetPackageName>(503393),
    Row<&T::GetPackageDescription>(503394),
    Row<&T::GetPackageDimensions>(503395),
    Row<&T::GetTemperatureGradeId>(503396),
    Row<&T::GetTemperatureGradeName>(503397),
    Row<&T::GetTemperatureGradeDescription>(503398),
    Row<&T::GetSpeedGradeId>(503399),
    Row<&T::GetSpeedGradeName>(503400),
    Row<&T::GetSpeedGradeDescription>(503401),
    Row<&T::GetOptionDesignatorId>(503402),
    Row<&T::GetOptionDesignatorName>(503403),
    Row<&T::GetOptionDesignatorDescription>(503404),
    Row<&T::GetBSDLFilename>(503405),
    Row<&T::GetBSDLEntity>(503406),
    Row<&T::GetVendorName>(503407),
    Row<&T::GetInstructionLength>(503408),
    Row<&T::GetDevicePinCount>(503409),
    Row<&T::GetDeviceIOCount>(503410),
    Row<&T::GetDevicePin>(503411),
    Row<&T::GetDownloadFileExtensions>(503412),
    Row<&T::GetDSPMultiplierCount>(503413),
    Row<&T::GetClockManagerCount>(503414),
    Row<&T::GetMemorySize>(503415),
    Row<&T::GetTerminationSupport>(503416),
    Row<&T::GetGlobalClockCount>(503417),
    Row<&T::GetConfigMemorySize>(503418),
    Row<&T::GetDiffPairCount>(503419),
    Row<&T::GetHighSpeedDiffPairCount>(503420),
    Row<&T::GetIOStandardCount>(503421),
    Row<&T::GetIOStandard>(503422),
    Row<&T::GetDeviceDisplayName>(503423),
    Row<&T::GetDeviceParameter>(503424),
};

constexpr auto kTable = MakeDispatchTable(kRows);
static_assert(kTable.Size() == 46);
static_assert(kTable.At(0).id == 503379 && kTable.At(45).id == 503424);

}  // namespace

HRESULT TAbstractDeviceInformation::Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags,
                                           DISPPARAMS* params, VARIANT* result,
                                           EXCEPINFO* excepInfo, UINT* argErr) {
  if (const auto* row = kTable.Find(id))
    return row->run(*this, InvokeArgs{params, result, excepInfo, argErr});
  return TAbstractSupportService::Invoke(id, riid, lcid, flags, params, result, excepInfo, argErr);
}

bool TAbstractDeviceInformation::SupportsServiceName(const std::string& name) {
  return TAbstractSupportService::SupportsServiceName(name) || SameText(name, "DeviceInformation");
}

}  // namespace plugin

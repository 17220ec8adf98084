// The device-information block of the host's driver dispatch interface:
// 46 operations, DISPIDs 503379..503424 in declaration order. Subclasses
// implement the operations; Invoke routes each DISPID to its operation's
// virtual entry, so an override is reached without touching the table.
#pragma once

#include <cstdint>
#include <string>

#include "automation/ComPtr.h"
#include "plugin/SupportService.h"

namespace plugin {

using automation::ComPtr;

class TAbstractDeviceInformation : public TAbstractSupportService {
 public:
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags,
                                   DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo,
                                   UINT* argErr) override;
  bool SupportsServiceName(const std::string& name) override;

  virtual uint32_t GetIdCode() = 0;
  virtual std::string GetDeviceName() = 0;
  virtual std::string GetDeviceDescription() = 0;
  virtual std::string GetFamilyName() = 0;
  virtual std::string GetFamilyDescription() = 0;
  virtual std::string GetLibraryName() = 0;
  virtual std::string GetVendorPrimitiveLibraryName() = 0;
  virtual std::string GetBaseName() = 0;
  virtual int32_t GetEquivalentGatesForBase() = 0;
  virtual int32_t GetMaxIOForBase() = 0;
  virtual std::string GetPackageTypeId() = 0;
  virtual std::string GetPackageTypeName() = 0;
  virtual std::string GetPackageTypeDescription() = 0;
  virtual std::string GetPackageId() = 0;
  virtual std::string GetPackageName() = 0;
  virtual std::string GetPackageDescription() = 0;
  virtual std::string GetPackageDimensions() = 0;
  virtual std::string GetTemperatureGradeId() = 0;
  virtual std::string GetTemperatureGradeName() = 0;
  virtual std::string GetTemperatureGradeDescription() = 0;
  virtual std::string GetSpeedGradeId() = 0;
  virtual std::string GetSpeedGradeName() = 0;
  virtual std::string GetSpeedGradeDescription() = 0;
  virtual std::string GetOptionDesignatorId() = 0;
  virtual std::string GetOptionDesignatorName() = 0;
  virtual std::string GetOptionDesignatorDescription() = 0;
  virtual std::string GetBSDLFilename() = 0;
  virtual ComPtr<IDispatch> GetBSDLEntity() = 0;
  virtual std::string GetVendorName() = 0;
  virtual int32_t GetInstructionLength() = 0;
  virtual int32_t GetDevicePinCount() = 0;
  virtual int32_t GetDeviceIOCount() = 0;
  virtual ComPtr<IDispatch> GetDevicePin(int32_t index) = 0;
  virtual std::string GetDownloadFileExtensions() = 0;
  virtual int32_t GetDSPMultiplierCount() = 0;
  virtual int32_t GetClockManagerCount() = 0;
  virtual int32_t GetMemorySize() = 0;
  virtual bool GetTerminationSupport() = 0;
  virtual int32_t GetGlobalClockCount() = 0;
  virtual int32_t GetConfigMemorySize() = 0;
  virtual int32_t GetDiffPairCount() = 0;
  virtual int32_t GetHighSpeedDiffPairCount() = 0;
  virtual int32_t GetIOStandardCount() = 0;
  virtual ComPtr<IDispatch> GetIOStandard(int32_t index) = 0;
  virtual std::string GetDeviceDisplayName() = 0;
  virtual std::string GetDeviceParameter(const std::string& name) = 0;
};

}  // namespace plugin

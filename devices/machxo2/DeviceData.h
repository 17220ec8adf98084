// The catalogue half of the MachXO2 driver: every device-information answer
// is a look-up in the constant tables by the driver's device kind, fixed
// when the driver is made. Only the vendor name consults configuration (the
// device-family registry).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "devices/machxo2/BuiltInBsdl.h"
#include "devices/machxo2/CatalogueTypes.h"
#include "devices/machxo2/DeviceFamilyRegistry.h"
#include "devices/machxo2/DevicePinData.h"
#include "plugin/TalvoDriver.h"

namespace machxo2 {

class TDeviceData : public plugin::TTalvoDriver {
 public:
  // `extension` is accepted for the framework's sake; every MachXO2 driver
  // uses ".EDN" as its core-generator extension.
  TDeviceData(TDeviceKind kind, const std::string& extension);

  TDeviceKind Kind() const { return FKind; }
  const TDeviceParameters& Parameters() const;

  uint32_t GetIdCode() override;
  std::string GetDeviceName() override;
  std::string GetDeviceDescription() override;
  std::string GetFamilyName() override;
  std::string GetFamilyDescription() override;
  std::string GetLibraryName() override;
  std::string GetBaseName() override;
  int32_t GetEquivalentGatesForBase() override;
  int32_t GetMaxIOForBase() override;
  std::string GetPackageTypeId() override;
  std::string GetPackageTypeName() override;
  std::string GetPackageTypeDescription() override;
  std::string GetPackageId() override;
  std::string GetPackageName() override;
  std::string GetPackageDescription() override;
  std::string GetPackageDimensions() override;
  std::string GetTemperatureGradeId() override;
  std::string GetTemperatureGradeName() override;
  std::string GetTemperatureGradeDescription() override;
  std::string GetSpeedGradeId() override;
  std::string GetSpeedGradeName() override;
  std::string GetSpeedGradeDescription() override;
  std::string GetOptionDesignatorId() override;
  std::string GetOptionDesignatorName() override;
  std::string GetOptionDesignatorDescription() override;
  std::string GetBSDLFilename() override;
  plugin::ComPtr<IDispatch> GetBSDLEntity() override;
  std::string GetVendorName() override;
  int32_t GetInstructionLength() override;
  int32_t GetDevicePinCount() override;
  int32_t GetDeviceIOCount() override;
  int32_t GetDSPMultiplierCount() override;
  int32_t GetClockManagerCount() override;
  int32_t GetMemorySize() override;
  bool GetTerminationSupport() override;
  int32_t GetGlobalClockCount() override;
  int32_t GetConfigMemorySize() override;
  int32_t GetDiffPairCount() override;
  int32_t GetHighSpeedDiffPairCount() override;
  plugin::ComPtr<IDispatch> GetDevicePin(int32_t index) override;
  int32_t GetIOStandardCount() override;
  plugin::ComPtr<IDispatch> GetIOStandard(int32_t index) override;

  bool IsCPLD() override { return true; }

 protected:
  TDeviceKind FKind;
  // Made for every row at the first GetDevicePin, kept for the driver's life.
  std::vector<std::unique_ptr<TDevicePinData>> FPins;
  // The 48 built-in BSDL file names with the entity built for this driver.
  TBsdlDataList FBSDLDataList;
};

// The module-wide device-family registry: the built-in families amended by
// the "TalvoConfig.ini" files of the host's plug-in folders, built on first
// use and kept.
const TDeviceFamilyRegistry& DeviceFamilies();

}  // namespace machxo2

#include "devices/machxo2/DeviceData.h"

#include <memory>

#include "devices/machxo2/Catalogue.h"
#include "devices/machxo2/DeviceIOStandardData.h"
#include "hostsdk/HostServices.h"

namespace machxo2 {

namespace {

constexpr char kFamilyName[] = "MachXO2";

std::string Text(std::string_view view) { return std::string(view); }

}  // namespace

const TDeviceFamilyRegistry& DeviceFamilies() {
  static std::unique_ptr<TDeviceFamilyRegistry> registry;
  if (!registry) {
    auto fresh = std::make_unique<TDeviceFamilyRegistry>();
    fresh->AmendFromPluginFolders(hostsdk::HostServices::Instance().PluginFolders());
    registry = std::move(fresh);
  }
  return *registry;
}

TDeviceData::TDeviceData(TDeviceKind kind, const std::string&)
    : plugin::TTalvoDriver(".EDN"), FKind(kind) {}

const TDeviceParameters& TDeviceData::Parameters() const { return DeviceParameters(FKind); }

uint32_t TDeviceData::GetIdCode() { return Parameters().IdCode; }
std::string TDeviceData::GetDeviceName() { return Text(Parameters().FullName); }

std::string TDeviceData::GetDeviceDescription() {
  return GetVendorName() + " " + GetFamilyName() + " " + GetDeviceName();
}

std::string TDeviceData::GetFamilyName() { return kFamilyName; }
std::string TDeviceData::GetFamilyDescription() { return "MachXO2 Platform CPLD"; }
std::string TDeviceData::GetLibraryName() { return "Lattice MachXO2.Unipak"; }
std::string TDeviceData::GetBaseName() { return Text(BaseParameters(Parameters().BaseName).Name); }

int32_t TDeviceData::GetEquivalentGatesForBase() {
  return BaseParameters(Parameters().BaseName).EquivalentGates;
}

int32_t TDeviceData::GetMaxIOForBase() { return BaseParameters(Parameters().BaseName).MaxIO; }

std::string TDeviceData::GetPackageTypeId() { return Text(PackageTypeStrings(Parameters().PackageType).Id); }
std::string TDeviceData::GetPackageTypeName() {
  return Text(PackageTypeStrings(Parameters().PackageType).Name);
}
std::string TDeviceData::GetPackageTypeDescription() {
  return Text(PackageTypeStrings(Parameters().PackageType).Description);
}

std::string TDeviceData::GetPackageId() { return Text(PackageStrings(Parameters().Package).Id); }
std::string TDeviceData::GetPackageName() { return Text(PackageStrings(Parameters().Package).Name); }
std::string TDeviceData::GetPackageDescription() {
  return Text(PackageStrings(Parameters().Package).Description);
}
std::string TDeviceData::GetPackageDimensions() {
  return Text(PackageStrings(Parameters().Package).Dimensions);
}

std::string TDeviceData::GetTemperatureGradeId() {
  return Text(TemperatureGradeStrings(Parameters().TemperatureGrade).Id);
}
std::string TDeviceData::GetTemperatureGradeName() {
  return Text(TemperatureGradeStrings(Parameters().TemperatureGrade).Name);
}
std::string TDeviceData::GetTemperatureGradeDescription() {
  return Text(TemperatureGradeStrings(Parameters().TemperatureGrade).Description);
}

std::string TDeviceData::GetSpeedGradeId() { return Text(SpeedGradeStrings(Parameters().SpeedGrade).Id); }
std::string TDeviceData::GetSpeedGradeName() {
  return Text(SpeedGradeStrings(Parameters().SpeedGrade).Name);
}
std::string TDeviceData::GetSpeedGradeDescription() {
  return Text(SpeedGradeStrings(Parameters().SpeedGrade).Description);
}

std::string TDeviceData::GetOptionDesignatorId() {
  return Text(OptionDesignatorStrings(Parameters().OptionDesignator).Id);
}
std::string TDeviceData::GetOptionDesignatorName() {
  return Text(OptionDesignatorStrings(Parameters().OptionDesignator).Name);
}
std::string TDeviceData::GetOptionDesignatorDescription() {
  return Text(OptionDesignatorStrings(Parameters().OptionDesignator).Description);
}

std::string TDeviceData::GetBSDLFilename() { return Text(Parameters().BSDL); }

plugin::ComPtr<IDispatch> TDeviceData::GetBSDLEntity() {
  bsdl::TBSDLEntity* entity = FBSDLDataList.EntityFor(GetBSDLFilename());
  return plugin::ComPtr<IDispatch>(entity ? entity->AsDispatch() : nullptr);
}

std::string TDeviceData::GetVendorName() { return DeviceFamilies().VendorName(kFamilyName); }

int32_t TDeviceData::GetInstructionLength() { return Parameters().InstructionLength; }

int32_t TDeviceData::GetDevicePinCount() { return PinSetFigures(Parameters().PinSet).PinCount; }
int32_t TDeviceData::GetDeviceIOCount() { return PinSetFigures(Parameters().PinSet).IOCount; }
int32_t TDeviceData::GetDiffPairCount() { return PinSetFigures(Parameters().PinSet).DiffCount; }
int32_t TDeviceData::GetHighSpeedDiffPairCount() {
  return PinSetFigures(Parameters().PinSet).HSpeedDiffCount;
}

int32_t TDeviceData::GetDSPMultiplierCount() {
  return PackageResources(Parameters().DevicePackage).DSPMultiplierCount;
}
int32_t TDeviceData::GetClockManagerCount() {
  return PackageResources(Parameters().DevicePackage).ClockManagerCount;
}
int32_t TDeviceData::GetMemorySize() { return PackageResources(Parameters().DevicePackage).MemorySize; }
bool TDeviceData::GetTerminationSupport() {
  return PackageResources(Parameters().DevicePackage).TerminationSupport;
}
int32_t TDeviceData::GetGlobalClockCount() {
  return PackageResources(Parameters().DevicePackage).GlobalClockCount;
}
int32_t TDeviceData::GetConfigMemorySize() {
  return PackageResources(Parameters().DevicePackage).ConfigMemorySize;
}

plugin::ComPtr<IDispatch> TDeviceData::GetDevicePin(int32_t index) {
  if (FPins.empty()) {
    const int32_t count = GetDevicePinCount();
    std::vector<std::unique_ptr<TDevicePinData>> pins;
    pins.reserve(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i)
      pins.push_back(std::make_unique<TDevicePinData>(Parameters().PinSet, i));
    FPins = std::move(pins);
  }
  // An index outside the pin set names no pin.
  if (index < 0 || static_cast<size_t>(index) >= FPins.size()) return nullptr;
  return plugin::ComPtr<IDispatch>(FPins[static_cast<size_t>(index)]->AsDispatch());
}

int32_t TDeviceData::GetIOStandardCount() { return PinSetStandards(Parameters().PinSet).Count(); }

plugin::ComPtr<IDispatch> TDeviceData::GetIOStandard(int32_t index) {
  return plugin::ComPtr<IDispatch>(NthIOStandardObject(PinSetStandards(Parameters().PinSet), index));
}

}  // namespace machxo2

// The MachXO2 device catalogue: constant tables of part numbers, base
// devices, packages and grades, looked up by enumeration value or device
// kind. Nothing here reads the chip or any file; every answer is a reference
// into constant storage that lives as long as the module.
//
// Look-ups by an out-of-range value throw std::out_of_range naming the value,
// so a bad index from outside turns into a failure status rather than a read
// past a table.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "devices/machxo2/CatalogueTypes.h"

namespace machxo2 {

const TPackageStrings& PackageStrings(TPackage package);
const TPackageTypeStrings& PackageTypeStrings(TPackageType packageType);
const TGradeStrings& SpeedGradeStrings(TSpeedGrade speedGrade);
const TGradeStrings& TemperatureGradeStrings(TTemperatureGrade temperatureGrade);
const TGradeStrings& OptionDesignatorStrings(TOptionDesignator option);

const TBaseNameIdParameters& BaseParameters(TBaseNameId base);
const TDevicePackageResources& PackageResources(TDevicePackage devicePackage);
const TPinSetFigures& PinSetFigures(TDevicePinSet pinSet);

// The record of one part number; `kind` in 0 .. kDeviceKindCount - 1.
const TDeviceParameters& DeviceParameters(TDeviceKind kind);

// The kind whose FullName equals `fullName`, ignoring ASCII letter case.
std::optional<TDeviceKind> FindDeviceKind(std::string_view fullName);

// The identifier of a kind as the host's type libraries spell it: "e" and
// the full name with its hyphens turned into underscores
// ("eLCMXO2_1200HC_5TG100CR1").
std::string EnumerationName(TDeviceKind kind);

}  // namespace machxo2

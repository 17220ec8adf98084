#include "cli/CatalogueCommands.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <stdexcept>

#include "automation/HostCall.h"

namespace cli {

namespace {

using automation::HostCall;
using automation::Variant;
using nlohmann::ordered_json;

// How an answer is shown: as text, a number, a flag, an IDCODE in hex, or
// only whether an object came back.
enum class Shape { kText, kNumber, kFlag, kHex, kObject };

struct InfoRow {
  const char* key;
  DISPID id;
  Shape shape;
};

// The device-information operations, in their dispatch order, plus the
// driver answers a user asks about a part.
constexpr InfoRow kInfoRows[] = {
    {"IdCode", 503379, Shape::kHex},
    {"DeviceName", 503380, Shape::kText},
    {"DeviceDescription", 503381, Shape::kText},
    {"FamilyName", 503382, Shape::kText},
    {"FamilyDescription", 503383, Shape::kText},
    {"LibraryName", 503384, Shape::kText},
    {"VendorPrimitiveLibraryName", 503385, Shape::kText},
    {"BaseName", 503386, Shape::kText},
    {"EquivalentGatesForBase", 503387, Shape::kNumber},
    {"MaxIOForBase", 503388, Shape::kNumber},
    {"PackageTypeId", 503389, Shape::kText},
    {"PackageTypeName", 503390, Shape::kText},
    {"PackageTypeDescription", 503391, Shape::kText},
    {"PackageId", 503392, Shape::kText},
    {"PackageName", 503393, Shape::kText},
    {"PackageDescription", 503394, Shape::kText},
    {"PackageDimensions", 503395, Shape::kText},
    {"TemperatureGradeId", 503396, Shape::kText},
    {"TemperatureGradeName", 503397, Shape::kText},
    {"TemperatureGradeDescription", 503398, Shape::kText},
    {"SpeedGradeId", 503399, Shape::kText},
    {"SpeedGradeName", 503400, Shape::kText},
    {"SpeedGradeDescription", 503401, Shape::kText},
    {"OptionDesignatorId", 503402, Shape::kText},
    {"OptionDesignatorName", 503403, Shape::kText},
    {"OptionDesignatorDescription", 503404, Shape::kText},
    {"BSDLFilename", 503405, Shape::kText},
    {"BSDLEntity", 503406, Shape::kObject},
    {"VendorName", 503407, Shape::kText},
    {"InstructionLength", 503408, Shape::kNumber},
    {"DevicePinCount", 503409, Shape::kNumber},
    {"DeviceIOCount", 503410, Shape::kNumber},
    {"DownloadFileExtensions", 503412, Shape::kText},
    {"DSPMultiplierCount", 503413, Shape::kNumber},
    {"ClockManagerCount", 503414, Shape::kNumber},
    {"MemorySize", 503415, Shape::kNumber},
    {"TerminationSupport", 503416, Shape::kFlag},
    {"GlobalClockCount", 503417, Shape::kNumber},
    {"ConfigMemorySize", 503418, Shape::kNumber},
    {"DiffPairCount", 503419, Shape::kNumber},
    {"HighSpeedDiffPairCount", 503420, Shape::kNumber},
    {"IOStandardCount", 503421, Shape::kNumber},
    {"DeviceDisplayName", 503423, Shape::kText},
    {"CoreGenOutputExtension", 503792, Shape::kText},
};

constexpr DISPID kGetIdCode = 503379;
constexpr DISPID kGetDeviceName = 503380;
constexpr DISPID kGetPackageId = 503392;
constexpr DISPID kGetTemperatureGradeId = 503396;
constexpr DISPID kGetSpeedGradeId = 503399;
constexpr DISPID kGetOptionDesignatorId = 503402;
constexpr DISPID kSupports = 503761;

std::string Hex32(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", value);
  return text;
}

std::string Folded(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return text;
}

ordered_json Answer(IDispatch* driver, const InfoRow& row) {
  Variant value = HostCall(driver, row.id);
  switch (row.shape) {
    case Shape::kText: return automation::ToString(*value.Raw());
    case Shape::kNumber: return automation::ToInt32(*value.Raw());
    case Shape::kFlag: return automation::ToBool(*value.Raw());
    case Shape::kHex: return Hex32(static_cast<uint32_t>(automation::ToInt32(*value.Raw())));
    case Shape::kObject: return value.Type() == VT_DISPATCH && value.Raw()->pdispVal != nullptr;
  }
  return nullptr;
}

std::string Plain(const ordered_json& value) {
  if (value.is_string()) return value.get<std::string>();
  if (value.is_boolean()) return value.get<bool>() ? "yes" : "no";
  return value.dump();
}

}  // namespace

int RunDevices(DriverSession& session, const std::string& filter, bool json) {
  const std::string wanted = Folded(filter);
  ordered_json list = ordered_json::array();
  const int32_t count = session.KindCount();
  for (int32_t kind = 0; kind < count; ++kind) {
    auto driver = session.Driver(kind);
    const std::string name = automation::HostCallString(driver.Get(), kGetDeviceName);
    if (!wanted.empty() && Folded(name).find(wanted) == std::string::npos) continue;
    ordered_json row;
    row["kind"] = kind;
    row["name"] = name;
    row["idcode"] = Hex32(static_cast<uint32_t>(automation::HostCallInt(driver.Get(), kGetIdCode)));
    row["package"] = automation::HostCallString(driver.Get(), kGetPackageId);
    row["speed"] = automation::HostCallString(driver.Get(), kGetSpeedGradeId);
    row["temperature"] = automation::HostCallString(driver.Get(), kGetTemperatureGradeId);
    row["option"] = automation::HostCallString(driver.Get(), kGetOptionDesignatorId);
    list.push_back(std::move(row));
  }
  if (json) {
    std::printf("%s\n", list.dump(2).c_str());
    return 0;
  }
  std::printf("%-5s %-26s %-10s %-7s %-5s %-4s %s\n", "KIND", "NAME", "IDCODE", "PACKAGE", "SPEED",
              "TEMP", "OPTION");
  for (const auto& row : list)
    std::printf("%-5d %-26s %-10s %-7s %-5s %-4s %s\n", row["kind"].get<int>(),
                row["name"].get<std::string>().c_str(), row["idcode"].get<std::string>().c_str(),
                row["package"].get<std::string>().c_str(), row["speed"].get<std::string>().c_str(),
                row["temperature"].get<std::string>().c_str(),
                row["option"].get<std::string>().c_str());
  std::printf("%zu of %d parts\n", list.size(), count);
  return 0;
}

int RunInfo(DriverSession& session, const std::string& device, bool json) {
  const auto kind = session.FindKind(device);
  if (!kind) throw std::invalid_argument(UnknownDeviceMessage(session, device));
  auto driver = session.Driver(*kind);
  ordered_json info;
  info["Kind"] = *kind;
  for (const InfoRow& row : kInfoRows) info[row.key] = Answer(driver.Get(), row);
  ordered_json supports;
  for (const char* what : {"CPLD", "FPGA", "PROM"})
    supports[what] = automation::HostCallBool(driver.Get(), kSupports, {Variant::String(what)});
  info["Supports"] = supports;
  if (json) {
    std::printf("%s\n", info.dump(2).c_str());
    return 0;
  }
  for (const auto& [key, value] : info.items()) {
    if (value.is_object()) {
      for (const auto& [what, flag] : value.items())
        std::printf("%-28s %s\n", (key + " " + what).c_str(), Plain(flag).c_str());
      continue;
    }
    std::printf("%-28s %s\n", key.c_str(), Plain(value).c_str());
  }
  return 0;
}

}  // namespace cli

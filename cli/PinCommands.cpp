#include "cli/PinCommands.h"

#include <cstdio>
#include <nlohmann/json.hpp>
#include <stdexcept>

#include "automation/HostCall.h"

namespace cli {

namespace {

using automation::HostCallBool;
using automation::HostCallDispatch;
using automation::HostCallInt;
using automation::HostCallString;
using automation::Variant;
using nlohmann::ordered_json;

constexpr DISPID kGetDevicePinCount = 503409;
constexpr DISPID kGetDevicePin = 503411;
constexpr DISPID kGetIOStandardCount = 503421;
constexpr DISPID kGetIOStandard = 503422;

// Pin interface.
constexpr DISPID kPinNumber = 503525;
constexpr DISPID kPinBank = 503526;
constexpr DISPID kPinIOStandardCount = 503531;
constexpr DISPID kPinIOStandard = 503532;
constexpr DISPID kPinDifferentialId = 503545;

// The roles a pin can have, by the pin interface's flag operations.
struct Role {
  const char* name;
  DISPID id;
};
constexpr Role kRoles[] = {
    {"io", 503527},        {"clock", 503528},    {"vref", 503529},     {"special", 503530},
    {"input-only", 503533}, {"diff+", 503536},    {"diff-", 503537},     {"hsdiff+", 503538},
    {"hsdiff-", 503539},   {"tx-diff", 503540},  {"rx-diff", 503541},   {"clkdiff+", 503542},
    {"clkdiff-", 503543},  {"dll", 503544},
};

// IO-standard interface.
constexpr DISPID kStdDisplayName = 503519;
constexpr DISPID kStdParamName = 503520;
constexpr DISPID kStdSlewCount = 503521;
constexpr DISPID kStdSlewValue = 503522;
constexpr DISPID kStdDriveCount = 503523;
constexpr DISPID kStdDriveStrength = 503524;

automation::ComPtr<IDispatch> DriverFor(DriverSession& session, const std::string& device) {
  const auto kind = session.FindKind(device);
  if (!kind) throw std::invalid_argument(UnknownDeviceMessage(session, device));
  return session.Driver(*kind);
}

std::string Joined(const ordered_json& list, const char* separator) {
  std::string text;
  for (const auto& item : list) {
    if (!text.empty()) text += separator;
    text += item.get<std::string>();
  }
  return text;
}

ordered_json DescribePin(IDispatch* pin) {
  ordered_json row;
  row["number"] = HostCallString(pin, kPinNumber);
  row["bank"] = HostCallString(pin, kPinBank);
  row["pair"] = HostCallString(pin, kPinDifferentialId);
  ordered_json roles = ordered_json::array();
  for (const Role& role : kRoles)
    if (HostCallBool(pin, role.id)) roles.push_back(role.name);
  row["roles"] = roles;
  ordered_json standards = ordered_json::array();
  const int32_t count = HostCallInt(pin, kPinIOStandardCount);
  for (int32_t i = 0; i < count; ++i) {
    auto standard = HostCallDispatch(pin, kPinIOStandard, {Variant::Int(i)});
    if (standard) standards.push_back(HostCallString(standard.Get(), kStdParamName));
  }
  row["standards"] = standards;
  return row;
}

// Quotes a CSV field when it needs it.
std::string Csv(const std::string& text) {
  if (text.find_first_of(",\"\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

}  // namespace

int RunPins(DriverSession& session, const std::string& device, PinFormat format) {
  auto driver = DriverFor(session, device);
  const int32_t count = HostCallInt(driver.Get(), kGetDevicePinCount);
  ordered_json pins = ordered_json::array();
  for (int32_t i = 0; i < count; ++i) {
    auto pin = HostCallDispatch(driver.Get(), kGetDevicePin, {Variant::Int(i)});
    if (pin) pins.push_back(DescribePin(pin.Get()));
  }
  switch (format) {
    case PinFormat::kJson:
      std::printf("%s\n", pins.dump(2).c_str());
      break;
    case PinFormat::kCsv:
      std::printf("number,bank,pair,roles,standards\n");
      for (const auto& pin : pins)
        std::printf("%s,%s,%s,%s,%s\n", Csv(pin["number"]).c_str(), Csv(pin["bank"]).c_str(),
                    Csv(pin["pair"]).c_str(), Csv(Joined(pin["roles"], " ")).c_str(),
                    Csv(Joined(pin["standards"], " ")).c_str());
      break;
    case PinFormat::kTable:
      std::printf("%-6s %-4s %-6s %-22s %s\n", "PIN", "BANK", "PAIR", "ROLES", "STANDARDS");
      for (const auto& pin : pins)
        std::printf("%-6s %-4s %-6s %-22s %zu\n", pin["number"].get<std::string>().c_str(),
                    pin["bank"].get<std::string>().c_str(), pin["pair"].get<std::string>().c_str(),
                    Joined(pin["roles"], ",").c_str(), pin["standards"].size());
      std::printf("%zu pins (use --csv or --json for each pin's standards)\n", pins.size());
      break;
  }
  return 0;
}

int RunIOStandards(DriverSession& session, const std::string& device, bool json) {
  auto driver = DriverFor(session, device);
  const int32_t count = HostCallInt(driver.Get(), kGetIOStandardCount);
  ordered_json list = ordered_json::array();
  for (int32_t i = 0; i < count; ++i) {
    auto standard = HostCallDispatch(driver.Get(), kGetIOStandard, {Variant::Int(i)});
    if (!standard) continue;
    ordered_json row;
    row["name"] = HostCallString(standard.Get(), kStdParamName);
    row["display"] = HostCallString(standard.Get(), kStdDisplayName);
    ordered_json slews = ordered_json::array(), drives = ordered_json::array();
    const int32_t slewCount = HostCallInt(standard.Get(), kStdSlewCount);
    for (int32_t s = 0; s < slewCount; ++s)
      slews.push_back(HostCallString(standard.Get(), kStdSlewValue, {Variant::Int(s)}));
    const int32_t driveCount = HostCallInt(standard.Get(), kStdDriveCount);
    for (int32_t d = 0; d < driveCount; ++d)
      drives.push_back(HostCallString(standard.Get(), kStdDriveStrength, {Variant::Int(d)}));
    row["slews"] = slews;
    row["drives"] = drives;
    list.push_back(std::move(row));
  }
  if (json) {
    std::printf("%s\n", list.dump(2).c_str());
    return 0;
  }
  std::printf("%-10s %-40s %-10s %s\n", "NAME", "DISPLAY NAME", "SLEW", "DRIVE");
  for (const auto& row : list)
    std::printf("%-10s %-40s %-10s %s\n", row["name"].get<std::string>().c_str(),
                row["display"].get<std::string>().c_str(), Joined(row["slews"], ",").c_str(),
                Joined(row["drives"], ",").c_str());
  std::printf("%zu IO standards\n", list.size());
  return 0;
}

}  // namespace cli

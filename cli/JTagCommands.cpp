#include "cli/JTagCommands.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <set>
#include <stdexcept>

#include "automation/HostCall.h"
#include "hostsdk/HostDispIds.h"

namespace cli {

namespace {

using automation::HostCallBool;
using automation::HostCallInt;
using automation::HostCallString;
using automation::Variant;
using nlohmann::ordered_json;
namespace id = hostsdk::dispid;

constexpr DISPID kDriverReadUserCode = 503789;
constexpr DISPID kDriverFlashReset = 503804;
constexpr int32_t kStateConfigured = 2;

std::string Hex(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", value);
  return text;
}

// The base names of the parts (the text before the speed grade).
std::vector<std::string> BaseNames(const std::vector<std::string>& parts) {
  std::set<std::string> bases;
  for (const std::string& part : parts) bases.insert(part.substr(0, part.rfind('-')));
  return {bases.begin(), bases.end()};
}

automation::ComPtr<IDispatch> DriverOf(IDispatch* device) {
  return automation::HostCallDispatch(device, id::kDevice_GetDriver);
}

const char* StateName(int32_t state) {
  switch (state) {
    case 0: return "no channel";
    case 1: return "not configured";
    case 2: return "configured";
    default: return "unknown";
  }
}

}  // namespace

int RunDetect(DriverSession& session, const ChainOptions& options, bool json) {
  ChainSession chain(session, options);
  ordered_json list = ordered_json::array();
  for (size_t i = 0; i < chain.Scanned().size(); ++i) {
    const uint32_t code = chain.Scanned()[i].idCode;
    ordered_json row;
    row["index"] = i;
    row["idcode"] = code ? Hex(code) : "none (BYPASS)";
    row["parts"] = code ? BaseNames(chain.PartsWithIdCode(code)) : std::vector<std::string>{};
    list.push_back(std::move(row));
  }
  if (json) {
    std::printf("%s\n", list.dump(2).c_str());
    return 0;
  }
  std::printf("%zu device(s) on %s\n", list.size(), chain.CableName().c_str());
  for (const auto& row : list) {
    std::string parts;
    for (const auto& part : row["parts"]) parts += (parts.empty() ? "" : ", ") + part.get<std::string>();
    std::printf("  %zu  IDCODE %-13s %s\n", row["index"].get<size_t>(),
                row["idcode"].get<std::string>().c_str(), parts.empty() ? "(not a MachXO2)" : parts.c_str());
  }
  return 0;
}

int RunStatus(DriverSession& session, const ChainOptions& options, bool json) {
  ChainSession chain(session, options);
  const int32_t state = HostCallInt(chain.Device(), id::kDevice_GetState);
  if (json) {
    ordered_json out;
    out["device"] = options.device;
    out["index"] = options.index;
    out["state"] = state;
    out["configured"] = state == kStateConfigured;
    std::printf("%s\n", out.dump(2).c_str());
  } else {
    std::printf("%s at index %d: %s\n", options.device.c_str(), options.index, StateName(state));
  }
  return 0;
}

int RunUserCode(DriverSession& session, const ChainOptions& options, bool json) {
  ChainSession chain(session, options);
  const auto code = static_cast<uint32_t>(HostCallInt(DriverOf(chain.Device()).Get(), kDriverReadUserCode));
  if (json) {
    ordered_json out;
    out["device"] = options.device;
    out["index"] = options.index;
    out["usercode"] = Hex(code);
    std::printf("%s\n", out.dump(2).c_str());
  } else {
    std::printf("%s\n", Hex(code).c_str());
  }
  return 0;
}

int RunErase(DriverSession& session, const ChainOptions& options, bool json) {
  ChainSession chain(session, options);
  const bool erased = HostCallBool(DriverOf(chain.Device()).Get(), kDriverFlashReset);
  chain.SaveImage();
  if (!erased)
    throw std::runtime_error("erase of " + options.device + " did not leave it unconfigured");
  if (json) {
    ordered_json out;
    out["device"] = options.device;
    out["index"] = options.index;
    out["erased"] = true;
    std::printf("%s\n", out.dump(2).c_str());
  } else {
    std::printf("%s at index %d erased\n", options.device.c_str(), options.index);
  }
  return 0;
}

// The download of a JEDEC file as the build flow's download stage does it:
// reset, program, then the chip's own word on whether it is configured.
int RunProgram(DriverSession& session, const ChainOptions& options, const std::string& file,
               bool json) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error))
    throw std::invalid_argument("Download file is missing. Current filename is : " +
                                std::filesystem::absolute(file, error).string());
  const std::string path = std::filesystem::absolute(file, error).string();
  ChainSession chain(session, options);
  IDispatch* device = chain.Device();
  const std::string description = HostCallString(device, id::kDevice_GetDeviceDescription);
  if (!automation::HostCallBool(device, id::kDevice_Reset))
    throw std::runtime_error("Unable To Reset Device:" + description +
                             "\n\nIt may be necessary to Power-Down the Device");
  if (!json) {
    std::printf("Downloading via JTAG\n");
    std::fflush(stdout);
  }
  const auto start = std::chrono::steady_clock::now();
  const int32_t bits = HostCallInt(device, id::kDevice_Program, {Variant::String(path)});
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const double rate = seconds > 0 ? bits / seconds / 1000.0 : 0.0;
  if (!json)
    std::printf("Downloading via JTAG Completed in %.2f Seconds at %.2f K Bits/Sec\n", seconds, rate);
  const int32_t state = HostCallInt(device, id::kDevice_GetState);
  chain.SaveImage();
  if (state != kStateConfigured)
    throw std::runtime_error("Failed To Program Device:" + description + " (state: " +
                             StateName(state) + ")");
  if (json) {
    ordered_json out;
    out["device"] = options.device;
    out["index"] = options.index;
    out["file"] = path;
    out["bits"] = bits;
    out["seconds"] = seconds;
    out["kbitsPerSecond"] = rate;
    out["state"] = state;
    out["configured"] = true;
    std::printf("%s\n", out.dump(2).c_str());
  }
  return 0;
}

}  // namespace cli

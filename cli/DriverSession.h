// A stand-in host with the driver module loaded, as each mxo2 command needs
// it. Everything the commands learn about a part comes from the module
// through its exports and dispatch calls.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "automation/ComPtr.h"
#include "host/StandInHost.h"

namespace cli {

class DriverSession {
 public:
  // Loads the module named by $MXO2_MODULE, else Device_MachXO2.TLV beside
  // this program. Throws with the path and the reason.
  // `virtualTime`: the module's fixed waits pass without sleeping.
  explicit DriverSession(bool virtualTime = false);

  host::StandInHost& Host() { return host_; }
  int32_t KindCount();
  automation::ComPtr<IDispatch> Driver(int32_t kind);
  // The names of all kinds, in kind order (read once through the module).
  const std::vector<std::string>& DeviceNames();
  // The kind whose name matches `name` ignoring case.
  std::optional<int32_t> FindKind(const std::string& name);
  // Up to `count` names closest to `name`, best first.
  std::vector<std::string> ClosestNames(const std::string& name, size_t count);

 private:
  host::StandInHost host_;
  std::vector<std::string> names_;
  std::vector<automation::ComPtr<IDispatch>> drivers_;  // by kind, made on first use
};

// The error for an unknown part name, with suggestions.
std::string UnknownDeviceMessage(DriverSession& session, const std::string& name);

}  // namespace cli

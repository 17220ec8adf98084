// IDeviceManager: the host's list of JTAG ports.
#pragma once

#include <vector>

#include "host/HostObject.h"
#include "host/JTagPort.h"

namespace host {

class DeviceManager : public HostObject {
 public:
  DeviceManager();

  void AddPort(ComPtr<JTagPort> port);
  size_t PortCount() const { return ports_.size(); }
  // Null for an index outside the list.
  ComPtr<JTagPort> Port(size_t index) const;
  // Shuts every port down (see JTagPort::Shutdown).
  void Shutdown();

 private:
  std::vector<ComPtr<JTagPort>> ports_;
};

}  // namespace host

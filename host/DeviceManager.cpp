#include "host/DeviceManager.h"

#include <stdexcept>

#include "hostsdk/HostDispIds.h"

namespace host {

namespace id = hostsdk::dispid;

DeviceManager::DeviceManager() {
  On(id::kDeviceManager_GetPortCount,
     [this](const Args&) { return Variant::Int(static_cast<int32_t>(ports_.size())); });
  On(id::kDeviceManager_GetPort, [this](const Args& a) {
    const int32_t index = a.Int(0);
    ComPtr<JTagPort> port = index < 0 ? nullptr : Port(static_cast<size_t>(index));
    return Variant::Dispatch(port ? port->AsDispatch() : nullptr);
  });
}

void DeviceManager::AddPort(ComPtr<JTagPort> port) {
  if (!port) throw std::invalid_argument("adding a null JTAG port to the device manager");
  ports_.push_back(std::move(port));
}

ComPtr<JTagPort> DeviceManager::Port(size_t index) const {
  return index < ports_.size() ? ports_[index] : nullptr;
}

void DeviceManager::Shutdown() {
  for (const ComPtr<JTagPort>& port : ports_) port->Shutdown();
}

}  // namespace host

// A JTAG port of the host: one cable, the channel that drives it and a
// handle per chip of its chain.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/Cable.h"
#include "host/ChainDescription.h"
#include "host/ChainDevice.h"
#include "host/HostObject.h"
#include "host/JTagChannel.h"
#include "host/JTagDevice.h"

namespace host {

class JTagPort : public HostObject {
 public:
  // Builds the channel and the chip handles, then binds each chip's driver
  // (which may call back into the port, so the port is complete by then).
  static ComPtr<JTagPort> Create(std::string name, std::shared_ptr<Cable> cable,
                                 const ChainDescription& chain);

  JTagPort(std::string name, std::shared_ptr<Cable> cable, const ChainDescription& chain);

  const std::string& Name() const { return name_; }
  size_t DeviceCount() const { return devices_.size(); }
  // Null for an index outside the chain.
  ComPtr<ChainDevice> Device(size_t index) const;
  const ComPtr<JTagChannel>& Channel() const { return channel_; }

  // Unbinds every driver, so that the drivers let go of their chain
  // devices; the port is inert afterwards. Safe to call more than once.
  void Shutdown();

 protected:
  ~JTagPort() override;

 private:
  void BindDrivers(const ChainDescription& chain);

  std::string name_;
  ComPtr<JTagChannel> channel_;
  std::vector<ComPtr<ChainDevice>> devices_;
};

}  // namespace host

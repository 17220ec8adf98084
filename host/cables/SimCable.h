// The in-process cable: a chain of simulated devices, the first fed by the
// cable's TDI, each one's TDO feeding the next, the last one's TDO read
// back. A batch goes through the chain device by device (every device runs
// the whole vector before the next one sees it), which is exact because a
// device's TDO at a cycle depends only on what it has seen up to then.
#pragma once

#include <memory>
#include <vector>

#include "host/Cable.h"
#include "sim/ChainDevice.h"

namespace host {

class SimCable : public Cable {
 public:
  // Devices in chain order from the cable's TDI; none is a bare wire.
  explicit SimCable(std::vector<std::shared_ptr<sim::ChainDevice>> devices);
  ~SimCable() override;

  std::string Name() const override { return "simulated chain"; }
  size_t DeviceCount() const { return devices_.size(); }

 protected:
  void Exchange(const BitVector& tms, const BitVector& tdi, BitVector& tdo) override;

 private:
  std::vector<std::shared_ptr<sim::ChainDevice>> devices_;
  BitVector between_;  // the level between two devices
};

}  // namespace host

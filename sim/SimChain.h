// Several simulated devices wired into one chain, itself a chain device:
// the first device's TDI is the chain's TDI, each device's TDO feeds the
// next, the last device's TDO is the chain's TDO. A server serves one of
// these whatever the number of chips on it.
//
// A batch runs through the devices one after another (each device clocks
// the whole vector before the next sees its TDO), which is exact because a
// device's TDO at a cycle depends only on what it has seen before.
#pragma once

#include <memory>
#include <vector>

#include "sim/ChainDevice.h"
#include "sim/TdoLevelSource.h"

namespace sim {

class SimChain : public ChainDevice, public TdoLevelSource {
 public:
  // Devices in chain order from TDI; throws std::invalid_argument for an
  // empty chain or a missing device.
  explicit SimChain(std::vector<std::shared_ptr<ChainDevice>> devices);

  void Clock(const uint8_t* tms, const uint8_t* tdi, uint8_t* tdo, size_t bits) override;
  // The last device's level; throws std::logic_error when that device
  // cannot tell it (it is no TdoLevelSource).
  bool TdoLevel() const override;
  bool CanTellTdoLevel() const { return tdoSource_ != nullptr; }

  size_t Size() const { return devices_.size(); }
  const std::shared_ptr<ChainDevice>& Device(size_t index) const { return devices_.at(index); }

 private:
  std::vector<std::shared_ptr<ChainDevice>> devices_;
  const TdoLevelSource* tdoSource_ = nullptr;
  std::vector<uint8_t> bufferA_;
  std::vector<uint8_t> bufferB_;
};

}  // namespace sim

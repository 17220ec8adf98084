#include "sim/SimChain.h"

#include <stdexcept>
#include <string>

#include "sim/PackedBits.h"

namespace sim {

SimChain::SimChain(std::vector<std::shared_ptr<ChainDevice>> devices) : devices_(std::move(devices)) {
  if (devices_.empty()) throw std::invalid_argument("a simulated chain needs at least one device");
  for (size_t i = 0; i < devices_.size(); ++i)
    if (!devices_[i])
      throw std::invalid_argument("simulated chain position " + std::to_string(i) + " is empty");
  tdoSource_ = dynamic_cast<const TdoLevelSource*>(devices_.back().get());
}

void SimChain::Clock(const uint8_t* tms, const uint8_t* tdi, uint8_t* tdo, size_t bits) {
  if (devices_.size() == 1) {
    devices_[0]->Clock(tms, tdi, tdo, bits);
    return;
  }
  bufferA_.assign(PackedBytes(bits), 0);
  bufferB_.assign(PackedBytes(bits), 0);
  const uint8_t* in = tdi;
  for (size_t i = 0; i < devices_.size(); ++i) {
    const bool last = i + 1 == devices_.size();
    uint8_t* out = last ? tdo : (in == bufferA_.data() ? bufferB_.data() : bufferA_.data());
    devices_[i]->Clock(tms, in, out, bits);
    in = out;
  }
}

bool SimChain::TdoLevel() const {
  if (!tdoSource_)
    throw std::logic_error("the last device of the simulated chain cannot tell its TDO level");
  return tdoSource_->TdoLevel();
}

}  // namespace sim

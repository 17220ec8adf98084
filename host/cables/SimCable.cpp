#include "host/cables/SimCable.h"

#include <stdexcept>

namespace host {

SimCable::SimCable(std::vector<std::shared_ptr<sim::ChainDevice>> devices)
    : devices_(std::move(devices)) {
  for (size_t i = 0; i < devices_.size(); ++i)
    if (!devices_[i])
      throw std::invalid_argument("simulated chain position " + std::to_string(i) + " is empty");
}

SimCable::~SimCable() = default;

void SimCable::Exchange(const BitVector& tms, const BitVector& tdi, BitVector& tdo) {
  const size_t bits = tms.Size();
  if (devices_.empty()) {
    tdo = tdi;
    return;
  }
  // Alternate two buffers so that no device reads the vector it writes.
  BitVector in = tdi;
  for (size_t i = 0; i < devices_.size(); ++i) {
    BitVector& out = (i + 1 == devices_.size()) ? tdo : between_;
    out.Resize(bits);
    devices_[i]->Clock(tms.Data(), in.Data(), out.Data(), bits);
    if (&out == &between_) std::swap(in, between_);
  }
}

}  // namespace host

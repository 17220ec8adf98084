// A port over a simulated chain of generic TAP chips, for the host's JTAG
// tests. Chip i of `chips` is chain index i (index 0 nearest the cable's TDI).
#pragma once

#include <memory>
#include <vector>

#include "host/JTagPort.h"
#include "host/cables/SimCable.h"
#include "sim/GenericTapDevice.h"

namespace hosttest {

struct SimChain {
  std::vector<std::shared_ptr<sim::GenericTapDevice>> chips;
  std::shared_ptr<host::SimCable> cable;
  host::ComPtr<host::JTagPort> port;

  host::JTagChannel& Channel() const { return *port->Channel(); }
};

inline SimChain BuildSimChain(const std::vector<sim::GenericTapConfig>& configs,
                              std::vector<host::ComPtr<IDispatch>> drivers = {}) {
  SimChain chain;
  std::vector<std::shared_ptr<sim::ChainDevice>> devices;
  host::ChainDescription description;
  for (size_t i = 0; i < configs.size(); ++i) {
    chain.chips.push_back(std::make_shared<sim::GenericTapDevice>(configs[i]));
    devices.push_back(chain.chips.back());
    host::ChainDeviceSpec chip;
    chip.name = "chip" + std::to_string(i);
    chip.irLength = configs[i].irLength;
    chip.idCode = configs[i].idCode;
    if (i < drivers.size()) chip.driver = drivers[i];
    description.push_back(chip);
  }
  chain.cable = std::make_shared<host::SimCable>(devices);
  chain.port = host::JTagPort::Create("sim", chain.cable, description);
  chain.port->Channel()->SetCallLogging(true);
  return chain;
}

// Three chips with different IR lengths, IDCODEs and data registers.
inline std::vector<sim::GenericTapConfig> ThreeChips() {
  return {
      {.irLength = 4, .idCode = 0x1A2B3C4Du | 1, .idCodeOpcode = 0x1, .dataLength = 12,
       .dataOpcode = 0x2},
      {.irLength = 8, .idCode = 0x012BA043, .idCodeOpcode = 0xE0, .dataLength = 32,
       .dataOpcode = 0x3C},
      {.irLength = 5, .idCode = 0x0F00D0E1, .idCodeOpcode = 0x03, .dataLength = 7,
       .dataOpcode = 0x05},
  };
}

}  // namespace hosttest

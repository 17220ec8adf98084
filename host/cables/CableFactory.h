// Makes a cable from the text a user gives for it:
//
//   sim                      the chip model of the default device, in process
//   sim:DEVICE[,DEVICE...]   chip models of these parts, in chain order
//   xvc://HOST:PORT          an XVC 1.0 server (?tck_period_ns=N sets TCK)
//   rbb://HOST:PORT          a remote_bitbang server
//
// A cable to a server connects when it is first opened, not here.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/Cable.h"
#include "sim/MachXO2Device.h"

namespace host {

struct CableTarget {
  std::shared_ptr<Cable> cable;
  // The in-process chip models, in chain order (empty for a network cable).
  std::vector<std::shared_ptr<sim::MachXO2Device>> simChips;
};

// Throws std::invalid_argument naming the text and the accepted forms.
// `defaultDevice` is the part for a bare "sim".
CableTarget MakeCable(std::string_view url, std::string_view defaultDevice);

}  // namespace host

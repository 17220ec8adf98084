// `mxo2 devices` and `mxo2 info`: what the module says about its parts.
#pragma once

#include <string>

#include "cli/DriverSession.h"

namespace cli {

// Lists the parts whose name contains `filter` (ignoring case).
int RunDevices(DriverSession& session, const std::string& filter, bool json);
// Prints every device-information answer of one part.
int RunInfo(DriverSession& session, const std::string& device, bool json);

}  // namespace cli

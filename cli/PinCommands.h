// `mxo2 pins` and `mxo2 iostandards`: a part's package pins and the IO
// standards it accepts, as the module's pin and IO-standard objects say.
#pragma once

#include <string>

#include "cli/DriverSession.h"

namespace cli {

enum class PinFormat { kTable, kCsv, kJson };

int RunPins(DriverSession& session, const std::string& device, PinFormat format);
int RunIOStandards(DriverSession& session, const std::string& device, bool json);

}  // namespace cli

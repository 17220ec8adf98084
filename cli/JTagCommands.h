// The commands that talk to chips over a JTAG cable: detect, status,
// usercode, erase and program. Each goes through the host's chain device
// and the module's driver by dispatch calls, as the design suite does.
#pragma once

#include <string>

#include "cli/ChainSession.h"

namespace cli {

int RunDetect(DriverSession& session, const ChainOptions& options, bool json);
int RunStatus(DriverSession& session, const ChainOptions& options, bool json);
int RunUserCode(DriverSession& session, const ChainOptions& options, bool json);
int RunErase(DriverSession& session, const ChainOptions& options, bool json);
int RunProgram(DriverSession& session, const ChainOptions& options, const std::string& file,
               bool json);

}  // namespace cli

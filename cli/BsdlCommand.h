// `mxo2 bsdl`: a part's built-in boundary-scan description as a standard
// BSDL file, or a check of a BSDL file a user has.
#pragma once

#include <string>

#include "cli/DriverSession.h"

namespace cli {

// Writes DEVICE's description to `output` ("" or "-": standard output).
int RunBsdlWrite(DriverSession& session, const std::string& device, const std::string& output);
// Reads `file` and reports what it describes.
int RunBsdlCheck(const std::string& file, bool json);

}  // namespace cli

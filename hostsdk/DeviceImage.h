// The device picture a driver hands the host: the host's generic picture
// with the family's picture pasted in its centre.
#pragma once

#include <string>

#include "hostsdk/BitmapHandle.h"

namespace hostsdk {

// Loads `genericPath` and pastes `specificPath` (when it loads) into its
// centre. An empty handle when the generic picture is missing, so a later
// call tries again.
BitmapHandle LoadDeviceImage(const std::string& genericPath, const std::string& specificPath);

}  // namespace hostsdk

// The driver operations the stand-in host itself calls on a chip's driver.
// They are the driver interface's fixed identifiers; the host keeps its own
// copy because it reaches the module only through Invoke.
#pragma once

#include "automation/ComTypes.h"

namespace host::driver_dispid {

constexpr DISPID kGetDeviceName = 503380;
constexpr DISPID kGetDeviceDescription = 503381;
constexpr DISPID kGetBSDLEntity = 503406;
constexpr DISPID kSetTalvoDevice = 503754;
constexpr DISPID kResetDevice = 503786;
constexpr DISPID kGetDeviceState = 503787;
constexpr DISPID kProgramDevice = 503788;

}  // namespace host::driver_dispid

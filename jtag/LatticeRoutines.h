// The programming operations a Lattice driver offers the host, each working
// for the driver it is handed: the driver's chain device gives the channel
// and the chip's chain position, and its base name the chip's geometry.
// With no chain device or no channel an operation does nothing and answers
// 0 (false).
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "hostsdk/Progress.h"
#include "jtag/Clock.h"
#include "plugin/AbstractTalvoDriver.h"

namespace jtag {

// What the operations need around the chip: the clock of the fixed waits,
// the status-bar progress and the information box.
struct TProgrammerEnvironment {
  TClock& clock;
  hostsdk::Progress& progress;
  std::function<void(const std::string& text, const std::string& caption)> showInformation;
};

// The module's own: its current clock, the host's status bar and dialogs.
TProgrammerEnvironment ModuleProgrammerEnvironment();

// The configuration bit count of the chip after programming it from the
// JEDEC file `fileName`; 0 when the chip is not served (after telling the
// user) or the file has no rows. A file that cannot be read or that ends
// inside its rows fails before the chip is touched.
int32_t ProgramFromJedecFile(plugin::TAbstractTalvoDriver& driver, const std::string& fileName,
                             const TProgrammerEnvironment& environment);
// Erases the chip (with progress for the flash reset) and answers whether
// it then reads as not configured. A chip that is not served is not
// erased, but its state is still read.
bool ResetDevice(plugin::TAbstractTalvoDriver& driver, const TProgrammerEnvironment& environment);
bool FlashReset(plugin::TAbstractTalvoDriver& driver, const TProgrammerEnvironment& environment);
// 1 not configured, 2 configured (status word bit 8), 0 without a channel.
uint8_t ReadDeviceState(plugin::TAbstractTalvoDriver& driver,
                        const TProgrammerEnvironment& environment);
// The chip's 32-bit user code; 0 without a channel.
uint32_t ReadUserCode(plugin::TAbstractTalvoDriver& driver,
                      const TProgrammerEnvironment& environment);

// The message for a chip the programmer does not serve.
std::string UnsupportedDeviceMessage(const std::string& baseName);

}  // namespace jtag

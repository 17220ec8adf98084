// What the chip model needs to know of each MachXO2 part: its IDCODE, the
// size of its flash and the length of its boundary register.
//
// The driver module has its own catalogue with the same IDCODEs and
// geometry, and the model deliberately does not use it: the model stands for
// the silicon, and a chip that took its identity from the driver's tables
// would agree with a wrong table instead of catching it. So the few facts
// the silicon itself carries are kept here, once, as data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace sim {

// One die density. The flash figures are pages of 128 bits; the address
// rows and data bits are the lengths of the chip's ISC address and data
// registers (a configuration image of rows x bits).
struct MachXO2Density {
  int density;  // 256, 640, 1200, 2000, 4000 or 7000 (LUTs)
  size_t configurationPages;
  size_t userFlashPages;
  size_t addressRows;
  size_t dataBits;
  size_t boundaryLength;
  uint32_t idCodeHighPerformance;  // the HC parts (3.3 V / 2.5 V core supply)
  uint32_t idCodeLowPower;         // the ZE parts; the HE parts are ZE dies
};

// A part the model can be: the base name it answers to and its die.
struct MachXO2Part {
  std::string baseName;  // "LCMXO2-1200HC"
  const MachXO2Density* die = nullptr;
  uint32_t idCode = 0;
};

// The part for a base name ("LCMXO2-1200HC") or any full part name that
// begins with one ("LCMXO2-1200HC-4TG100C"), ignoring letter case; nothing
// when the name is not a MachXO2 HC, HE or ZE part.
std::optional<MachXO2Part> FindMachXO2Part(std::string_view name);

// As FindMachXO2Part, throwing std::invalid_argument with the names the
// model knows when the name is not one of them.
MachXO2Part RequireMachXO2Part(std::string_view name);

// "LCMXO2-256HC, LCMXO2-256ZE, ..." for messages.
std::string KnownMachXO2BaseNames();

}  // namespace sim

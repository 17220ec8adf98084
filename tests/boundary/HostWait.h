// The boundary test program is the module's host program, and it keeps the
// host's own time: it exports the host wait the module's clock looks for,
// so every fixed wait of a programming run returns at once and is recorded
// here for the tests to read.
#pragma once

#include <cstdint>
#include <vector>

namespace boundary {

// Every wait the module asked of the host since the program started.
std::vector<uint32_t>& HostWaits();

}  // namespace boundary

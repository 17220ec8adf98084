// The flash of a chip model in a file, so that a programmed chip keeps its
// design from one run of the simulator to the next.
//
// The format is line-oriented text, easy to diff and to grep:
//
//   mxo2-sim-flash 1
//   part LCMXO2-1200HC
//   idcode 0x012BA043
//   usercode 0x00000000
//   done 1
//   security 0
//   securityplus 0
//   feature <64 bits>
//   feabits <16 bits>
//   cfg <page> <128 bits>
//   ufm <page> <128 bits>
//   end
//
// Bits are '0'/'1' text in wire order (the first bit on the wire first),
// so a "cfg" line holds a page exactly as its JEDEC row reads. Only pages
// that are not erased are listed, each at most once, in ascending order;
// lines starting with '#' are comments. The "end" line marks a complete
// file. Writes go to a temporary file beside the target that then replaces
// it, so a crash leaves either the old image or the new one, never half.
#pragma once

#include <string>

#include "sim/MachXO2Flash.h"
#include "sim/MachXO2Parts.h"

namespace sim {

// The image text of `flash` for `part`.
std::string FormatFlashImage(const MachXO2Part& part, const MachXO2Flash& flash);

// Reads image text for `part`. Throws std::runtime_error naming `source`
// and the line for malformed text, an image of another part, a page outside
// the part's flash or a missing "end".
MachXO2Flash ParseFlashImage(const MachXO2Part& part, const std::string& text,
                             const std::string& source);

void SaveFlashImage(const std::string& path, const MachXO2Part& part, const MachXO2Flash& flash);
// Throws std::runtime_error when the file cannot be read or is not a valid
// image for `part`.
MachXO2Flash LoadFlashImage(const std::string& path, const MachXO2Part& part);

}  // namespace sim

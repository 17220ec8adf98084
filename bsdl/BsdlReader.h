// Reading an IEEE 1149.1 BSDL file into a boundary-scan entity.
//
// What the model gets from the description:
//  - each port element mapped in the chosen pin map becomes a scan pin, in
//    port order (a vector left to right), with a pin mapping; an element of
//    an in/out/inout/buffer vector is named "PORT(index)", every element of
//    a linkage vector carries the bare port name (GND on many balls);
//  - directions follow the port mode: in Input, out and buffer Output,
//    inout I/O; a linkage pin named VCC*, VDD* or VPP* is a power pin and
//    one named GND* or VSS* a ground pin (direction Power), any other
//    linkage pin is Passive;
//  - the TAP attributes give the TAP pins, their kinds, the scan clock and
//    its halt mode;
//  - INSTRUCTION_OPCODE gives one opcode object per pattern (an instruction
//    with two patterns gives two) and fills the entity's BYPASS, EXTEST,
//    SAMPLE, IDCODE, USERCODE, CLAMP and HIGHZ fields;
//  - IDCODE_REGISTER gives IdCode ('X' bits read as 0);
//  - REGISTER_ACCESS gives the register associations ("NAME[length]" as the
//    name NAME with that length);
//  - BOUNDARY_REGISTER gives the cells, listed by cell number, linked to
//    their pins, control cells and (on a control cell) the first cell it
//    controls;
//  - COMPONENT_CONFORMANCE, COMPLIANCE_PATTERNS and DESIGN_WARNING give the
//    matching texts.
// INSTRUCTION_CAPTURE and USERCODE_REGISTER are checked but not kept;
// other attributes are skipped.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "bsdl/BSDLEntity.h"
#include "bsdl/BsdlSyntax.h"

namespace bsdl {

// Reads `text`. `fileName` names the text in error messages, and its file
// name part becomes the entity's Filename. Throws EBsdlSyntax (with file,
// line and column) for a malformed description.
std::unique_ptr<TBSDLEntity> ReadBsdlText(std::string_view text, const std::string& fileName);

// Reads the file at `path` (UTF-8). Throws std::runtime_error when the file
// cannot be read and EBsdlSyntax when it is malformed.
std::unique_ptr<TBSDLEntity> ReadBsdlFile(const std::string& path);

}  // namespace bsdl

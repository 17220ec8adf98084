// Writing a boundary-scan entity as a standard IEEE 1149.1 BSDL file.
//
// The writer turns the pins into ports: pins that share a name become one
// bit_vector port (pins named "D(0)".."D(7)" become D(0 to 7) when their
// indices run without gaps), TAP pins are single-bit in or out ports, pins
// that no boundary cell serves are linkage ports, and the mode of the
// others comes from their direction. Names that are not VHDL identifiers
// are made into ones. The instruction length is the entity's, or the
// length of its opcodes when the entity gives none.
//
// Reading the result back gives the same entity whenever the entity is in
// the form the reader produces; what the file format cannot carry is
// written in its nearest form (a halt mode of None as BOTH, an open
// collector output as out, an I/O pin without cells as linkage, ...).
#pragma once

#include <stdexcept>
#include <string>

#include "bsdl/BSDLEntity.h"

namespace bsdl {

// The entity holds something no BSDL file can state (a pin without a
// number, an opcode that is not a bit pattern, a cell without a kind, ...).
class EBsdlWrite : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

std::string WriteBsdlText(const TBSDLEntity& entity);

// Writes the text to `path` (UTF-8) in one step: the file holds the old
// content or the new, never a part. Throws EBsdlWrite or std::system_error.
void WriteBsdlFile(const TBSDLEntity& entity, const std::string& path);

}  // namespace bsdl

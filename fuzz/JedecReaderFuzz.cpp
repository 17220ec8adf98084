// Any bytes as a JEDEC file: decoding, line splitting and the row walk must
// neither crash nor loop, and a walk either ends with a feature row or fails
// naming a line the file does not have.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "jtag/JedecReader.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const jtag::TJedecFile file = jtag::TJedecFile::FromBytes(bytes, "fuzz.jed");
  Require(file.LineCount() <= size);

  jtag::TJedecRowWalk walk(file);
  if (!walk.HasRows()) return 0;
  size_t shifted = 0;
  size_t skipped = 0;
  try {
    for (;;) {
      const jtag::TJedecRowWalk::TStep step = walk.Next();
      if (step == jtag::TJedecRowWalk::TStep::EndOfRows) break;
      if (step == jtag::TJedecRowWalk::TStep::ShiftRow) {
        ++shifted;
        Require(!walk.RowBits().empty());
        Require(walk.RowBits().back() == '0' || walk.RowBits().back() == '1');
      } else {
        ++skipped;
      }
      Require(shifted + skipped <= file.LineCount());
    }
  } catch (const jtag::EJedecFileError& error) {
    Require(error.Line() > file.LineCount());
    return 0;
  }
  // A second walk over the same file agrees with the first.
  const jtag::TJedecRowCounts counts = jtag::CheckRowStream(file);
  Require(counts.shifted == shifted && counts.skipped == skipped);
  return 0;
}

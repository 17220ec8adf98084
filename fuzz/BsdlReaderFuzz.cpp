// Any bytes as a BSDL file: the reader must end in an entity or in
// EBsdlSyntax naming a line of the text, never crash, loop or recurse
// without bound. An entity it returns must write out as a description that
// reads back, and writing that copy must give the same text again.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "bsdl/BSDLEntity.h"
#include "bsdl/BsdlReader.h"
#include "bsdl/BsdlWriter.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

int LineCount(std::string_view text) {
  return 1 + static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::unique_ptr<bsdl::TBSDLEntity> entity;
  try {
    entity = bsdl::ReadBsdlText(text, "fuzz.bsd");
  } catch (const bsdl::EBsdlSyntax& error) {
    Require(error.Line() >= 1 && error.Line() <= LineCount(text));
    Require(error.Column() >= 1);
    return 0;
  }
  const std::string written = bsdl::WriteBsdlText(*entity);
  const auto copy = bsdl::ReadBsdlText(written, "fuzz.bsd");
  Require(bsdl::WriteBsdlText(*copy) == written);
  return 0;
}

// Decompression of raw deflate data (RFC 1951), as zip archives store it.
// Self-contained so that every build, the Windows cross builds included,
// unpacks archives with the same code and no library beside the module.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

namespace bsdl {

class EInflate : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The data that `compressed` deflates to. Throws EInflate when the data is
// malformed or would grow beyond `maxOutput` bytes; never reads outside
// `compressed`.
std::string Inflate(std::string_view compressed, size_t maxOutput);

}  // namespace bsdl

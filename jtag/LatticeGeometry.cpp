#include "jtag/LatticeGeometry.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace jtag {

std::optional<TLatticeGeometry> FindLatticeGeometry(std::string_view baseName) {
  std::string upper(baseName);
  std::transform(upper.begin(), upper.end(), upper.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  const TLatticeGeometry* best = nullptr;
  for (const TLatticeGeometry& row : kLatticeGeometries) {
    if (!upper.starts_with(row.prefix)) continue;
    if (!best || row.prefix.size() > best->prefix.size()) best = &row;
  }
  if (!best) return std::nullopt;
  return *best;
}

}  // namespace jtag

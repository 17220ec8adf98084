#include "plugin/IOStandardNames.h"

#include <algorithm>

namespace plugin {

namespace {

const IOStandardNameEntry* Find(uint8_t genericIndex) {
  const auto* end = std::end(kIOStandardNames);
  const auto* it = std::lower_bound(
      std::begin(kIOStandardNames), end, genericIndex,
      [](const IOStandardNameEntry& entry, uint8_t key) { return entry.genericIndex < key; });
  return it != end && it->genericIndex == genericIndex ? it : nullptr;
}

}  // namespace

std::string_view IOStandardDisplayName(uint8_t genericIndex) {
  const IOStandardNameEntry* entry = Find(genericIndex);
  return entry ? entry->displayName : std::string_view();
}

std::string_view IOStandardParamName(uint8_t genericIndex) {
  const IOStandardNameEntry* entry = Find(genericIndex);
  return entry ? entry->paramName : std::string_view();
}

}  // namespace plugin

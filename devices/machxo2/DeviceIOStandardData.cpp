#include "devices/machxo2/DeviceIOStandardData.h"

#include <array>
#include <memory>

namespace machxo2 {

namespace {

// The objects exist from module load to module unload; the host's
// references neither extend nor end their life.
struct IOStandardObjects {
  std::array<std::unique_ptr<TDeviceIOStandardData>, kDeviceIOStandardCount> objects;
  IOStandardObjects() {
    for (size_t i = 0; i < objects.size(); ++i)
      objects[i] = std::make_unique<TDeviceIOStandardData>(static_cast<TDeviceIOStandardID>(i));
  }
};

const IOStandardObjects gIOStandardObjects;

template <size_t N>
std::string NthName(uint64_t bits, int32_t index, const std::array<std::string_view, N>& names) {
  const int32_t bit = NthSetBit(bits, index);
  if (bit < 0 || static_cast<size_t>(bit) >= N) return {};
  return std::string(names[static_cast<size_t>(bit)]);
}

}  // namespace

uint8_t TDeviceIOStandardData::GetGenericIndex() { return IOStandardParameters(FID).GenericIndex; }

int32_t TDeviceIOStandardData::GetSlewCount() {
  return std::popcount(static_cast<unsigned>(IOStandardParameters(FID).Slews));
}

std::string TDeviceIOStandardData::GetSlewValue(int32_t index) {
  return NthName(IOStandardParameters(FID).Slews, index, kSlewRateNames);
}

int32_t TDeviceIOStandardData::GetDriveCount() {
  return std::popcount(IOStandardParameters(FID).Drives);
}

std::string TDeviceIOStandardData::GetDriveStrength(int32_t index) {
  return NthName(IOStandardParameters(FID).Drives, index, kDriveStrengthNames);
}

TDeviceIOStandardData& IOStandardObject(TDeviceIOStandardID id) {
  return *gIOStandardObjects.objects.at(static_cast<size_t>(id));
}

IDispatch* NthIOStandardObject(TIOStandardSet set, int32_t index) {
  const std::optional<TDeviceIOStandardID> id = set.Nth(index);
  if (!id) return nullptr;
  return IOStandardObject(*id).AsDispatch();
}

}  // namespace machxo2

#include "devices/machxo2/DevicePinData.h"

#include <stdexcept>

#include "devices/machxo2/DeviceIOStandardData.h"

namespace machxo2 {

TDevicePinData::TDevicePinData(TDevicePinSet pinSet, int32_t index)
    : FPinSet(pinSet), FIndex(index) {
  const auto rows = PinRows(pinSet);
  if (index < 0 || static_cast<size_t>(index) >= rows.size())
    throw std::out_of_range("pin " + std::to_string(index) + " is outside its pin set");
  FRow = &rows[static_cast<size_t>(index)];
}

plugin::ComPtr<IDispatch> TDevicePinData::GetIOStandard(int32_t index) {
  return plugin::ComPtr<IDispatch>(NthIOStandardObject(Row().Standards, index));
}

}  // namespace machxo2

// The MachXO2 driver the module hands the host: the catalogue answers of
// TDeviceData plus the family's own answers.
#pragma once

#include "devices/machxo2/DeviceData.h"

namespace machxo2 {

class TDevice_MachXO2Driver : public TDeviceData {
 public:
  explicit TDevice_MachXO2Driver(TDeviceKind kind) : TDeviceData(kind, ".EDN") {}

  // The framework answer, widened to the two flash actions the MachXO2
  // programmer serves.
  bool Supports(const std::string& text) override;
};

}  // namespace machxo2

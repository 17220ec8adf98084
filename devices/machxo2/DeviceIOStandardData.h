// The 35 IO-standard objects of the module, one per TDeviceIOStandardID,
// made when the module is loaded and shared by every driver.
#pragma once

#include "devices/machxo2/PinTables.h"
#include "plugin/AbstractDeviceIOStandard.h"

namespace machxo2 {

class TDeviceIOStandardData final : public plugin::TTalvoAbstractDeviceIOStandard {
 public:
  explicit TDeviceIOStandardData(TDeviceIOStandardID id) : FID(id) {}

  uint8_t GetGenericIndex() override;
  int32_t GetSlewCount() override;
  std::string GetSlewValue(int32_t index) override;
  int32_t GetDriveCount() override;
  std::string GetDriveStrength(int32_t index) override;

 private:
  TDeviceIOStandardID FID;
};

// The shared object of `id`.
TDeviceIOStandardData& IOStandardObject(TDeviceIOStandardID id);
// The `index`-th standard of `set` (in TDeviceIOStandardID order), or null.
IDispatch* NthIOStandardObject(TIOStandardSet set, int32_t index);

}  // namespace machxo2

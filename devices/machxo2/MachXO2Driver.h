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

  // Programming through the host's JTAG channel: each hands this driver to
  // the Lattice programming routines.
  bool ResetDevice() override;
  uint8_t GetDeviceState() override;
  int32_t ProgramDevice(const std::string& fileName) override;
  uint32_t ReadUserCode() override;
  bool Flash_Reset() override;
  int32_t Flash_Program(const std::string& fileName) override;
};

}  // namespace machxo2

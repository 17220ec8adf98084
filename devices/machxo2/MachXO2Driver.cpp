#include "devices/machxo2/MachXO2Driver.h"

#include "jtag/LatticeRoutines.h"
#include "plugin/ActionTable.h"

namespace machxo2 {

namespace {
constexpr int kActionFlashResetDevice = 17;
constexpr int kActionFlashChooseAndDownload = 20;
}  // namespace

bool TDevice_MachXO2Driver::Supports(const std::string& text) {
  const bool answer = TDeviceData::Supports(text);
  const int action = plugin::ActionIndex(text);
  return answer || action == kActionFlashResetDevice || action == kActionFlashChooseAndDownload;
}

bool TDevice_MachXO2Driver::ResetDevice() {
  return jtag::ResetDevice(*this, jtag::ModuleProgrammerEnvironment());
}

uint8_t TDevice_MachXO2Driver::GetDeviceState() {
  return jtag::ReadDeviceState(*this, jtag::ModuleProgrammerEnvironment());
}

int32_t TDevice_MachXO2Driver::ProgramDevice(const std::string& fileName) {
  return jtag::ProgramFromJedecFile(*this, fileName, jtag::ModuleProgrammerEnvironment());
}

uint32_t TDevice_MachXO2Driver::ReadUserCode() {
  return jtag::ReadUserCode(*this, jtag::ModuleProgrammerEnvironment());
}

bool TDevice_MachXO2Driver::Flash_Reset() {
  return jtag::FlashReset(*this, jtag::ModuleProgrammerEnvironment());
}

int32_t TDevice_MachXO2Driver::Flash_Program(const std::string& fileName) {
  return jtag::ProgramFromJedecFile(*this, fileName, jtag::ModuleProgrammerEnvironment());
}

}  // namespace machxo2

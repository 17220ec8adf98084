#include "devices/machxo2/MachXO2Driver.h"

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

}  // namespace machxo2

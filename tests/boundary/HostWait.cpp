#include "tests/boundary/HostWait.h"

#include "automation/ComTypes.h"

namespace boundary {

std::vector<uint32_t>& HostWaits() {
  static std::vector<uint32_t> waits;
  return waits;
}

}  // namespace boundary

MXO2_EXPORT void STDMETHODCALLTYPE TalvoHost_Wait(uint32_t milliseconds) {
  boundary::HostWaits().push_back(milliseconds);
}

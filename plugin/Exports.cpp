// The module's two entry points. The host asks how many device kinds the
// module serves and then for one driver object per kind it needs.
#include <cstdint>

#include "automation/ComTypes.h"
#include "devices/machxo2/MachXO2Driver.h"

namespace {
constexpr int32_t kDeviceKindCount = 420;
}

extern "C" {

#ifndef _WIN32
__attribute__((visibility("default")))
#endif
HRESULT STDMETHODCALLTYPE GetTalvoDriver_Plugin(int32_t AKind, IDispatch** Driver) {
  // Cleared before any other work so no failure can leave stale content.
  if (!Driver) return E_POINTER;
  *Driver = nullptr;
  try {
    if (AKind < 0 || AKind > kDeviceKindCount - 1) return S_OK;
    auto* driver = new machxo2::TDevice_MachXO2Driver(AKind);
    void* dispatch = nullptr;
    if (FAILED(driver->QueryInterface(automation::kIID_IDispatch, &dispatch))) return E_UNEXPECTED;
    *Driver = static_cast<IDispatch*>(dispatch);
    return S_OK;
  } catch (...) {
    *Driver = nullptr;
    return E_UNEXPECTED;
  }
}

#ifndef _WIN32
__attribute__((visibility("default")))
#endif
HRESULT STDMETHODCALLTYPE GetTalvoDriverCount(int32_t* Count) {
  if (!Count) return E_POINTER;
  *Count = kDeviceKindCount;
  return S_OK;
}

}  // extern "C"

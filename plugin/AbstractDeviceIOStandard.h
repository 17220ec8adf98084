// The host's IO-standard interface (IDispDeviceIOStandard): 6 operations,
// DISPIDs 503519..503524.
#pragma once

#include <cstdint>
#include <string>

#include "plugin/SupportService.h"

namespace plugin {

constexpr GUID kIID_IDispDeviceIOStandard{
    0x486691BC, 0xDA90, 0x4006, {0xB0, 0xD3, 0xD0, 0xEB, 0x50, 0x9B, 0xB2, 0x88}};

class TAbstractDeviceIOStandard : public TAbstractSupportService {
 public:
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags,
                                   DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo,
                                   UINT* argErr) override;
  bool SupportsServiceName(const std::string& name) override;

  virtual std::string GetDisplayName() = 0;
  virtual std::string GetParamName() = 0;
  virtual int32_t GetSlewCount() = 0;
  virtual std::string GetSlewValue(int32_t index) = 0;
  virtual int32_t GetDriveCount() = 0;
  virtual std::string GetDriveStrength(int32_t index) = 0;
};

// The framework IO standard: names through the host-wide naming tables by
// generic index; no slews or drives unless a subclass has them. Shared
// objects that live as long as the module: references are not counted.
class TTalvoAbstractDeviceIOStandard : public TAbstractDeviceIOStandard {
 public:
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(-1); }
  ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(-1); }

  std::string GetDisplayName() override;
  std::string GetParamName() override;
  int32_t GetSlewCount() override { return 0; }
  std::string GetSlewValue(int32_t) override { return {}; }
  int32_t GetDriveCount() override { return 0; }
  std::string GetDriveStrength(int32_t) override { return {}; }

  // Index into the host-wide IO-standard naming tables.
  virtual uint8_t GetGenericIndex() = 0;
};

}  // namespace plugin

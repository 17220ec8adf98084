// IJTagDevice: the viewer's view of one chip on the chain, identification
// and boundary access. The boundary-scan entity and live sampling are not
// provided yet: GetBSDLEntity answers null and SampleBoundary False.
#pragma once

#include <cstdint>
#include <string>

#include "host/HostObject.h"

namespace host {

class JTagDevice : public HostObject {
 public:
  JTagDevice(std::string displayName, uint32_t idCode, uint32_t idCodeMask,
             ComPtr<IDispatch> driver);

  const std::string& DisplayName() const { return displayName_; }
  uint32_t IdCode() const { return idCode_; }
  uint32_t IdCodeMask() const { return idCodeMask_; }
  // The driver bound to this chain position (GetDeviceInformation); may be null.
  const ComPtr<IDispatch>& Driver() const { return driver_; }
  void SetDriver(ComPtr<IDispatch> driver) { driver_ = std::move(driver); }

 private:
  std::string displayName_;
  uint32_t idCode_;
  uint32_t idCodeMask_;
  ComPtr<IDispatch> driver_;
};

}  // namespace host

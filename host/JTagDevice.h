// IJTagDevice: the viewer's view of one chip on the chain, identification
// and boundary access. Its boundary-scan entity is the one read from a BSDL
// file the user named for the chip, else the one its driver carries built
// in. Live sampling is not provided yet: SampleBoundary answers False.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "bsdl/BSDLEntity.h"
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
  // Prefers the description in `bsdlFile` over the driver's (throws with the
  // file and line when it does not read).
  void UseBsdlFile(const std::string& bsdlFile);
  // The entity the host hands out: the user's, else the driver's, or null.
  ComPtr<IDispatch> BsdlEntity() const;

 private:
  std::string displayName_;
  uint32_t idCode_;
  uint32_t idCodeMask_;
  ComPtr<IDispatch> driver_;
  std::unique_ptr<bsdl::TBSDLEntity> userEntity_;
};

}  // namespace host

#include "host/JTagDevice.h"

#include "automation/HostCall.h"
#include "bsdl/BsdlReader.h"

#include "host/DriverDispIds.h"
#include "hostsdk/HostDispIds.h"

namespace host {

namespace id = hostsdk::dispid;

JTagDevice::JTagDevice(std::string displayName, uint32_t idCode, uint32_t idCodeMask,
                       ComPtr<IDispatch> driver)
    : displayName_(std::move(displayName)),
      idCode_(idCode),
      idCodeMask_(idCodeMask),
      driver_(std::move(driver)) {
  On(id::kJTagDevice_GetBSDLEntity, [this](const Args&) { return Variant::Dispatch(BsdlEntity().Get()); });
  On(id::kJTagDevice_GetDeviceInformation,
     [this](const Args&) { return Variant::Dispatch(driver_.Get()); });
  On(id::kJTagDevice_GetIdCode,
     [this](const Args&) { return Variant::Int(static_cast<int32_t>(idCode_)); });
  On(id::kJTagDevice_GetIdCodeMask,
     [this](const Args&) { return Variant::Int(static_cast<int32_t>(idCodeMask_)); });
  On(id::kJTagDevice_GetDisplayName, [this](const Args&) { return Variant::String(displayName_); });
  // Sent before the viewer asks for the entity again; nothing is cached here.
  On(id::kJTagDevice_PrepareRebuild, [](const Args&) { return Variant(); });
  On(id::kJTagDevice_SampleBoundary, [](const Args&) { return Variant::Bool(false); });
}

void JTagDevice::UseBsdlFile(const std::string& bsdlFile) {
  userEntity_ = bsdl::ReadBsdlFile(bsdlFile);
}

ComPtr<IDispatch> JTagDevice::BsdlEntity() const {
  if (userEntity_) return ComPtr<IDispatch>(userEntity_->AsDispatch());
  if (!driver_) return nullptr;
  return automation::HostCallDispatch(driver_.Get(), driver_dispid::kGetBSDLEntity);
}

}  // namespace host

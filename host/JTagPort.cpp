#include "host/JTagPort.h"

#include "hostsdk/HostDispIds.h"

namespace host {

namespace id = hostsdk::dispid;

namespace {

std::vector<ChannelLink> LinksOf(const ChainDescription& chain) {
  std::vector<ChannelLink> links;
  links.reserve(chain.size());
  for (const ChainDeviceSpec& chip : chain) {
    auto jtagDevice = MakeHostObject<JTagDevice>(chip.name, chip.idCode, chip.idCodeMask, chip.driver);
    if (!chip.bsdlFile.empty()) jtagDevice->UseBsdlFile(chip.bsdlFile);
    links.push_back(ChannelLink{chip.irLength, chip.idCode, ComPtr<IDispatch>(jtagDevice.Get())});
  }
  return links;
}

}  // namespace

ComPtr<JTagPort> JTagPort::Create(std::string name, std::shared_ptr<Cable> cable,
                                  const ChainDescription& chain) {
  auto port = MakeHostObject<JTagPort>(std::move(name), std::move(cable), chain);
  port->BindDrivers(chain);
  return port;
}

JTagPort::JTagPort(std::string name, std::shared_ptr<Cable> cable, const ChainDescription& chain)
    : name_(std::move(name)),
      channel_(MakeHostObject<JTagChannel>(std::move(cable), LinksOf(chain))) {
  channel_->SetPort(AsDispatch());
  for (size_t i = 0; i < chain.size(); ++i)
    devices_.push_back(
        MakeHostObject<ChainDevice>(static_cast<int32_t>(i), chain[i].name, channel_));

  On(id::kPort_GetName, [this](const Args&) { return Variant::String(name_); });
  On(id::kPort_GetDeviceCount,
     [this](const Args&) { return Variant::Int(static_cast<int32_t>(devices_.size())); });
  On(id::kPort_GetDevice, [this](const Args& a) {
    const int32_t index = a.Int(0);
    ComPtr<ChainDevice> device = index < 0 ? nullptr : Device(static_cast<size_t>(index));
    return Variant::Dispatch(device ? device->AsDispatch() : nullptr);
  });
  On(id::kPort_GetChannel, [this](const Args&) { return Variant::Dispatch(channel_->AsDispatch()); });
}

JTagPort::~JTagPort() {
  try {
    Shutdown();
  } catch (...) {
    // A driver that fails to let go cannot stop the port from going.
  }
  channel_->SetPort(nullptr);
}

void JTagPort::BindDrivers(const ChainDescription& chain) {
  for (size_t i = 0; i < chain.size(); ++i)
    if (chain[i].driver) devices_[i]->Bind(chain[i].driver);
}

ComPtr<ChainDevice> JTagPort::Device(size_t index) const {
  return index < devices_.size() ? devices_[index] : nullptr;
}

void JTagPort::Shutdown() {
  for (const ComPtr<ChainDevice>& device : devices_) device->Unbind();
}

}  // namespace host

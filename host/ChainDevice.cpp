#include "host/ChainDevice.h"

#include <cstdio>
#include <stdexcept>

#include "automation/HostCall.h"
#include "host/DriverDispIds.h"
#include "hostsdk/HostDispIds.h"

namespace host {

namespace id = hostsdk::dispid;
namespace driver = driver_dispid;

namespace {

uint32_t WidthMask(int32_t length) {
  if (length < 1 || length > 32)
    throw std::invalid_argument("register width " + std::to_string(length) + " is outside 1..32");
  return length == 32 ? 0xFFFFFFFFu : (1u << length) - 1;
}

}  // namespace

ChainDevice::ChainDevice(int32_t chainIndex, std::string name, ComPtr<JTagChannel> channel)
    : chainIndex_(chainIndex), name_(std::move(name)), channel_(std::move(channel)) {
  RegisterHandlers();
}

void ChainDevice::RegisterHandlers() {
  On(id::kDevice_GetChainIndex, [this](const Args&) { return Variant::Int(chainIndex_); });
  On(id::kDevice_GetJTagChannel, [this](const Args&) {
    return Variant::Dispatch(channel_ ? channel_->AsDispatch() : nullptr);
  });
  On(id::kDevice_Reset, [this](const Args&) { return Variant::Bool(ResetChip()); });
  On(id::kDevice_Program,
     [this](const Args& a) { return Variant::Int(ProgramChip(a.String(0))); });
  On(id::kDevice_GetState, [this](const Args&) { return Variant::Int(ChipState()); });
  On(id::kDevice_GetDeviceName, [this](const Args&) { return Variant::String(DeviceName()); });
  On(id::kDevice_GetDeviceDescription,
     [this](const Args&) { return Variant::String(DeviceDescription()); });
  On(id::kDevice_RegisterRead, [this](const Args& a) {
    return Variant::Int(static_cast<int32_t>(ReadRegister(a.Int(0), a.Int(1))));
  });
  On(id::kDevice_RegisterWrite, [this](const Args& a) {
    WriteRegister(a.Int(0), a.Int(1), static_cast<uint32_t>(a.Int64(2)));
    return Variant();
  });
  On(id::kDevice_EnterDebugAccess, [this](const Args&) {
    events_.push_back("EnterDebugAccess");
    return Variant();
  });
  On(id::kDevice_LeaveDebugAccess, [this](const Args&) {
    events_.push_back("LeaveDebugAccess");
    return Variant();
  });
  On(id::kDevice_GetDriver, [this](const Args&) { return Variant::Dispatch(driver_.Get()); });
}

void ChainDevice::Bind(ComPtr<IDispatch> newDriver) {
  if (!driver_ && !newDriver) return;
  // Detach before calling out: the old driver may release its reference to
  // this object while it is being told.
  ComPtr<IDispatch> oldDriver = std::move(driver_);
  driver_ = std::move(newDriver);
  try {
    if (oldDriver && oldDriver.Get() != driver_.Get())
      automation::HostCallVoid(oldDriver.Get(), driver::kSetTalvoDevice,
                               {Variant::Dispatch(nullptr)});
    if (driver_)
      automation::HostCallVoid(driver_.Get(), driver::kSetTalvoDevice,
                               {Variant::Dispatch(AsDispatch())});
  } catch (const std::exception& e) {
    throw std::runtime_error("binding the driver of chain index " + std::to_string(chainIndex_) +
                             " (" + name_ + "): " + e.what());
  }
}

bool ChainDevice::ResetChip() {
  if (!driver_) return false;
  return automation::HostCallBool(driver_.Get(), driver::kResetDevice);
}

int32_t ChainDevice::ProgramChip(const std::string& fileName) {
  if (!driver_) return 0;
  return automation::HostCallInt(driver_.Get(), driver::kProgramDevice,
                                 {Variant::String(fileName)});
}

int32_t ChainDevice::ChipState() {
  if (!driver_) return 0;
  return automation::HostCallInt(driver_.Get(), driver::kGetDeviceState);
}

std::string ChainDevice::DeviceName() {
  if (!driver_) return name_;
  return automation::HostCallString(driver_.Get(), driver::kGetDeviceName);
}

std::string ChainDevice::DeviceDescription() {
  if (!driver_) return {};
  return automation::HostCallString(driver_.Get(), driver::kGetDeviceDescription);
}

uint32_t ChainDevice::ReadRegister(int32_t address, int32_t length) const {
  const uint32_t mask = WidthMask(length);
  auto it = registers_.find(address);
  return it == registers_.end() ? 0 : it->second & mask;
}

void ChainDevice::WriteRegister(int32_t address, int32_t length, uint32_t value) {
  const uint32_t mask = WidthMask(length);
  registers_[address] = value & mask;
  char hex[16];
  std::snprintf(hex, sizeof hex, "0x%X", static_cast<unsigned>(value & mask));
  events_.push_back("RegisterWrite(" + std::to_string(address) + ", " + std::to_string(length) +
                    ", " + hex + ")");
}

}  // namespace host

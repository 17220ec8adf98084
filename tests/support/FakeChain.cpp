#include "tests/support/FakeChain.h"

#include <stdexcept>

#include "hostsdk/HostDispIds.h"

namespace boundary {

namespace id = hostsdk::dispid;
using host::Args;
using host::Variant;

FakeJTagDevice::FakeJTagDevice() {
  On(id::kJTagDevice_GetBSDLEntity, [](const Args&) { return Variant::Dispatch(nullptr); });
}

FakeChannel::FakeChannel(std::vector<std::string>& log)
    : jtagDevice_(host::MakeHostObject<FakeJTagDevice>()) {
  auto record = [&log](std::string text) { log.push_back(std::move(text)); };
  On(id::kChannel_Open, [record](const Args&) {
    record("Open");
    return Variant::Bool(true);
  });
  On(id::kChannel_Close, [record](const Args&) {
    record("Close");
    return Variant();
  });
  On(id::kChannel_ScanIR, [record](const Args& a) {
    record("ScanIR " + std::to_string(a.Int(0)) + " " + std::to_string(a.Int(1)));
    return Variant();
  });
  On(id::kChannel_MoveState, [record](const Args& a) {
    record("MoveState " + std::to_string(a.Int(0)) + " " + std::to_string(a.Int(1)));
    return Variant();
  });
  On(id::kChannel_ShiftDRValue, [record](const Args& a) {
    record("ShiftDRValue " + std::to_string(a.Int(0)) + " " + std::to_string(a.Int(1)) + " " +
           std::to_string(a.Int(2)));
    return Variant();
  });
  On(id::kChannel_ShiftDRCapture, [this, record](const Args& a) {
    record("ShiftDRCapture " + std::to_string(a.Int(0)) + " " + std::to_string(a.Int(1)) + " " +
           std::to_string(a.Int(2)));
    return Variant::Int(captureValue);
  });
  On(id::kChannel_ShiftDRBitsCapture, [this, record](const Args& a) {
    record("ShiftDRBitsCapture " + a.String(0) + " " + std::to_string(a.Int(1)));
    return Variant::String(captureBits);
  });
  On(id::kChannel_GetDevice, [this](const Args&) { return Variant::Dispatch(jtagDevice_.Get()); });
}

FakeChainDevice::FakeChainDevice(std::string name, int32_t chainIndex)
    : channel_(host::MakeHostObject<FakeChannel>(log)) {
  On(id::kDevice_GetDeviceName, [name](const Args&) { return Variant::String(name); });
  On(id::kDevice_GetChainIndex, [chainIndex](const Args&) { return Variant::Int(chainIndex); });
  On(id::kDevice_GetJTagChannel, [this](const Args&) {
    if (failChannel) throw std::runtime_error("cable unplugged");
    return Variant::Dispatch(channel_.Get());
  });
  On(id::kDevice_RegisterRead, [this](const Args& a) {
    log.push_back("Read " + std::to_string(a.Int(0)) + " " + std::to_string(a.Int(1)));
    return Variant::Int(registers[a.Int(0)]);
  });
  On(id::kDevice_RegisterWrite, [this](const Args& a) {
    log.push_back("Write " + std::to_string(a.Int(0)) + " " + std::to_string(a.Int(1)) + " " +
                  std::to_string(a.Int(2)));
    registers[a.Int(0)] = a.Int(2);
    return Variant();
  });
}

}  // namespace boundary

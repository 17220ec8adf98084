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

namespace {
std::string Flag(bool value) { return value ? "1" : "0"; }
}  // namespace

void FakeChannel::Record(std::string entry) {
  const bool fail = !failOn.empty() && entry.rfind(failOn, 0) == 0;
  log_.push_back(std::move(entry));
  if (!fail) return;
  failOn.clear();
  throw std::runtime_error("channel stopped answering at " + log_.back());
}

FakeChannel::FakeChannel(std::vector<std::string>& log)
    : log_(log), jtagDevice_(host::MakeHostObject<FakeJTagDevice>()) {
  auto record = [this](std::string text) { Record(std::move(text)); };
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
  On(id::kChannel_Reset, [record](const Args&) {
    record("Reset");
    return Variant();
  });
  On(id::kChannel_GotoState, [record](const Args& a) {
    record("GotoState " + std::to_string(a.Int(0)));
    return Variant();
  });
  On(id::kChannel_ClockTms, [record](const Args& a) {
    record("ClockTms " + Flag(a.Bool(0)));
    return Variant();
  });
  On(id::kChannel_ShiftIRBits, [record](const Args& a) {
    record("ShiftIRBits " + a.String(0) + " " + std::to_string(a.Int(1)));
    return Variant();
  });
  On(id::kChannel_ShiftDRBits, [record](const Args& a) {
    record("ShiftDRBits " + a.String(0) + " " + std::to_string(a.Int(1)));
    return Variant();
  });
  On(id::kChannel_ShiftDRBitsEx, [record](const Args& a) {
    record("ShiftDRBitsEx " + a.String(0) + " " + Flag(a.Bool(1)));
    return Variant();
  });
  On(id::kChannel_ScanDR, [this, record](const Args& a) {
    record("ScanDR " + std::to_string(a.Int(0)) + " " + std::to_string(a.Int(1)) + " " +
           std::to_string(a.Int(2)));
    return Variant::Int(scanValue);
  });
  On(id::kChannel_Flush, [record](const Args&) {
    record("Flush");
    return Variant();
  });
  On(id::kChannel_GetDevice, [this](const Args&) { return Variant::Dispatch(jtagDevice_.Get()); });
}

FakeChainDevice::FakeChainDevice(std::string name, int32_t chainIndex)
    : channel_(host::MakeHostObject<FakeChannel>(log)) {
  On(id::kDevice_GetDeviceName, [name](const Args&) { return Variant::String(name); });
  On(id::kDevice_GetChainIndex, [chainIndex](const Args&) { return Variant::Int(chainIndex); });
  On(id::kDevice_GetJTagChannel, [this](const Args&) {
    if (failChannel) throw std::runtime_error("cable unplugged");
    return Variant::Dispatch(noChannel ? nullptr : channel_.Get());
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

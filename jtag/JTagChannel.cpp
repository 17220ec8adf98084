#include "jtag/JTagChannel.h"

#include "automation/HostCall.h"
#include "hostsdk/HostDispIds.h"

namespace jtag {

namespace id = hostsdk::dispid;
using automation::HostCall;
using automation::HostCallBool;
using automation::HostCallDispatch;
using automation::HostCallInt;
using automation::HostCallString;
using automation::HostCallVoid;
using automation::Variant;

bool TJTagChannel::Open() { return HostCallBool(Dispatch(), id::kChannel_Open); }
void TJTagChannel::Close() { HostCallVoid(Dispatch(), id::kChannel_Close); }
void TJTagChannel::Reset() { HostCallVoid(Dispatch(), id::kChannel_Reset); }

void TJTagChannel::GotoState(int32_t state) {
  HostCallVoid(Dispatch(), id::kChannel_GotoState, {Variant::Int(state)});
}

void TJTagChannel::ClockTms(bool bit) {
  HostCallVoid(Dispatch(), id::kChannel_ClockTms, {Variant::Bool(bit)});
}

void TJTagChannel::ShiftIRBits(const std::string& bits, int32_t chainIndex) {
  HostCallVoid(Dispatch(), id::kChannel_ShiftIRBits,
               {Variant::String(bits), Variant::Int(chainIndex)});
}

void TJTagChannel::ShiftDRBits(const std::string& bits, int32_t chainIndex) {
  HostCallVoid(Dispatch(), id::kChannel_ShiftDRBits,
               {Variant::String(bits), Variant::Int(chainIndex)});
}

void TJTagChannel::ShiftDRBitsEx(const std::string& bits, bool flag) {
  HostCallVoid(Dispatch(), id::kChannel_ShiftDRBitsEx, {Variant::String(bits), Variant::Bool(flag)});
}

int32_t TJTagChannel::ShiftDRCapture(int32_t value, int32_t length, int32_t chainIndex) {
  return HostCallInt(Dispatch(), id::kChannel_ShiftDRCapture,
                     {Variant::Int(value), Variant::Int(length), Variant::Int(chainIndex)});
}

void TJTagChannel::ScanIR(int32_t opcode, int32_t chainIndex) {
  HostCallVoid(Dispatch(), id::kChannel_ScanIR, {Variant::Int(opcode), Variant::Int(chainIndex)});
}

int32_t TJTagChannel::ScanDR(int32_t value, int32_t length, int32_t chainIndex) {
  return HostCallInt(Dispatch(), id::kChannel_ScanDR,
                     {Variant::Int(value), Variant::Int(length), Variant::Int(chainIndex)});
}

void TJTagChannel::Flush() { HostCallVoid(Dispatch(), id::kChannel_Flush); }

ComPtr<IDispatch> TJTagChannel::GetPort() { return HostCallDispatch(Dispatch(), id::kChannel_GetPort); }

void TJTagChannel::MoveState(int32_t from, int32_t to) {
  HostCallVoid(Dispatch(), id::kChannel_MoveState, {Variant::Int(from), Variant::Int(to)});
}

void TJTagChannel::ShiftDRValue(int32_t value, int32_t length, int32_t chainIndex) {
  HostCallVoid(Dispatch(), id::kChannel_ShiftDRValue,
               {Variant::Int(value), Variant::Int(length), Variant::Int(chainIndex)});
}

std::string TJTagChannel::ShiftDRBitsCapture(const std::string& bits, int32_t chainIndex) {
  return HostCallString(Dispatch(), id::kChannel_ShiftDRBitsCapture,
                        {Variant::String(bits), Variant::Int(chainIndex)});
}

ComPtr<IDispatch> TJTagChannel::GetDevice(int32_t chainIndex) {
  return HostCallDispatch(Dispatch(), id::kChannel_GetDevice, {Variant::Int(chainIndex)});
}

int32_t TChainDevice::GetChainIndex() { return HostCallInt(Dispatch(), id::kDevice_GetChainIndex); }

TJTagChannel TChainDevice::GetJTagChannel() {
  return TJTagChannel(HostCallDispatch(Dispatch(), id::kDevice_GetJTagChannel));
}

bool TChainDevice::Reset() { return HostCallBool(Dispatch(), id::kDevice_Reset); }

int32_t TChainDevice::Program(const std::string& fileName) {
  return HostCallInt(Dispatch(), id::kDevice_Program, {Variant::String(fileName)});
}

int32_t TChainDevice::GetState() { return HostCallInt(Dispatch(), id::kDevice_GetState); }

std::string TChainDevice::GetDeviceDescription() {
  return HostCallString(Dispatch(), id::kDevice_GetDeviceDescription);
}

std::string TChainDevice::GetDeviceName() {
  return HostCallString(Dispatch(), id::kDevice_GetDeviceName);
}

int32_t TChainDevice::RegisterRead(int32_t address, int32_t length) {
  return HostCallInt(Dispatch(), id::kDevice_RegisterRead,
                     {Variant::Int(address), Variant::Int(length)});
}

void TChainDevice::RegisterWrite(int32_t address, int32_t length, int32_t value) {
  HostCallVoid(Dispatch(), id::kDevice_RegisterWrite,
               {Variant::Int(address), Variant::Int(length), Variant::Int(value)});
}

void TChainDevice::EnterDebugAccess() { HostCallVoid(Dispatch(), id::kDevice_EnterDebugAccess); }
void TChainDevice::LeaveDebugAccess() { HostCallVoid(Dispatch(), id::kDevice_LeaveDebugAccess); }

}  // namespace jtag

// The host's JTAG channel and chain device, called by DISPID. The host owns
// the cable and the chain; a driver reaches its chip through the chain
// device it is bound to, the channel of that device's chain and the
// device's position on the chain.
//
// Bit strings are '0'/'1' text whose last character is shifted first; for
// integer values the register gets the `length` low bits of the value.
#pragma once

#include <cstdint>
#include <string>

#include "automation/ComPtr.h"
#include "automation/ComTypes.h"

namespace jtag {

using automation::ComPtr;

// TAP state codes of the channel.
enum TapState : int32_t {
  kTapUndefined = 0,
  kTapReset = 1,
  kTapIdle = 2,
  kTapDRSelect = 3,
  kTapDRCapture = 4,
  kTapDRShift = 5,
  kTapDRExit1 = 6,
  kTapDRPause = 7,
  kTapDRExit2 = 8,
  kTapDRUpdate = 9,
  kTapIRSelect = 10,
  kTapIRCapture = 11,
  kTapIRShift = 12,
  kTapIRExit1 = 13,
  kTapIRPause = 14,
  kTapIRExit2 = 15,
  kTapIRUpdate = 16,
};

class TJTagChannel {
 public:
  explicit TJTagChannel(ComPtr<IDispatch> channel) : channel_(std::move(channel)) {}

  IDispatch* Dispatch() const { return channel_.Get(); }
  explicit operator bool() const { return static_cast<bool>(channel_); }

  bool Open();
  void Close();
  void Reset();
  void GotoState(int32_t state);
  void ClockTms(bool bit);
  void ShiftIRBits(const std::string& bits, int32_t chainIndex);
  void ShiftDRBits(const std::string& bits, int32_t chainIndex);
  void ShiftDRBitsEx(const std::string& bits, bool flag);
  int32_t ShiftDRCapture(int32_t value, int32_t length, int32_t chainIndex);
  void ScanIR(int32_t opcode, int32_t chainIndex);
  int32_t ScanDR(int32_t value, int32_t length, int32_t chainIndex);
  void Flush();
  ComPtr<IDispatch> GetPort();
  void MoveState(int32_t from, int32_t to);
  void ShiftDRValue(int32_t value, int32_t length, int32_t chainIndex);
  std::string ShiftDRBitsCapture(const std::string& bits, int32_t chainIndex);
  ComPtr<IDispatch> GetDevice(int32_t chainIndex);  // IJTagDevice or null

 private:
  ComPtr<IDispatch> channel_;
};

// ITalvoDevice: the host's handle of one chip on the chain.
class TChainDevice {
 public:
  explicit TChainDevice(ComPtr<IDispatch> device) : device_(std::move(device)) {}

  IDispatch* Dispatch() const { return device_.Get(); }
  explicit operator bool() const { return static_cast<bool>(device_); }

  int32_t GetChainIndex();
  TJTagChannel GetJTagChannel();  // may hold no channel
  bool Reset();
  int32_t Program(const std::string& fileName);
  int32_t GetState();
  std::string GetDeviceDescription();
  std::string GetDeviceName();
  int32_t RegisterRead(int32_t address, int32_t length);
  void RegisterWrite(int32_t address, int32_t length, int32_t value);
  void EnterDebugAccess();
  void LeaveDebugAccess();

 private:
  ComPtr<IDispatch> device_;
};

}  // namespace jtag

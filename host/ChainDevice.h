// ITalvoDevice: the host's handle of one chip on a chain, the object a
// driver is bound to. It gives the driver its chain position and channel,
// passes the download stage's reset, program and state requests on to the
// driver, and keeps the chip's debug register file (address -> value,
// 0 until written; the debug control register is address 64, 8 bits).
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "host/HostObject.h"
#include "host/JTagChannel.h"

namespace host {

class ChainDevice : public HostObject {
 public:
  ChainDevice(int32_t chainIndex, std::string name, ComPtr<JTagChannel> channel);

  // Binds `driver` (null unbinds) and tells it with SetTalvoDevice; a
  // previously bound driver is told first that it has no device any more.
  void Bind(ComPtr<IDispatch> driver);
  void Unbind() { Bind(nullptr); }

  int32_t ChainIndex() const { return chainIndex_; }
  const std::string& Name() const { return name_; }
  const ComPtr<IDispatch>& Driver() const { return driver_; }
  const ComPtr<JTagChannel>& Channel() const { return channel_; }

  // The download stage's requests, answered by the driver (False/0/empty
  // without one).
  bool ResetChip();
  int32_t ProgramChip(const std::string& fileName);
  int32_t ChipState();
  std::string DeviceName();
  std::string DeviceDescription();

  // The debug register file. `length` is the width in bits (1..32).
  uint32_t ReadRegister(int32_t address, int32_t length) const;
  void WriteRegister(int32_t address, int32_t length, uint32_t value);

  // Register writes and debug-access requests as they arrived, e.g.
  // «RegisterWrite(64, 8, 0x3)», «EnterDebugAccess».
  const std::vector<std::string>& Events() const { return events_; }

 private:
  void RegisterHandlers();

  int32_t chainIndex_;
  std::string name_;
  ComPtr<JTagChannel> channel_;
  ComPtr<IDispatch> driver_;
  std::map<int32_t, uint32_t> registers_;
  std::vector<std::string> events_;
};

}  // namespace host

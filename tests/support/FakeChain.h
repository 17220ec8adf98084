// A chain device, JTAG channel and JTAG device that record what a driver
// asks of them, for checking the driver's exact sequences at the channel.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "host/HostObject.h"

namespace boundary {

class FakeJTagDevice : public host::HostObject {
 public:
  FakeJTagDevice();
};

// Every call is logged as "Name arg arg" (booleans as 0 and 1).
class FakeChannel : public host::HostObject {
 public:
  explicit FakeChannel(std::vector<std::string>& log);
  int32_t captureValue = 0;  // what ShiftDRCapture shifts out
  std::string captureBits = "0";
  int32_t scanValue = 0;     // what ScanDR shifts out
  // The first call whose log entry begins with this text is logged and
  // then fails, as a cable that stops answering would (empty: none fails).
  std::string failOn;

 private:
  void Record(std::string entry);

  std::vector<std::string>& log_;
  host::ComPtr<FakeJTagDevice> jtagDevice_;
};

class FakeChainDevice : public host::HostObject {
 public:
  FakeChainDevice(std::string name, int32_t chainIndex);

  std::vector<std::string> log;  // channel and register operations, in order
  std::map<int32_t, int32_t> registers;
  bool failChannel = false;
  bool noChannel = false;  // the device answers GetJTagChannel with none
  FakeChannel& Channel() { return *channel_; }

 private:
  host::ComPtr<FakeChannel> channel_;
};

}  // namespace boundary

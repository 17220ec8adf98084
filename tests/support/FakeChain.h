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

class FakeChannel : public host::HostObject {
 public:
  explicit FakeChannel(std::vector<std::string>& log);
  int32_t captureValue = 0;
  std::string captureBits = "0";

 private:
  host::ComPtr<FakeJTagDevice> jtagDevice_;
};

class FakeChainDevice : public host::HostObject {
 public:
  FakeChainDevice(std::string name, int32_t chainIndex);

  std::vector<std::string> log;  // channel and register operations, in order
  std::map<int32_t, int32_t> registers;
  bool failChannel = false;
  FakeChannel& Channel() { return *channel_; }

 private:
  host::ComPtr<FakeChannel> channel_;
};

}  // namespace boundary

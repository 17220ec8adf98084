// A cable to an XVC 1.0 (virtual cable) server over TCP.
//
// On connecting the cable asks the server for its largest vector
// ("getinfo:") and, when a TCK period was asked for, sets it ("settck:").
// Each queued batch then goes out as "shift:" messages, as few as the
// server's limit allows (one for every batch the driver sends), each
// answered by its TDO bytes. The limit a server announces is read as the
// size of the whole message body (TMS and TDI vectors together), which is
// how servers that size one buffer for both read it; a server that meant
// each vector is merely used at half its capacity.
//
// Failures (refused connection, a server that closes the connection or
// goes silent mid-way, a malformed answer) throw NetworkError naming the
// server and the step; the channel then fails the driver's call. A failed
// exchange drops the connection, so that no answer that comes late is
// read as the next one's; the next exchange connects again.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "host/Cable.h"
#include "host/cables/TcpSocket.h"

namespace host {

struct XvcCableOptions {
  std::string host = "127.0.0.1";
  uint16_t port = 2542;
  // The TCK period to ask for, in nanoseconds; none leaves the server's.
  std::optional<uint32_t> tckPeriodNs;
  // How long to wait to connect and for each answer.
  std::chrono::milliseconds timeout{10000};
};

class XvcCable : public Cable {
 public:
  explicit XvcCable(XvcCableOptions options);

  std::string Name() const override;
  // What the server announced; 0 before the first connection.
  uint32_t MaxVectorBytes() const { return maxVectorBytes_; }
  // The TCK period the server applied, when one was asked for.
  std::optional<uint32_t> AppliedTckPeriodNs() const { return appliedPeriod_; }
  uint64_t ShiftMessages() const { return shiftMessages_; }

 protected:
  void Connect() override;
  void Disconnect() override;
  void Exchange(const BitVector& tms, const BitVector& tdi, BitVector& tdo) override;

 private:
  void ReadServerInfo();
  void SetTckPeriod(uint32_t periodNs);
  void SendShifts(const BitVector& tms, const BitVector& tdi, BitVector& tdo);

  XvcCableOptions options_;
  net::TcpSocket socket_;
  uint32_t maxVectorBytes_ = 0;
  std::optional<uint32_t> appliedPeriod_;
  uint64_t shiftMessages_ = 0;
};

}  // namespace host

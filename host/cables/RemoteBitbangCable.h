// A cable to a remote_bitbang server over TCP: one ASCII command per pin
// change, 'R' to read TDO.
//
// Each TCK cycle is three commands: TCK low with the cycle's TMS and TDI,
// 'R' (TDO as the chip drives it before the rising edge), TCK high. A
// batch goes out in one send and its answers are read in one go; only a
// batch longer than kCyclesPerRound is split into rounds of that many
// cycles, so neither side's socket buffer can fill up while the other is
// still writing. Closing the cable sends 'Q'.
//
// Failures throw NetworkError naming the server and the step. A failed
// exchange drops the connection, so that no answer that comes late is read
// as the next round's; the next exchange connects again.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "host/Cable.h"
#include "host/cables/TcpSocket.h"

namespace host {

struct RemoteBitbangCableOptions {
  std::string host = "127.0.0.1";
  uint16_t port = 44853;
  // How long to wait to connect and for each round's answers.
  std::chrono::milliseconds timeout{10000};
};

class RemoteBitbangCable : public Cable {
 public:
  static constexpr size_t kCyclesPerRound = 8192;

  explicit RemoteBitbangCable(RemoteBitbangCableOptions options);

  std::string Name() const override;
  uint64_t Rounds() const { return rounds_; }

 protected:
  void Connect() override;
  void Disconnect() override;
  void Exchange(const BitVector& tms, const BitVector& tdi, BitVector& tdo) override;

 private:
  void ExchangeRounds(const BitVector& tms, const BitVector& tdi, BitVector& tdo);

  RemoteBitbangCableOptions options_;
  net::TcpSocket socket_;
  uint64_t rounds_ = 0;
};

}  // namespace host

#include "host/cables/RemoteBitbangCable.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace host {

namespace {

// '0' + (TCK << 2 | TMS << 1 | TDI)
char PinCommand(bool tck, bool tms, bool tdi) {
  return static_cast<char>('0' + ((tck ? 4 : 0) | (tms ? 2 : 0) | (tdi ? 1 : 0)));
}

}  // namespace

RemoteBitbangCable::RemoteBitbangCable(RemoteBitbangCableOptions options)
    : options_(std::move(options)) {}

std::string RemoteBitbangCable::Name() const {
  return "rbb " + options_.host + ":" + std::to_string(options_.port);
}

void RemoteBitbangCable::Connect() {
  socket_ = net::TcpSocket::Connect(options_.host, options_.port, options_.timeout,
                                    "remote_bitbang server");
}

void RemoteBitbangCable::Disconnect() {
  if (!socket_.IsOpen()) return;
  try {
    socket_.SendAll("Q", 1, options_.timeout, "quit");
  } catch (const NetworkError&) {
    // Going away anyway: a server that left first is no error.
  }
  socket_.Close();
}

void RemoteBitbangCable::Exchange(const BitVector& tms, const BitVector& tdi, BitVector& tdo) {
  // A failed exchange leaves the connection closed; the next one starts on
  // a fresh connection.
  if (!socket_.IsOpen()) Connect();
  try {
    ExchangeRounds(tms, tdi, tdo);
  } catch (const NetworkError&) {
    // On this connection answers still on their way would be read as the
    // TDO of the next round, and every read after it would come late.
    socket_.Close();
    throw;
  }
}

void RemoteBitbangCable::ExchangeRounds(const BitVector& tms, const BitVector& tdi, BitVector& tdo) {
  std::vector<char> commands;
  std::vector<char> answers;
  for (size_t offset = 0; offset < tms.Size(); offset += kCyclesPerRound) {
    const size_t cycles = std::min(kCyclesPerRound, tms.Size() - offset);
    commands.clear();
    for (size_t i = offset; i < offset + cycles; ++i) {
      const bool tmsBit = tms.Get(i), tdiBit = tdi.Get(i);
      commands.push_back(PinCommand(false, tmsBit, tdiBit));
      commands.push_back('R');
      commands.push_back(PinCommand(true, tmsBit, tdiBit));
    }
    socket_.SendAll(commands.data(), commands.size(), options_.timeout, "shift");
    answers.resize(cycles);
    socket_.ReceiveAll(answers.data(), cycles, options_.timeout, "reading TDO");
    for (size_t i = 0; i < cycles; ++i) {
      if (answers[i] != '0' && answers[i] != '1') {
        char code[8];
        std::snprintf(code, sizeof code, "0x%02X", static_cast<unsigned char>(answers[i]));
        throw NetworkError(socket_.Peer() + ": reading TDO: the server answered " + code +
                           " instead of '0' or '1'");
      }
      tdo.Set(offset + i, answers[i] == '1');
    }
    ++rounds_;
  }
}

}  // namespace host

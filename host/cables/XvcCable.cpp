#include "host/cables/XvcCable.h"

#include <algorithm>
#include <vector>

namespace host {

namespace {

constexpr char kInfoPrefix[] = "xvcServer_v1.";
constexpr size_t kMaxInfoLength = 64;
// A bound on one message's vectors whatever the server announces, so the
// bit count stays far inside its 32-bit field and buffers stay sane.
constexpr size_t kMaxBytesPerVector = size_t{1} << 22;

void PutLittleEndian32(std::vector<uint8_t>& out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

uint32_t LittleEndian32(const uint8_t* bytes) {
  return static_cast<uint32_t>(bytes[0]) | (static_cast<uint32_t>(bytes[1]) << 8) |
         (static_cast<uint32_t>(bytes[2]) << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
}

}  // namespace

XvcCable::XvcCable(XvcCableOptions options) : options_(std::move(options)) {}

std::string XvcCable::Name() const {
  return "xvc " + options_.host + ":" + std::to_string(options_.port);
}

void XvcCable::Connect() {
  socket_ = net::TcpSocket::Connect(options_.host, options_.port, options_.timeout, "xvc server");
  try {
    ReadServerInfo();
    if (options_.tckPeriodNs) SetTckPeriod(*options_.tckPeriodNs);
  } catch (...) {
    socket_.Close();
    throw;
  }
}

void XvcCable::Disconnect() { socket_.Close(); }

void XvcCable::ReadServerInfo() {
  socket_.SendAll("getinfo:", 8, options_.timeout, "getinfo");
  std::string line;
  while (line.size() < kMaxInfoLength) {
    char c = 0;
    socket_.ReceiveAll(&c, 1, options_.timeout, "getinfo");
    if (c == '\n') break;
    line += c;
  }
  const std::string prefix = kInfoPrefix;
  const size_t colon = line.find(':');
  uint64_t bytes = 0;
  bool valid = line.compare(0, prefix.size(), prefix) == 0 && colon != std::string::npos &&
               colon + 1 < line.size();
  for (size_t i = colon + 1; valid && i < line.size(); ++i) {
    if (line[i] < '0' || line[i] > '9' || bytes > 0xFFFFFFFFull) valid = false;
    bytes = bytes * 10 + static_cast<uint64_t>(line[i] - '0');
  }
  if (!valid || bytes > 0xFFFFFFFFull)
    throw NetworkError(socket_.Peer() + ": getinfo: \"" + line + "\" is not an XVC 1.x server's answer");
  // Two bytes at the least: one of TMS and one of TDI.
  if (bytes < 2)
    throw NetworkError(socket_.Peer() + ": getinfo: the server takes vectors of only " +
                       std::to_string(bytes) + " byte(s)");
  maxVectorBytes_ = static_cast<uint32_t>(bytes);
}

void XvcCable::SetTckPeriod(uint32_t periodNs) {
  std::vector<uint8_t> message = {'s', 'e', 't', 't', 'c', 'k', ':'};
  PutLittleEndian32(message, periodNs);
  socket_.SendAll(message.data(), message.size(), options_.timeout, "settck");
  uint8_t answer[4];
  socket_.ReceiveAll(answer, sizeof answer, options_.timeout, "settck");
  appliedPeriod_ = LittleEndian32(answer);
}

void XvcCable::Exchange(const BitVector& tms, const BitVector& tdi, BitVector& tdo) {
  // A failed exchange leaves the connection closed; the next one starts on
  // a fresh connection.
  if (!socket_.IsOpen()) Connect();
  try {
    SendShifts(tms, tdi, tdo);
  } catch (const NetworkError&) {
    // On this connection a message cut short, or an answer still on its
    // way, would be read as the answer to the next message, and every read
    // after it would come one message late.
    socket_.Close();
    throw;
  }
}

void XvcCable::SendShifts(const BitVector& tms, const BitVector& tdi, BitVector& tdo) {
  // Whole bytes per message, so every slice starts on a byte boundary.
  const size_t bytesPerVector = std::min<size_t>(maxVectorBytes_ / 2, kMaxBytesPerVector);
  const size_t total = tms.Size();
  std::vector<uint8_t> message;
  for (size_t offset = 0; offset < total;) {
    const size_t bits = std::min(total - offset, bytesPerVector * 8);
    const size_t bytes = (bits + 7) / 8;
    const size_t firstByte = offset / 8;
    message.assign({'s', 'h', 'i', 'f', 't', ':'});
    PutLittleEndian32(message, static_cast<uint32_t>(bits));
    message.insert(message.end(), tms.Data() + firstByte, tms.Data() + firstByte + bytes);
    message.insert(message.end(), tdi.Data() + firstByte, tdi.Data() + firstByte + bytes);
    socket_.SendAll(message.data(), message.size(), options_.timeout, "shift");
    socket_.ReceiveAll(tdo.Data() + firstByte, bytes, options_.timeout, "shift");
    ++shiftMessages_;
    offset += bits;
  }
}

}  // namespace host

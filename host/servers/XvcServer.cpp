#include "host/servers/XvcServer.h"

#include <cstdio>
#include <vector>

namespace host {

namespace {

constexpr size_t kMaxCommandLength = 16;

uint32_t LittleEndian32(const uint8_t* bytes) {
  return static_cast<uint32_t>(bytes[0]) | (static_cast<uint32_t>(bytes[1]) << 8) |
         (static_cast<uint32_t>(bytes[2]) << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
}

std::string Printable(const std::string& text) {
  std::string out;
  for (unsigned char c : text) {
    if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      char code[8];
      std::snprintf(code, sizeof code, "\\x%02X", c);
      out += code;
    }
  }
  return out;
}

}  // namespace

XvcServer::XvcServer(std::shared_ptr<sim::ChainDevice> chain, const SimServerOptions& options,
                     uint32_t maxVectorBytes)
    : SimServer(std::move(chain), options, "xvc"), maxVectorBytes_(maxVectorBytes) {
  Start();
}

XvcServer::~XvcServer() { Stop(); }

std::string XvcServer::ReadCommand(net::TcpSocket& client) {
  std::string command;
  for (;;) {
    char c = 0;
    if (!ReadExactly(client, &c, 1, "command")) {
      if (command.empty()) return "";
      throw NetworkError(client.Peer() + ": the client left in the middle of \"" +
                         Printable(command) + "\"");
    }
    if (c == ':') return command;
    command += c;
    if (command.size() > kMaxCommandLength)
      throw NetworkError(client.Peer() + ": \"" + Printable(command) + "...\" is no XVC command");
  }
}

void XvcServer::Serve(net::TcpSocket& client) {
  for (;;) {
    const std::string command = ReadCommand(client);
    if (command.empty()) return;
    if (command == "getinfo") {
      const std::string info = "xvcServer_v1.0:" + std::to_string(maxVectorBytes_) + "\n";
      SendExactly(client, info.data(), info.size(), "getinfo");
    } else if (command == "settck") {
      uint8_t period[4];
      if (!ReadExactly(client, period, sizeof period, "settck")) return;
      SendExactly(client, period, sizeof period, "settck");
    } else if (command == "shift") {
      ServeShift(client);
    } else {
      throw NetworkError(client.Peer() + ": \"" + Printable(command) + ":\" is no XVC command");
    }
  }
}

void XvcServer::ServeShift(net::TcpSocket& client) {
  uint8_t header[4];
  if (!ReadExactly(client, header, sizeof header, "shift length")) return;
  const uint32_t bits = LittleEndian32(header);
  const size_t bytes = (static_cast<size_t>(bits) + 7) / 8;
  if (bytes > maxVectorBytes_)
    throw NetworkError(client.Peer() + ": shift of " + std::to_string(bits) + " bits (" +
                       std::to_string(bytes) + " bytes a vector) exceeds the " +
                       std::to_string(maxVectorBytes_) + " bytes the server announced");
  std::vector<uint8_t> vectors(2 * bytes);
  if (!ReadExactly(client, vectors.data(), vectors.size(), "shift vectors")) return;
  std::vector<uint8_t> tdo(bytes, 0);
  if (bits > 0) {
    std::lock_guard<std::mutex> lock(ChainMutex());
    Chain().Clock(vectors.data(), vectors.data() + bytes, tdo.data(), bits);
  }
  CountTraffic(bits, 1);
  SendExactly(client, tdo.data(), tdo.size(), "shift");
}

}  // namespace host

// A small portable TCP layer for the network cables and the chip-model
// servers: BSD sockets on Linux, Winsock on Windows, behind one interface.
// Every blocking call has a timeout, so neither side can hang for ever on a
// peer that went silent, and every failure names the peer and the step.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

namespace host {

// A failed network operation: the message names the peer and what failed.
class NetworkError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

namespace net {

#ifdef _WIN32
using NativeSocket = uintptr_t;  // SOCKET
#else
using NativeSocket = int;
#endif

using Millis = std::chrono::milliseconds;

class TcpSocket {
 public:
  TcpSocket() = default;
  TcpSocket(NativeSocket socket, std::string peer);
  TcpSocket(TcpSocket&& other) noexcept;
  TcpSocket& operator=(TcpSocket&& other) noexcept;
  TcpSocket(const TcpSocket&) = delete;
  TcpSocket& operator=(const TcpSocket&) = delete;
  ~TcpSocket() { Close(); }

  // Connects to host:port (a name or an IPv4 address). `role` says what
  // the peer is ("xvc server") in every message. Throws NetworkError
  // ("cannot connect to ROLE HOST:PORT: reason") when refused or out of time.
  static TcpSocket Connect(const std::string& host, uint16_t port, Millis timeout,
                           const std::string& role);

  bool IsOpen() const;
  // "ROLE HOST:PORT" of the other end, as messages name it.
  const std::string& Peer() const { return peer_; }

  // Sends every byte, waiting at most `timeout` for room for each part of
  // them; throws NetworkError naming `what` (the step being done) when the
  // peer is gone or takes nothing for `timeout`.
  void SendAll(const void* data, size_t size, Millis timeout, const char* what);
  // Waits up to `timeout` for room and sends what fits without blocking;
  // returns the bytes sent, 0 when there was no room in time. Throws
  // NetworkError naming `what` when the peer is gone.
  size_t SendSome(const void* data, size_t size, Millis timeout, const char* what);
  // Receives exactly `size` bytes, waiting at most `timeout` for each part
  // of them; throws NetworkError naming `what` when the peer closes the
  // connection first, fails, or stays silent for `timeout`.
  void ReceiveAll(void* data, size_t size, Millis timeout, const char* what);
  // Waits up to `timeout` for data; returns the bytes received (up to
  // `size`), 0 when nothing came in time. Sets `closed` when the peer
  // closed the connection. Throws NetworkError on a failure.
  size_t ReceiveSome(void* data, size_t size, Millis timeout, bool& closed);

  void Close();

 private:
  size_t Receive(void* data, size_t size, Millis timeout, bool& closed, const char* what);

  NativeSocket socket_ = kNoSocket;
  std::string peer_;

 public:
#ifdef _WIN32
  static constexpr NativeSocket kNoSocket = ~NativeSocket{0};
#else
  static constexpr NativeSocket kNoSocket = -1;
#endif
};

// A listening socket on one address.
class TcpListener {
 public:
  TcpListener() = default;
  TcpListener(TcpListener&& other) noexcept;
  TcpListener& operator=(TcpListener&& other) noexcept;
  TcpListener(const TcpListener&) = delete;
  TcpListener& operator=(const TcpListener&) = delete;
  ~TcpListener() { Close(); }

  // Listens on address:port (an IPv4 address; port 0 picks a free port).
  // Throws NetworkError ("cannot listen on ADDRESS:PORT: reason").
  static TcpListener Listen(const std::string& address, uint16_t port);

  uint16_t Port() const { return port_; }
  const std::string& Address() const { return address_; }
  // A connection that came in within `timeout`, or none.
  std::optional<TcpSocket> Accept(Millis timeout);
  void Close();

 private:
  NativeSocket socket_ = TcpSocket::kNoSocket;
  std::string address_;
  uint16_t port_ = 0;
};

}  // namespace net
}  // namespace host

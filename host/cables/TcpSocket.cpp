#include "host/cables/TcpSocket.h"

#include <cerrno>
#include <cstring>
#include <mutex>
#include <system_error>

#ifdef _WIN32
#if !defined(_WIN32_WINNT) || _WIN32_WINNT < 0x0600
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0600  // WSAPoll
#endif
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace host::net {

namespace {

// ---- the platform differences, and nothing else --------------------------

#ifdef _WIN32
using PollFd = WSAPOLLFD;

int LastSocketError() { return WSAGetLastError(); }
std::string SocketErrorText(int code) { return std::system_category().message(code); }
int Poll(PollFd* fd, int timeoutMs) { return WSAPoll(fd, 1, timeoutMs); }
void CloseNative(NativeSocket socket) { closesocket(static_cast<SOCKET>(socket)); }
bool SetNonBlocking(NativeSocket socket, bool on) {
  u_long mode = on ? 1 : 0;
  return ioctlsocket(static_cast<SOCKET>(socket), FIONBIO, &mode) == 0;
}
// Sends what fits into the socket's buffer now; -1 with the error set when
// nothing does. Winsock has no per-call flag for that, hence the switch.
long SendNow(NativeSocket socket, const char* bytes, int size) {
  if (!SetNonBlocking(socket, true)) return -1;
  const int sent = ::send(static_cast<SOCKET>(socket), bytes, size, 0);
  const int error = WSAGetLastError();
  SetNonBlocking(socket, false);
  WSASetLastError(error);
  return sent;
}
bool ConnectPending(int code) { return code == WSAEWOULDBLOCK || code == WSAEINPROGRESS; }
bool WouldBlock(int code) { return code == WSAEWOULDBLOCK; }
bool Interrupted(int code) { return code == WSAEINTR; }

// Winsock needs starting once per process before any other call.
void StartNetwork() {
  static std::once_flag started;
  std::call_once(started, [] {
    WSADATA data;
    const int error = WSAStartup(MAKEWORD(2, 2), &data);
    if (error != 0) throw NetworkError("cannot start Winsock: " + SocketErrorText(error));
  });
}
#else
using PollFd = pollfd;

int LastSocketError() { return errno; }
std::string SocketErrorText(int code) { return std::generic_category().message(code); }
int Poll(PollFd* fd, int timeoutMs) { return ::poll(fd, 1, timeoutMs); }
void CloseNative(NativeSocket socket) { ::close(socket); }
bool SetNonBlocking(NativeSocket socket, bool on) {
  const int flags = ::fcntl(socket, F_GETFL, 0);
  if (flags < 0) return false;
  return ::fcntl(socket, F_SETFL, on ? (flags | O_NONBLOCK) : (flags & ~O_NONBLOCK)) == 0;
}
// Sends what fits into the socket's buffer now; -1 with errno set when
// nothing does. A peer that went away must give an error, not a SIGPIPE
// that ends the process.
long SendNow(NativeSocket socket, const char* bytes, int size) {
  const int flags = MSG_NOSIGNAL | MSG_DONTWAIT;
  return static_cast<long>(::send(socket, bytes, static_cast<size_t>(size), flags));
}
bool ConnectPending(int code) { return code == EINPROGRESS; }
bool WouldBlock(int code) { return code == EAGAIN || code == EWOULDBLOCK; }
bool Interrupted(int code) { return code == EINTR; }
void StartNetwork() {}
#endif

// ---- portable helpers --------------------------------------------------------

std::string Endpoint(const std::string& host, uint16_t port) {
  return host + ":" + std::to_string(port);
}

int TimeoutMs(Millis timeout) {
  const auto count = timeout.count();
  if (count < 0) return 0;
  return count > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(count);
}

// Waits for `events` on `socket`: 1 ready, 0 timed out, -1 failed (the
// error is in LastSocketError).
int WaitFor(NativeSocket socket, short events, Millis timeout) {
  PollFd fd{};
  fd.fd = socket;
  fd.events = events;
  for (;;) {
    const int result = Poll(&fd, TimeoutMs(timeout));
    if (result < 0 && Interrupted(LastSocketError())) continue;
    return result;
  }
}

void SetNoDelay(NativeSocket socket) {
  // Requests and answers are small and strictly alternate: without this,
  // each exchange could sit out the delayed-acknowledgement timer.
  const int on = 1;
  ::setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
}

// Acknowledges what came in at once instead of after the delayed-ACK
// timer. A peer that writes one message in two pieces with Nagle on (an XVC
// client sending "shift:" and then its vectors) holds the second piece until
// the first is acknowledged, and would otherwise wait some 40 ms per
// message. Linux only re-arms this per receive, hence the call every time.
void AcknowledgeNow(NativeSocket socket) {
#ifdef TCP_QUICKACK
  const int on = 1;
  ::setsockopt(socket, IPPROTO_TCP, TCP_QUICKACK, &on, sizeof on);
#else
  (void)socket;
#endif
}

std::string PeerName(const sockaddr_in& address) {
  char text[INET_ADDRSTRLEN] = "?";
  ::inet_ntop(AF_INET, &address.sin_addr, text, sizeof text);
  return Endpoint(text, ntohs(address.sin_port));
}

// Connects one socket to one resolved address within `timeout`; returns
// the error code, 0 on success.
int ConnectWithin(NativeSocket socket, const sockaddr* address, size_t length, Millis timeout) {
  if (!SetNonBlocking(socket, true)) return LastSocketError();
  if (::connect(socket, address, static_cast<socklen_t>(length)) != 0) {
    const int error = LastSocketError();
    if (!ConnectPending(error)) return error;
    const int ready = WaitFor(socket, POLLOUT, timeout);
    if (ready < 0) return LastSocketError();
#ifdef _WIN32
    if (ready == 0) return WSAETIMEDOUT;
#else
    if (ready == 0) return ETIMEDOUT;
#endif
    int result = 0;
    socklen_t size = sizeof result;
    ::getsockopt(socket, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&result), &size);
    if (result != 0) return result;
  }
  return SetNonBlocking(socket, false) ? 0 : LastSocketError();
}

}  // namespace

// ---- TcpSocket -----------------------------------------------------------------

TcpSocket::TcpSocket(NativeSocket socket, std::string peer) : socket_(socket), peer_(std::move(peer)) {}

TcpSocket::TcpSocket(TcpSocket&& other) noexcept : socket_(other.socket_), peer_(std::move(other.peer_)) {
  other.socket_ = kNoSocket;
}

TcpSocket& TcpSocket::operator=(TcpSocket&& other) noexcept {
  if (this != &other) {
    Close();
    socket_ = other.socket_;
    peer_ = std::move(other.peer_);
    other.socket_ = kNoSocket;
  }
  return *this;
}

bool TcpSocket::IsOpen() const { return socket_ != kNoSocket; }

void TcpSocket::Close() {
  if (socket_ == kNoSocket) return;
  CloseNative(socket_);
  socket_ = kNoSocket;
}

TcpSocket TcpSocket::Connect(const std::string& host, uint16_t port, Millis timeout,
                             const std::string& role) {
  StartNetwork();
  const std::string peer = (role.empty() ? "" : role + " ") + Endpoint(host, port);
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_protocol = IPPROTO_TCP;
  addrinfo* found = nullptr;
  const int lookup = ::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found);
  if (lookup != 0 || !found)
    throw NetworkError("cannot connect to " + peer + ": the host name does not resolve");
  std::string reason = "no address";
  for (addrinfo* address = found; address; address = address->ai_next) {
    const NativeSocket socket = ::socket(address->ai_family, address->ai_socktype, address->ai_protocol);
    if (socket == kNoSocket) {
      reason = SocketErrorText(LastSocketError());
      continue;
    }
    const int error = ConnectWithin(socket, address->ai_addr, address->ai_addrlen, timeout);
    if (error == 0) {
      ::freeaddrinfo(found);
      SetNoDelay(socket);
      return TcpSocket(socket, peer);
    }
    reason = SocketErrorText(error);
    CloseNative(socket);
  }
  ::freeaddrinfo(found);
  throw NetworkError("cannot connect to " + peer + ": " + reason);
}

void TcpSocket::SendAll(const void* data, size_t size, Millis timeout, const char* what) {
  if (!IsOpen()) throw NetworkError(peer_ + ": " + what + ": the connection is closed");
  const char* bytes = static_cast<const char*>(data);
  size_t done = 0;
  while (done < size) {
    const size_t sent = SendSome(bytes + done, size - done, timeout, what);
    if (sent == 0)
      throw NetworkError(peer_ + ": " + what + ": the peer took nothing within " +
                         std::to_string(timeout.count()) + " ms (" + std::to_string(done) + " of " +
                         std::to_string(size) + " bytes went out)");
    done += sent;
  }
}

size_t TcpSocket::SendSome(const void* data, size_t size, Millis timeout, const char* what) {
  if (!IsOpen()) throw NetworkError(peer_ + ": " + what + ": the connection is closed");
  if (size == 0) return 0;
  const int chunk = size > 0x40000000 ? 0x40000000 : static_cast<int>(size);
  for (;;) {
    // Blocking in send() would wait for the peer to read, for ever if it
    // never does; the wait for room is what the timeout bounds.
    const int ready = WaitFor(socket_, POLLOUT, timeout);
    if (ready < 0)
      throw NetworkError(peer_ + ": " + what + ": waiting to send failed: " +
                         SocketErrorText(LastSocketError()));
    if (ready == 0) return 0;
    const long sent = SendNow(socket_, static_cast<const char*>(data), chunk);
    if (sent >= 0) return static_cast<size_t>(sent);
    const int error = LastSocketError();
    if (Interrupted(error) || WouldBlock(error)) continue;
    throw NetworkError(peer_ + ": " + what + ": sending failed: " + SocketErrorText(error));
  }
}

size_t TcpSocket::ReceiveSome(void* data, size_t size, Millis timeout, bool& closed) {
  return Receive(data, size, timeout, closed, "receiving");
}

size_t TcpSocket::Receive(void* data, size_t size, Millis timeout, bool& closed, const char* what) {
  closed = false;
  if (!IsOpen()) throw NetworkError(peer_ + ": " + what + ": the connection is closed");
  const int ready = WaitFor(socket_, POLLIN, timeout);
  if (ready < 0)
    throw NetworkError(peer_ + ": " + what + ": waiting for data failed: " +
                       SocketErrorText(LastSocketError()));
  if (ready == 0) return 0;
  for (;;) {
    const int chunk = size > 0x40000000 ? 0x40000000 : static_cast<int>(size);
    const auto received = ::recv(socket_, static_cast<char*>(data), chunk, 0);
    if (received > 0) {
      AcknowledgeNow(socket_);
      return static_cast<size_t>(received);
    }
    if (received == 0) {
      closed = true;
      return 0;
    }
    const int error = LastSocketError();
    if (Interrupted(error)) continue;
    throw NetworkError(peer_ + ": " + what + ": receiving failed: " + SocketErrorText(error));
  }
}

void TcpSocket::ReceiveAll(void* data, size_t size, Millis timeout, const char* what) {
  char* bytes = static_cast<char*>(data);
  size_t done = 0;
  while (done < size) {
    bool closed = false;
    const size_t received = Receive(bytes + done, size - done, timeout, closed, what);
    if (closed)
      throw NetworkError(peer_ + ": " + what + ": the peer closed the connection after " +
                         std::to_string(done) + " of " + std::to_string(size) + " bytes");
    if (received == 0)
      throw NetworkError(peer_ + ": " + what + ": no answer within " +
                         std::to_string(timeout.count()) + " ms (" + std::to_string(done) + " of " +
                         std::to_string(size) + " bytes came)");
    done += received;
  }
}

// ---- TcpListener -----------------------------------------------------------------

TcpListener::TcpListener(TcpListener&& other) noexcept
    : socket_(other.socket_), address_(std::move(other.address_)), port_(other.port_) {
  other.socket_ = TcpSocket::kNoSocket;
}

TcpListener& TcpListener::operator=(TcpListener&& other) noexcept {
  if (this != &other) {
    Close();
    socket_ = other.socket_;
    address_ = std::move(other.address_);
    port_ = other.port_;
    other.socket_ = TcpSocket::kNoSocket;
  }
  return *this;
}

void TcpListener::Close() {
  if (socket_ == TcpSocket::kNoSocket) return;
  CloseNative(socket_);
  socket_ = TcpSocket::kNoSocket;
}

TcpListener TcpListener::Listen(const std::string& address, uint16_t port) {
  StartNetwork();
  const std::string where = Endpoint(address, port);
  sockaddr_in bindAddress{};
  bindAddress.sin_family = AF_INET;
  bindAddress.sin_port = htons(port);
  if (::inet_pton(AF_INET, address.c_str(), &bindAddress.sin_addr) != 1)
    throw NetworkError("cannot listen on " + where + ": not an IPv4 address");
  TcpListener listener;
  listener.socket_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (listener.socket_ == TcpSocket::kNoSocket)
    throw NetworkError("cannot listen on " + where + ": " + SocketErrorText(LastSocketError()));
#ifndef _WIN32
  // A server restarted at once may reuse its port while old connections
  // linger in TIME_WAIT. (On Windows the same option would let another
  // program take a port in use, so it stays off there.)
  const int on = 1;
  ::setsockopt(listener.socket_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
#endif
  if (::bind(listener.socket_, reinterpret_cast<const sockaddr*>(&bindAddress), sizeof bindAddress) != 0 ||
      ::listen(listener.socket_, 4) != 0)
    throw NetworkError("cannot listen on " + where + ": " + SocketErrorText(LastSocketError()));
  sockaddr_in bound{};
  socklen_t size = sizeof bound;
  ::getsockname(listener.socket_, reinterpret_cast<sockaddr*>(&bound), &size);
  listener.address_ = address;
  listener.port_ = ntohs(bound.sin_port);
  return listener;
}

std::optional<TcpSocket> TcpListener::Accept(Millis timeout) {
  if (socket_ == TcpSocket::kNoSocket) return std::nullopt;
  const int ready = WaitFor(socket_, POLLIN, timeout);
  if (ready <= 0) return std::nullopt;
  sockaddr_in peer{};
  socklen_t size = sizeof peer;
  const NativeSocket socket = ::accept(socket_, reinterpret_cast<sockaddr*>(&peer), &size);
  if (socket == TcpSocket::kNoSocket) return std::nullopt;
  SetNoDelay(socket);
  return TcpSocket(socket, PeerName(peer));
}

}  // namespace host::net

// A network server for a simulated JTAG chain: listens on one loopback
// port and serves one client at a time from a thread of its own (the chain
// is one piece of hardware; a second client waits until the first leaves).
// The protocol is the subclass's.
//
// The chain is shared with the owner: WithChain runs code on it while the
// serving thread is kept out, so a test or the simulator can read the
// chip's state at any time. Stop (or the destructor) ends the serving
// within a poll interval, whatever the client is doing.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "host/cables/TcpSocket.h"
#include "sim/ChainDevice.h"

namespace host {

// What the clients made the chain do: the cost of a JTAG job in clock
// cycles and in network round trips, whatever program drove it.
struct SimServerTraffic {
  uint64_t tck = 0;         // TCK cycles clocked through the chain
  uint64_t roundTrips = 0;  // exchanges the client waited on (answers sent)
};

struct SimServerOptions {
  uint16_t port = 0;  // 0: any free port
  std::string address = "127.0.0.1";
  // The lock that keeps the chain to one user at a time. Servers that
  // serve one chain over different protocols must share it; none: the
  // server makes its own.
  std::shared_ptr<std::mutex> chainMutex;
  // Receives one line per connection, departure and protocol error, from
  // the serving thread.
  std::function<void(const std::string&)> log;
};

class SimServer {
 public:
  SimServer(const SimServer&) = delete;
  SimServer& operator=(const SimServer&) = delete;
  virtual ~SimServer();

  const std::string& Address() const { return listener_.Address(); }
  uint16_t Port() const { return listener_.Port(); }
  // "PROTOCOL ADDRESS:PORT", e.g. "xvc 127.0.0.1:2542".
  std::string Endpoint() const;

  // Ends serving and closes the port; returns once the thread has ended.
  void Stop();

  // Runs `work` on the chain with the serving thread kept out.
  void WithChain(const std::function<void(sim::ChainDevice&)>& work);

  uint64_t ConnectionsServed() const { return connections_.load(); }
  // Totals over every connection so far.
  SimServerTraffic Traffic() const;
  // The failure that ended the last connection ("" when it ended cleanly).
  std::string LastError() const;

 protected:
  // Listens at once; throws NetworkError when it cannot.
  SimServer(std::shared_ptr<sim::ChainDevice> chain, const SimServerOptions& options,
            std::string protocol);

  // Starts the serving thread; the subclass calls it last in its
  // constructor, and Stop() first in its destructor.
  void Start();

  // Serves one client until it leaves (return) or breaks the protocol
  // (throw); must poll Stopping() at least every kPoll.
  virtual void Serve(net::TcpSocket& client) = 0;

  bool Stopping() const { return stopping_.load(); }
  std::mutex& ChainMutex() { return *chainMutex_; }
  sim::ChainDevice& Chain() { return *chain_; }
  void Log(const std::string& line) const {
    if (log_) log_(line);
  }

  static constexpr net::Millis kPoll{50};

  // Fills `data` with exactly `size` bytes from `client`, polling
  // Stopping(). Returns false when the client closed the connection (or
  // the server stops) before the first byte; throws NetworkError naming
  // `what` when it closes part-way.
  bool ReadExactly(net::TcpSocket& client, void* data, size_t size, const char* what);
  // Sends all of `data` to `client`, polling Stopping() while the client
  // leaves its answers unread; throws NetworkError naming `what` when the
  // client is gone or the server stops first.
  void SendExactly(net::TcpSocket& client, const void* data, size_t size, const char* what);

  // The subclass reports the cycles it clocked and the answers it sent;
  // each connection's share is logged when the client leaves.
  void CountTraffic(uint64_t tck, uint64_t roundTrips);

 private:
  void AcceptLoop();

  std::shared_ptr<sim::ChainDevice> chain_;
  std::string protocol_;
  net::TcpListener listener_;
  std::shared_ptr<std::mutex> chainMutex_;
  std::atomic<bool> stopping_{false};
  std::atomic<uint64_t> connections_{0};
  std::atomic<uint64_t> tck_{0};
  std::atomic<uint64_t> roundTrips_{0};
  mutable std::mutex errorMutex_;
  std::string lastError_;
  std::function<void(const std::string&)> log_;
  std::thread thread_;
};

}  // namespace host

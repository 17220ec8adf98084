#include "host/servers/SimServer.h"

#include <chrono>
#include <cstdio>
#include <stdexcept>

namespace host {

SimServer::SimServer(std::shared_ptr<sim::ChainDevice> chain, const SimServerOptions& options,
                     std::string protocol)
    : chain_(std::move(chain)),
      protocol_(std::move(protocol)),
      chainMutex_(options.chainMutex ? options.chainMutex : std::make_shared<std::mutex>()),
      log_(options.log) {
  if (!chain_) throw std::invalid_argument(protocol_ + " server without a chain to serve");
  listener_ = net::TcpListener::Listen(options.address, options.port);
}

SimServer::~SimServer() { Stop(); }

std::string SimServer::Endpoint() const {
  return protocol_ + " " + Address() + ":" + std::to_string(Port());
}

void SimServer::Start() { thread_ = std::thread([this] { AcceptLoop(); }); }

void SimServer::Stop() {
  stopping_.store(true);
  if (thread_.joinable()) thread_.join();
  listener_.Close();
}

void SimServer::WithChain(const std::function<void(sim::ChainDevice&)>& work) {
  std::lock_guard<std::mutex> lock(*chainMutex_);
  work(*chain_);
}

std::string SimServer::LastError() const {
  std::lock_guard<std::mutex> lock(errorMutex_);
  return lastError_;
}

SimServerTraffic SimServer::Traffic() const { return {tck_.load(), roundTrips_.load()}; }

void SimServer::CountTraffic(uint64_t tck, uint64_t roundTrips) {
  tck_ += tck;
  roundTrips_ += roundTrips;
}

namespace {

// "1234567 TCK, 2345 round trips in 0.93 s"
std::string DescribeTraffic(const SimServerTraffic& traffic, std::chrono::duration<double> time) {
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%.3f", time.count());
  return std::to_string(traffic.tck) + " TCK, " + std::to_string(traffic.roundTrips) +
         " round trips in " + seconds + " s";
}

}  // namespace

void SimServer::AcceptLoop() {
  while (!Stopping()) {
    std::optional<net::TcpSocket> client = listener_.Accept(kPoll);
    if (!client) continue;
    ++connections_;
    Log(protocol_ + ": client " + client->Peer() + " connected");
    const SimServerTraffic before = Traffic();
    const auto start = std::chrono::steady_clock::now();
    std::string error;
    try {
      Serve(*client);
    } catch (const std::exception& e) {
      error = e.what();
    }
    const SimServerTraffic after = Traffic();
    const std::string traffic =
        DescribeTraffic({after.tck - before.tck, after.roundTrips - before.roundTrips},
                        std::chrono::steady_clock::now() - start);
    {
      std::lock_guard<std::mutex> lock(errorMutex_);
      lastError_ = error;
    }
    Log(protocol_ + ": client " + client->Peer() +
        (error.empty() ? " left after " + traffic : " dropped after " + traffic + ": " + error));
  }
}

bool SimServer::ReadExactly(net::TcpSocket& client, void* data, size_t size, const char* what) {
  char* bytes = static_cast<char*>(data);
  size_t done = 0;
  while (done < size) {
    if (Stopping()) return false;
    bool closed = false;
    done += client.ReceiveSome(bytes + done, size - done, kPoll, closed);
    if (!closed) continue;
    if (done == 0) return false;
    throw NetworkError(client.Peer() + ": " + what + ": the client closed the connection after " +
                       std::to_string(done) + " of " + std::to_string(size) + " bytes");
  }
  return true;
}

void SimServer::SendExactly(net::TcpSocket& client, const void* data, size_t size, const char* what) {
  const char* bytes = static_cast<const char*>(data);
  size_t done = 0;
  while (done < size) {
    if (Stopping())
      throw NetworkError(client.Peer() + ": " + what + ": the server stopped with " +
                         std::to_string(size - done) + " of " + std::to_string(size) +
                         " bytes unsent");
    done += client.SendSome(bytes + done, size - done, kPoll, what);
  }
}

}  // namespace host

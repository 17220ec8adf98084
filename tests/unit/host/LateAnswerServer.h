// A fake network cable server for two connections whose first answers
// late: the first connection's first answer comes only after the cable
// under test gave up waiting for it, the second connection answers at
// once. A cable that kept its first connection would read the late answer
// as the next one's.
#pragma once

#include <chrono>
#include <future>
#include <optional>
#include <thread>
#include <vector>

#include "host/cables/TcpSocket.h"

namespace hosttest {

class LateAnswerServer {
 public:
  // How long the late answer waits: well past the cable's timeout in the
  // tests (500 ms), so a loaded machine cannot make it arrive in time.
  static constexpr std::chrono::milliseconds kDelay{1500};

  // `serve(server, peer, late)` answers the protocol on one connection;
  // `late` is true on the first connection. It sends every answer through
  // server.Answer.
  template <typename Serve>
  LateAnswerServer(host::net::TcpListener& listener, Serve serve)
      : thread_([&listener, serve, this] {
          std::vector<std::thread> connections;
          for (bool late : {true, false}) {
            std::optional<host::net::TcpSocket> peer = listener.Accept(std::chrono::seconds(5));
            if (!peer) break;
            connections.emplace_back(
                [this, serve, late](host::net::TcpSocket socket) {
                  try {
                    serve(*this, socket, late);
                  } catch (const host::NetworkError&) {
                    // the cable hung up
                  }
                },
                std::move(*peer));
          }
          for (std::thread& connection : connections) connection.join();
        }) {}

  ~LateAnswerServer() { thread_.join(); }

  // Sends one answer; with `late`, only after kDelay (when the cable may
  // have hung up already), then tells WaitForLateAnswer. Clears `late`, so
  // only the first answer of a connection is late.
  void Answer(host::net::TcpSocket& peer, const void* data, size_t size, bool& late) {
    if (!late) {
      peer.SendAll(data, size, std::chrono::seconds(5), "answer");
      return;
    }
    std::this_thread::sleep_for(kDelay);
    try {
      peer.SendAll(data, size, std::chrono::seconds(5), "late answer");
    } catch (const host::NetworkError&) {
      // the cable hung up first, as it should
    }
    late = false;
    lateAnswerSent_.set_value();
  }

  // Returns once the late answer went out (or after a few seconds).
  void WaitForLateAnswer() { lateAnswerSent_.get_future().wait_for(std::chrono::seconds(5)); }

 private:
  std::promise<void> lateAnswerSent_;
  std::thread thread_;
};

}  // namespace hosttest

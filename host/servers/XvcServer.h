// An XVC 1.0 server for a simulated chain: "getinfo:", "settck:" and
// "shift:", each shift clocking the chain once for the whole vector.
//
// The server announces kDefaultMaxVectorBytes and accepts a TMS vector and
// a TDI vector of up to that many bytes each (so a client that reads the
// figure as the size of both vectors together is served as well as one
// that reads it per vector). Any TCK period is accepted and echoed back:
// the model has no speed limit. A malformed or oversized message ends the
// connection; the server then waits for the next client.
#pragma once

#include "host/servers/SimServer.h"

namespace host {

class XvcServer : public SimServer {
 public:
  static constexpr uint32_t kDefaultMaxVectorBytes = 32768;

  explicit XvcServer(std::shared_ptr<sim::ChainDevice> chain, const SimServerOptions& options = {},
                     uint32_t maxVectorBytes = kDefaultMaxVectorBytes);
  ~XvcServer() override;

 protected:
  void Serve(net::TcpSocket& client) override;

 private:
  // The command word before ':'; "" when the client left.
  std::string ReadCommand(net::TcpSocket& client);
  void ServeShift(net::TcpSocket& client);

  uint32_t maxVectorBytes_;
};

}  // namespace host

// A remote_bitbang server for a simulated chain.
//
// '0'..'7' set TCK, TMS and TDI; the chain is clocked on every rising TCK
// edge (edges between two reads are clocked together, in one batch). 'R'
// answers the level the chain drives on TDO at that moment. The reset
// commands 'r', 's', 't', 'u' and the LED commands 'B', 'b' are accepted
// and do nothing: a MachXO2 has no TRST pin and no system reset on the
// JTAG port, and the model has no LED. 'Q' ends the connection (not the
// server). Line breaks and spaces are skipped, so a hand-typed script
// works; any other byte ends the connection as a protocol error.
#pragma once

#include <vector>

#include "host/servers/SimServer.h"
#include "sim/TdoLevelSource.h"

namespace host {

class RemoteBitbangServer : public SimServer {
 public:
  // The chain must be able to tell its TDO level between edges (a
  // sim::SimChain ending in a chip model, or a chip model itself); throws
  // std::invalid_argument otherwise.
  explicit RemoteBitbangServer(std::shared_ptr<sim::ChainDevice> chain,
                               const SimServerOptions& options = {});
  ~RemoteBitbangServer() override;

 protected:
  void Serve(net::TcpSocket& client) override;

 private:
  // Rising edges waiting to be clocked.
  struct Edges {
    std::vector<uint8_t> tms, tdi, tdo;
    size_t count = 0;
  };

  void AddEdge(Edges& edges, bool tms, bool tdi);
  void ClockEdges(Edges& edges);

  const sim::TdoLevelSource* tdoSource_;
};

}  // namespace host

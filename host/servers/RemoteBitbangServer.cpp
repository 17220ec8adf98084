#include "host/servers/RemoteBitbangServer.h"

#include <cstdio>
#include <stdexcept>
#include <string_view>

#include "sim/SimChain.h"

namespace host {

namespace {

constexpr size_t kReceiveBuffer = 65536;

const sim::TdoLevelSource* TdoSourceOf(sim::ChainDevice* chain) {
  if (auto* simChain = dynamic_cast<sim::SimChain*>(chain); simChain && !simChain->CanTellTdoLevel())
    return nullptr;
  return dynamic_cast<const sim::TdoLevelSource*>(chain);
}

}  // namespace

RemoteBitbangServer::RemoteBitbangServer(std::shared_ptr<sim::ChainDevice> chain,
                                         const SimServerOptions& options)
    : SimServer(chain, options, "rbb"), tdoSource_(TdoSourceOf(chain.get())) {
  if (!tdoSource_)
    throw std::invalid_argument(
        "a remote_bitbang server needs a chain that can tell its TDO level between clock edges");
  Start();
}

RemoteBitbangServer::~RemoteBitbangServer() { Stop(); }

void RemoteBitbangServer::AddEdge(Edges& edges, bool tms, bool tdi) {
  if (edges.count % 8 == 0) {
    edges.tms.push_back(0);
    edges.tdi.push_back(0);
  }
  sim::SetPackedBit(edges.tms.data(), edges.count, tms);
  sim::SetPackedBit(edges.tdi.data(), edges.count, tdi);
  ++edges.count;
}

void RemoteBitbangServer::ClockEdges(Edges& edges) {
  if (edges.count == 0) return;
  edges.tdo.assign(edges.tms.size(), 0);
  Chain().Clock(edges.tms.data(), edges.tdi.data(), edges.tdo.data(), edges.count);
  CountTraffic(edges.count, 0);
  edges.tms.clear();
  edges.tdi.clear();
  edges.count = 0;
}

void RemoteBitbangServer::Serve(net::TcpSocket& client) {
  std::vector<char> input(kReceiveBuffer);
  std::string answers;
  Edges edges;
  bool tck = false;
  while (!Stopping()) {
    bool closed = false;
    const size_t received = client.ReceiveSome(input.data(), input.size(), kPoll, closed);
    if (closed) return;
    bool quit = false;
    answers.clear();
    {
      std::lock_guard<std::mutex> lock(ChainMutex());
      for (size_t i = 0; i < received && !quit; ++i) {
        const char command = input[i];
        if (command >= '0' && command <= '7') {
          const int pins = command - '0';
          const bool rising = (pins & 4) && !tck;
          tck = (pins & 4) != 0;
          if (rising) AddEdge(edges, (pins & 2) != 0, (pins & 1) != 0);
        } else if (command == 'R') {
          ClockEdges(edges);
          answers += tdoSource_->TdoLevel() ? '1' : '0';
        } else if (command == 'Q') {
          quit = true;
        } else if (std::string_view("rstuBb\r\n ").find(command) == std::string_view::npos) {
          ClockEdges(edges);
          char code[8];
          std::snprintf(code, sizeof code, "0x%02X", static_cast<unsigned char>(command));
          throw NetworkError(client.Peer() + ": byte " + code + " is no remote_bitbang command");
        }
      }
      ClockEdges(edges);
    }
    if (!answers.empty()) {
      CountTraffic(0, 1);
      SendExactly(client, answers.data(), answers.size(), "TDO");
    }
    if (quit) return;
  }
}

}  // namespace host

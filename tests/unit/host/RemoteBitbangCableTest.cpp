// The remote_bitbang cable against the project's own server on loopback,
// the server against a hand-written command script, and a server that
// hangs up mid-way.
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "host/JTagPort.h"
#include "host/cables/RemoteBitbangCable.h"
#include "host/servers/RemoteBitbangServer.h"
#include "sim/GenericTapDevice.h"
#include "sim/MachXO2Device.h"
#include "sim/SimChain.h"
#include "tests/unit/host/LateAnswerServer.h"
#include "tests/unit/sim/DriverWalks.h"

namespace {

using namespace std::chrono_literals;
using host::NetworkError;
using host::net::TcpListener;
using host::net::TcpSocket;

std::shared_ptr<host::RemoteBitbangCable> CableTo(uint16_t port) {
  host::RemoteBitbangCableOptions options;
  options.port = port;
  options.timeout = 5s;
  return std::make_shared<host::RemoteBitbangCable>(options);
}

host::ChainDeviceSpec Chip(size_t irLength, uint32_t idCode) {
  host::ChainDeviceSpec chip;
  chip.name = "chip";
  chip.irLength = irLength;
  chip.idCode = idCode;
  return chip;
}

// A generic chip in front of a MachXO2: both answer over the cable, and a
// batch longer than one round of commands arrives intact.
TEST(RemoteBitbangCable, ServesAChainAndBatchesLongerThanOneRound) {
  auto generic = std::make_shared<sim::GenericTapDevice>(
      sim::GenericTapConfig{.irLength = 4, .idCode = 0x1A2B3C4D, .idCodeOpcode = 0x1});
  auto chip = sim::MachXO2Device::ForPart("LCMXO2-4000HC");
  auto chain = std::make_shared<sim::SimChain>(
      std::vector<std::shared_ptr<sim::ChainDevice>>{generic, chip});
  host::RemoteBitbangServer server(chain);
  auto cable = CableTo(server.Port());
  auto port = host::JTagPort::Create("rbb", cable, {Chip(4, 0x1A2B3C4D), Chip(8, 0x012BC043)});
  host::JTagChannel& channel = *port->Channel();
  ASSERT_TRUE(channel.Open()) << channel.LastError();
  channel.Reset();
  channel.GotoState(2);
  EXPECT_EQ(channel.ScanDR(0, 32, 0), 0x1A2B3C4Du);
  EXPECT_EQ(channel.ScanDR(0, 32, 1), 0x012BC043u);

  // 20000 bits through the chip's 552-bit boundary register.
  channel.ScanIR(0x1C, 1);
  std::string bits;
  for (int i = 0; i < 20000; ++i) bits += (i % 11 == 3 || i % 4 == 0) ? '1' : '0';
  channel.GotoState(5);  // DRSHIFT
  const std::string out = channel.ShiftDRBitsCapture(bits, 1);
  // Last character first on the wire: what went in 553 cycles earlier (the
  // boundary register and the generic chip's bypass bit in front of it).
  EXPECT_TRUE(out.substr(0, 20000 - 553) == bits.substr(553));
  EXPECT_GE(cable->Rounds(), 3u);

  channel.GotoState(2);
  simtest::DriverWalks(channel, 1).Erase();
  EXPECT_EQ(simtest::DriverWalks(channel, 1).DeviceState(), 1);
  channel.Close();
}

// 'R' answers the level before the next rising edge; the server ignores
// reset and LED commands and line breaks, and drops a client that sends a
// byte outside the protocol.
TEST(RemoteBitbangServer, AnswersAHandWrittenScript) {
  auto chip = sim::MachXO2Device::ForPart("LCMXO2-2000ZE");
  host::RemoteBitbangServer server(chip);
  TcpSocket client = TcpSocket::Connect("127.0.0.1", server.Port(), 5s, "test server");
  // Reset (TMS high for five clocks), Idle, Select-DR, Capture-DR, Shift-DR.
  std::string script = "B rs\n";
  for (int tms : {1, 1, 1, 1, 1, 0, 1, 0, 0}) script += tms ? "26" : "04";
  // Read 32 bits: sample, then clock with TMS low (high on the last).
  for (int i = 0; i < 32; ++i) script += i == 31 ? "2R6" : "0R4";
  script += "b";
  client.SendAll(script.data(), script.size(), 5s, "script");
  std::string answer(32, ' ');
  client.ReceiveAll(answer.data(), answer.size(), 5s, "TDO");
  uint32_t idCode = 0;
  for (int i = 0; i < 32; ++i)
    if (answer[static_cast<size_t>(i)] == '1') idCode |= 1u << i;
  EXPECT_EQ(idCode, 0x012B3043u);
  EXPECT_EQ(server.Traffic().tck, 41u);

  client.SendAll("X", 1, 5s, "a stray byte");
  char byte;
  EXPECT_THROW(client.ReceiveAll(&byte, 1, 5s, "after the stray byte"), NetworkError);
  for (int i = 0; i < 100 && server.LastError().empty(); ++i) std::this_thread::sleep_for(10ms);
  EXPECT_NE(server.LastError().find("byte 0x58 is no remote_bitbang command"), std::string::npos)
      << server.LastError();
}

// A client that asks for TDO and never reads the answers fills the
// server's socket; Stop must still end the serving instead of waiting on
// that client for ever.
TEST(RemoteBitbangServer, StopsWhileAClientLeavesItsAnswersUnread) {
  auto chip = sim::MachXO2Device::ForPart("LCMXO2-256HC");
  host::RemoteBitbangServer server(chip);
  TcpSocket client = TcpSocket::Connect("127.0.0.1", server.Port(), 5s, "test server");
  // Sends reads until the server takes no more: its answers are backed up.
  const std::string reads(1 << 20, 'R');
  try {
    for (int i = 0; i < 512; ++i) client.SendAll(reads.data(), reads.size(), 500ms, "reads");
    ADD_FAILURE() << "the server took 512 MB of reads without sending its answers";
  } catch (const NetworkError&) {
  }
  auto stopped = std::async(std::launch::async, [&] { server.Stop(); });
  if (stopped.wait_for(10s) != std::future_status::ready) {
    ADD_FAILURE() << "Stop waits for a client that reads nothing";
    std::vector<char> sink(1 << 16);
    bool closed = false;
    while (!closed && stopped.wait_for(0s) != std::future_status::ready)
      client.ReceiveSome(sink.data(), sink.size(), 10ms, closed);
  }
  stopped.get();
  EXPECT_NE(server.LastError().find("TDO: the server stopped with"), std::string::npos)
      << server.LastError();
}

TEST(RemoteBitbangServer, NeedsAChainThatCanTellItsTdoLevel) {
  auto generic = std::make_shared<sim::GenericTapDevice>(sim::GenericTapConfig{});
  EXPECT_THROW(host::RemoteBitbangServer server(generic), std::invalid_argument);
}

TEST(RemoteBitbangCable, ADroppedConnectionFailsTheChannelCallNamingTheServer) {
  TcpListener listener = TcpListener::Listen("127.0.0.1", 0);
  std::thread fake([&] {
    std::optional<TcpSocket> peer = listener.Accept(5s);
    if (!peer) return;
    // Takes the reset's commands (5 cycles, 3 bytes each), answers nothing.
    char commands[15];
    peer->ReceiveAll(commands, sizeof commands, 5s, "commands");
    peer->Close();
  });
  host::ChainDeviceSpec chip = Chip(8, 0x012BA043);
  auto port = host::JTagPort::Create("rbb", CableTo(listener.Port()), {chip});
  host::JTagChannel& channel = *port->Channel();
  ASSERT_TRUE(channel.Open()) << channel.LastError();
  channel.Reset();
  try {
    channel.Flush();
    ADD_FAILURE() << "no error";
  } catch (const NetworkError& e) {
    EXPECT_NE(std::string(e.what()).find("remote_bitbang server 127.0.0.1:" +
                                         std::to_string(listener.Port()) +
                                         ": reading TDO: the peer closed the connection"),
              std::string::npos)
        << e.what();
  }
  fake.join();
}

// TDO answers that come after the cable gave up must not be taken for the
// next round's: the cable drops that connection and starts the next round
// on a fresh one.
TEST(RemoteBitbangCable, LateAnswersAreNeverTakenForTheNextRound) {
  TcpListener listener = TcpListener::Listen("127.0.0.1", 0);
  // Answers each round of 8 cycles with ones on the first connection,
  // zeros on the second.
  hosttest::LateAnswerServer server(listener, [](hosttest::LateAnswerServer& self, TcpSocket& peer,
                                                 bool late) {
    const std::string answers(8, late ? '1' : '0');
    for (;;) {
      char commands[3 * 8];
      peer.ReceiveAll(commands, sizeof commands, 5s, "commands");
      self.Answer(peer, answers.data(), answers.size(), late);
    }
  });
  host::RemoteBitbangCableOptions options;
  options.port = listener.Port();
  options.timeout = 500ms;
  host::RemoteBitbangCable cable(options);
  cable.Open();
  const host::BitVector zeros(8, false);
  EXPECT_THROW(cable.TakeTdo(cable.QueueRead(zeros, zeros)), NetworkError);
  server.WaitForLateAnswer();
  EXPECT_EQ(cable.TakeTdo(cable.QueueRead(zeros, zeros)).ToText(), "00000000");
  cable.Close();
}

}  // namespace

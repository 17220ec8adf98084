// The XVC cable against the project's own XVC server on loopback: the
// driver's sequences reach the chip model, long batches are split at the
// server's limit, the server follows the protocol byte for byte, and a
// refused or dropped connection fails the channel call with the server
// named.
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "host/JTagPort.h"
#include "host/cables/XvcCable.h"
#include "host/servers/XvcServer.h"
#include "sim/MachXO2Device.h"
#include "sim/MachXO2Status.h"
#include "tests/unit/host/LateAnswerServer.h"
#include "tests/unit/sim/DriverWalks.h"

namespace {

using namespace std::chrono_literals;
using host::NetworkError;
using host::net::TcpListener;
using host::net::TcpSocket;

constexpr uint32_t kIdCode1200 = 0x012BA043;

host::ComPtr<host::JTagPort> PortOver(std::shared_ptr<host::Cable> cable, uint32_t idCode) {
  host::ChainDeviceSpec chip;
  chip.name = "mxo2";
  chip.irLength = 8;
  chip.idCode = idCode;
  return host::JTagPort::Create("net", std::move(cable), {chip});
}

std::shared_ptr<host::XvcCable> CableTo(uint16_t port) {
  host::XvcCableOptions options;
  options.port = port;
  options.timeout = 5s;
  return std::make_shared<host::XvcCable>(options);
}

std::string Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos ? "" : "'" + text + "' lacks '" + part + "'";
}

TEST(XvcCable, CarriesTheDriverSequencesToTheChipModel) {
  auto chip = sim::MachXO2Device::ForPart("LCMXO2-1200HC");
  host::XvcServer server(chip);
  auto cable = CableTo(server.Port());
  auto port = PortOver(cable, kIdCode1200);
  host::JTagChannel& channel = *port->Channel();
  ASSERT_TRUE(channel.Open()) << channel.LastError();
  channel.Reset();
  channel.GotoState(2);
  EXPECT_EQ(channel.ScanDR(0, 32, 0), kIdCode1200);

  std::string row(128, '0');
  row[0] = row[100] = '1';  // JEDEC text: first character first on the wire
  simtest::DriverWalks driver(channel, 0);
  driver.Program({std::string(row.rbegin(), row.rend())}, std::string(64, '0'));
  EXPECT_EQ(driver.DeviceState(), 2);
  server.WithChain([&](sim::ChainDevice&) {
    EXPECT_EQ(sim::BitText(chip->Flash().configuration[0].data(), 128), row);
    EXPECT_TRUE(chip->Flash().done);
  });
  // One message per flushed batch, never one per bit.
  EXPECT_EQ(cable->ShiftMessages(), cable->Stats().exchanges);
  EXPECT_EQ(cable->MaxVectorBytes(), host::XvcServer::kDefaultMaxVectorBytes);
  channel.Close();
}

TEST(XvcCable, SplitsBatchesAtTheServersLimitAndAsksForTheTckPeriod) {
  auto chip = sim::MachXO2Device::ForPart("LCMXO2-7000HC");
  host::XvcServer server(chip, {}, 16);  // 8 bytes a vector as this cable reads it
  host::XvcCableOptions options;
  options.port = server.Port();
  options.tckPeriodNs = 100;
  auto cable = std::make_shared<host::XvcCable>(options);
  cable->Open();
  EXPECT_EQ(cable->AppliedTckPeriodNs(), 100u);

  // Reset, SAMPLE/PRELOAD, then 2000 bits through the 664-bit boundary
  // register: what goes in comes out 664 cycles later.
  host::BitVector tms, tdi, pattern;
  auto clock = [&](bool t, bool d) {
    tms.Append(t);
    tdi.Append(d);
  };
  for (int t : {1, 1, 1, 1, 1, 0, 1, 1, 0, 0}) clock(t, false);
  for (int i = 0; i < 8; ++i) clock(i == 7, (0x1C >> i) & 1);
  for (int t : {1, 0, 1, 0, 0}) clock(t, false);
  const size_t start = tms.Size();
  for (size_t i = 0; i < 2000; ++i) {
    pattern.Append(i % 7 == 2 || i % 5 == 0);
    clock(i == 1999, pattern.Get(i));
  }
  const host::BitVector tdo = cable->TakeTdo(cable->QueueRead(tms, tdi));
  EXPECT_EQ(tdo.Slice(start + 664, 2000 - 664), pattern.Slice(0, 2000 - 664));
  EXPECT_EQ(cable->ShiftMessages(), (tms.Size() + 63) / 64);
  cable->Close();
}

// The server's side of the protocol, byte for byte, from a raw socket.
TEST(XvcServer, AnswersARawProtocolScriptAndDropsABrokenClient) {
  auto chip = sim::MachXO2Device::ForPart("LCMXO2-640HC");
  host::XvcServer server(chip, {}, 64);
  TcpSocket client = TcpSocket::Connect("127.0.0.1", server.Port(), 5s, "test server");
  client.SendAll("getinfo:", 8, 5s, "getinfo");
  char info[20] = {};
  client.ReceiveAll(info, 18, 5s, "getinfo");
  EXPECT_EQ(std::string(info, 18), "xvcServer_v1.0:64\n");

  const uint8_t settck[] = {'s', 'e', 't', 't', 'c', 'k', ':', 0x10, 0x27, 0, 0};
  client.SendAll(settck, sizeof settck, 5s, "settck");
  uint8_t period[4];
  client.ReceiveAll(period, 4, 5s, "settck");
  EXPECT_EQ(period[0] | (period[1] << 8), 10000);

  // Reset (which selects IDCODE), Idle, Select-DR, Capture-DR: 9 cycles to
  // Shift-DR, then 32 to read the IDCODE, the last one leaving with TMS 1.
  uint8_t shift[6 + 4 + 6 + 6] = {'s', 'h', 'i', 'f', 't', ':', 41, 0, 0, 0};
  uint8_t* tmsBytes = shift + 10;
  const int resetAndEnter[] = {1, 1, 1, 1, 1, 0, 1, 0, 0};
  for (int i = 0; i < 9; ++i)
    if (resetAndEnter[i]) tmsBytes[i / 8] |= static_cast<uint8_t>(1 << (i % 8));
  tmsBytes[40 / 8] |= 1 << (40 % 8);
  client.SendAll(shift, sizeof shift, 5s, "shift");
  uint8_t tdo[6];
  client.ReceiveAll(tdo, 6, 5s, "shift");
  uint64_t read = 0;
  for (int i = 0; i < 6; ++i) read |= static_cast<uint64_t>(tdo[i]) << (8 * i);
  EXPECT_EQ(static_cast<uint32_t>(read >> 9), 0x012B9043u);
  EXPECT_EQ(server.Traffic().tck, 41u);
  EXPECT_EQ(server.Traffic().roundTrips, 1u);

  // A vector larger than announced ends the connection, not the server.
  const uint8_t tooLong[] = {'s', 'h', 'i', 'f', 't', ':', 0x00, 0x10, 0, 0};  // 4096 bits
  client.SendAll(tooLong, sizeof tooLong, 5s, "shift");
  char byte;
  EXPECT_THROW(client.ReceiveAll(&byte, 1, 5s, "after the oversized shift"), NetworkError);
  client.Close();
  for (int i = 0; i < 100 && server.LastError().empty(); ++i) std::this_thread::sleep_for(10ms);
  EXPECT_EQ(Contains(server.LastError(), "exceeds the 64 bytes the server announced"), "");

  TcpSocket next = TcpSocket::Connect("127.0.0.1", server.Port(), 5s, "test server");
  next.SendAll("getinfo:", 8, 5s, "getinfo");
  next.ReceiveAll(info, 18, 5s, "getinfo");
  EXPECT_EQ(server.ConnectionsServed(), 2u);
}

// A server that answers getinfo, takes part of the first shift and hangs
// up: the channel call fails with the server and the step named.
TEST(XvcCable, ADroppedConnectionFailsTheChannelCallNamingTheServer) {
  TcpListener listener = TcpListener::Listen("127.0.0.1", 0);
  std::thread fake([&] {
    std::optional<TcpSocket> peer = listener.Accept(5s);
    if (!peer) return;
    char request[8];
    peer->ReceiveAll(request, 8, 5s, "getinfo");
    peer->SendAll("xvcServer_v1.0:2048\n", 20, 5s, "getinfo");
    // Takes the whole first shift, then hangs up without an answer.
    uint8_t header[10];
    peer->ReceiveAll(header, sizeof header, 5s, "shift");
    std::vector<uint8_t> vectors(2 * (((header[6] | (header[7] << 8)) + 7) / 8));
    peer->ReceiveAll(vectors.data(), vectors.size(), 5s, "shift");
    peer->Close();
  });
  auto port = PortOver(CableTo(listener.Port()), kIdCode1200);
  host::JTagChannel& channel = *port->Channel();
  ASSERT_TRUE(channel.Open()) << channel.LastError();
  channel.Reset();
  try {
    channel.ScanDR(0, 32, 0);
    ADD_FAILURE() << "no error";
  } catch (const NetworkError& e) {
    const std::string peer = "xvc server 127.0.0.1:" + std::to_string(listener.Port());
    EXPECT_EQ(Contains(e.what(), peer + ": shift: the peer closed the connection"), "");
  }
  EXPECT_EQ(channel.State(), sim::TapState::kUndefined);
  fake.join();
}

TEST(XvcCable, RefusedSilentAndForeignServersFailTheConnectionWithTheReason) {
  uint16_t unused = 0;
  {
    TcpListener listener = TcpListener::Listen("127.0.0.1", 0);
    unused = listener.Port();
  }
  auto port = PortOver(CableTo(unused), kIdCode1200);
  EXPECT_FALSE(port->Channel()->Open());
  EXPECT_EQ(Contains(port->Channel()->LastError(),
                     "cannot connect to xvc server 127.0.0.1:" + std::to_string(unused)),
            "");

  // A server that is not an XVC server.
  TcpListener listener = TcpListener::Listen("127.0.0.1", 0);
  std::thread fake([&] {
    if (std::optional<TcpSocket> peer = listener.Accept(5s)) {
      char request[8];
      peer->ReceiveAll(request, 8, 5s, "getinfo");
      peer->SendAll("hello\n", 6, 5s, "getinfo");
    }
  });
  auto cable = CableTo(listener.Port());
  try {
    cable->Open();
    ADD_FAILURE() << "no error";
  } catch (const NetworkError& e) {
    EXPECT_EQ(Contains(e.what(), "\"hello\" is not an XVC 1.x server's answer"), "");
  }
  fake.join();

  // A server that accepts and never answers: the wait is bounded.
  std::thread silent([&] {
    if (std::optional<TcpSocket> peer = listener.Accept(5s)) std::this_thread::sleep_for(400ms);
  });
  host::XvcCableOptions options;
  options.port = listener.Port();
  options.timeout = 200ms;
  host::XvcCable impatient(options);
  try {
    impatient.Open();
    ADD_FAILURE() << "no error";
  } catch (const NetworkError& e) {
    EXPECT_EQ(Contains(e.what(), ": getinfo: no answer within 200 ms"), "");
  }
  silent.join();
}

// A peer that accepts and never reads: sending to it ends with an error
// once it has taken nothing for the timeout, rather than blocking for ever.
TEST(XvcCable, SendingToAPeerThatReadsNothingEndsAtTheTimeout) {
  TcpListener listener = TcpListener::Listen("127.0.0.1", 0);
  std::promise<void> done;
  std::thread deaf([&, finished = done.get_future()] {
    std::optional<TcpSocket> peer = listener.Accept(5s);
    finished.wait_for(10s);  // then hangs up, which also frees a blocked sender
  });
  TcpSocket client = TcpSocket::Connect("127.0.0.1", listener.Port(), 5s, "xvc server");
  const std::vector<uint8_t> message(1 << 20, 0);
  try {
    for (int i = 0; i < 512; ++i) client.SendAll(message.data(), message.size(), 200ms, "shift");
    ADD_FAILURE() << "512 MB went to a peer that reads nothing";
  } catch (const NetworkError& e) {
    EXPECT_EQ(Contains(e.what(), ": shift: the peer took nothing within 200 ms"), "");
  }
  done.set_value();
  deaf.join();
}

// An answer that comes after the cable gave up must not be taken for the
// answer to the next message: the cable drops that connection and sends
// the next message on a fresh one.
TEST(XvcCable, ALateAnswerIsNeverTakenForTheNextOne) {
  TcpListener listener = TcpListener::Listen("127.0.0.1", 0);
  // Answers each shift with 0xAA bytes on the first connection, 0x55 on
  // the second.
  hosttest::LateAnswerServer server(listener, [](hosttest::LateAnswerServer& self, TcpSocket& peer,
                                                 bool late) {
    const uint8_t fill = late ? 0xAA : 0x55;
    char request[8];
    peer.ReceiveAll(request, 8, 5s, "getinfo");
    peer.SendAll("xvcServer_v1.0:2048\n", 20, 5s, "getinfo");
    for (;;) {
      uint8_t header[10];
      peer.ReceiveAll(header, sizeof header, 5s, "shift");
      std::vector<uint8_t> vectors(2 * ((header[6] + 7) / 8));
      peer.ReceiveAll(vectors.data(), vectors.size(), 5s, "shift");
      const std::vector<uint8_t> tdo(vectors.size() / 2, fill);
      self.Answer(peer, tdo.data(), tdo.size(), late);
    }
  });
  host::XvcCableOptions options;
  options.port = listener.Port();
  options.timeout = 500ms;
  host::XvcCable cable(options);
  cable.Open();
  const host::BitVector zeros(8, false);
  EXPECT_THROW(cable.TakeTdo(cable.QueueRead(zeros, zeros)), NetworkError);
  server.WaitForLateAnswer();
  EXPECT_EQ(cable.TakeTdo(cable.QueueRead(zeros, zeros)).LowBits(0, 8), 0x55u);
  cable.Close();
}

}  // namespace

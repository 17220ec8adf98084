// The chip model on the stand-in host's JTAG channel: the exact walks and
// shifts the MachXO2 driver sends (loading 0x70 before every row, the
// feature row shifted from DRPAUSE, the status and user-code reads), and
// several chips on one chain.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/JTagPort.h"
#include "host/cables/SimCable.h"
#include "sim/GenericTapDevice.h"
#include "sim/MachXO2Device.h"
#include "tests/unit/sim/DriverWalks.h"

namespace {

using sim::MachXO2Device;
using simtest::DriverWalks;

struct Chain {
  explicit Chain(std::vector<std::shared_ptr<sim::ChainDevice>> devices,
                 const host::ChainDescription& description) {
    cable = std::make_shared<host::SimCable>(std::move(devices));
    port = host::JTagPort::Create("sim", cable, description);
  }
  host::JTagChannel& Channel() { return *port->Channel(); }
  std::shared_ptr<host::SimCable> cable;
  host::ComPtr<host::JTagPort> port;
};

host::ChainDeviceSpec Chip(const std::string& name, size_t irLength, uint32_t idCode) {
  host::ChainDeviceSpec chip;
  chip.name = name;
  chip.irLength = irLength;
  chip.idCode = idCode;
  return chip;
}

std::string Reversed(std::string text) { return std::string(text.rbegin(), text.rend()); }

// JEDEC rows as the file has them: the first character goes first.
std::vector<std::string> JedecRows() {
  std::vector<std::string> rows;
  for (int r = 0; r < 5; ++r) {
    std::string row(128, '0');
    row[0] = '1';  // the first character of every row
    row[static_cast<size_t>(r * 25 + 3)] = '1';
    rows.push_back(row);
  }
  return rows;
}

TEST(MachXO2DeviceDriverSequence, ProgramLeavesTheJedecRowsInPageOrder) {
  auto chip = MachXO2Device::ForPart("LCMXO2-1200HC");
  Chain chain({chip}, {Chip("mxo2", 8, 0x012BA043)});
  DriverWalks driver(chain.Channel(), 0);
  const std::vector<std::string> rows = JedecRows();
  std::vector<std::string> driverRows;
  for (const std::string& row : rows) driverRows.push_back(Reversed(row));
  std::string featureLine(64, '0');
  featureLine[1] = '1';

  EXPECT_EQ(driver.DeviceState(), 1);
  driver.Program(driverRows, Reversed(featureLine));
  for (size_t i = 0; i < rows.size(); ++i)
    EXPECT_EQ(sim::BitText(chip->Flash().configuration[i].data(), 128), rows[i]) << "row " << i;
  EXPECT_TRUE(sim::IsErased(chip->Flash().configuration[rows.size()]));
  EXPECT_EQ(sim::BitText(chip->Flash().featureRow.data(), 64), featureLine);
  EXPECT_TRUE(chip->Flash().done);
  EXPECT_FALSE(chip->Failed());
  EXPECT_EQ(driver.DeviceState(), 2);
  EXPECT_EQ(driver.ReadUserCode(), 0u);

  driver.Erase();
  EXPECT_EQ(driver.DeviceState(), 1);
  EXPECT_TRUE(sim::IsErased(chip->Flash().configuration[0]));
}

TEST(MachXO2DeviceDriverSequence, ReadUserCodeReturnsTheProgrammedCode) {
  auto chip = MachXO2Device::ForPart("LCMXO2-256ZE");
  sim::MachXO2Flash flash = chip->Flash();
  flash.userCode = 0x12345678;
  chip->LoadFlash(flash);
  Chain chain({chip}, {Chip("mxo2", 8, 0x012B0043)});
  EXPECT_EQ(DriverWalks(chain.Channel(), 0).ReadUserCode(), 0x12345678u);
}

// Two MachXO2 models around a generic chip with another IR length: each is
// identified and programmed through its own chain index while the others
// sit in BYPASS.
TEST(SimChain, ThreeChipsAnswerByIndexAndOnlyTheAddressedOneIsProgrammed) {
  auto first = MachXO2Device::ForPart("LCMXO2-1200HC");
  auto generic = std::make_shared<sim::GenericTapDevice>(
      sim::GenericTapConfig{.irLength = 5, .idCode = 0x0F00D0E1, .idCodeOpcode = 0x03});
  auto last = MachXO2Device::ForPart("LCMXO2-7000ZE");
  Chain chain({first, generic, last}, {Chip("a", 8, 0x012BA043), Chip("g", 5, 0x0F00D0E1),
                                       Chip("b", 8, 0x012B5043)});
  host::JTagChannel& channel = chain.Channel();
  channel.Reset();
  channel.GotoState(2);
  const uint32_t expected[] = {0x012BA043, 0x0F00D0E1, 0x012B5043};
  const uint32_t idCodeOpcode[] = {0xE0, 0x03, 0xE0};
  for (int32_t i = 0; i < 3; ++i) {
    channel.ScanIR(idCodeOpcode[i], i);
    EXPECT_EQ(channel.ScanDR(0, 32, i), expected[i]) << i;
  }

  std::string featureLine(64, '0');
  DriverWalks(channel, 2).Program({Reversed(JedecRows()[3])}, featureLine);
  EXPECT_EQ(sim::BitText(last->Flash().configuration[0].data(), 128), JedecRows()[3]);
  EXPECT_TRUE(last->Flash().done);
  EXPECT_TRUE(sim::IsErased(first->Flash().configuration[0]));
  EXPECT_FALSE(first->Flash().done);
  EXPECT_EQ(DriverWalks(channel, 0).DeviceState(), 1);
  EXPECT_EQ(DriverWalks(channel, 2).DeviceState(), 2);
}

}  // namespace

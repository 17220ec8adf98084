// Processor register transfers of the driver framework, recorded at the
// channel: the address scan, then the data scan, in the channel's TAP codes.
#include <gtest/gtest.h>

#include "plugin/TalvoDriver.h"
#include "tests/support/FakeChain.h"

namespace {

// A framework driver for a chip with two 16-bit registers.
class TwoRegisterDriver : public plugin::TTalvoDriver {
 public:
  TwoRegisterDriver() : plugin::TTalvoDriver(".EDN") {}
  int32_t GetProcessorRegisterCount() override { return 2; }
  uint32_t GetProcessorRegisterWidth(int32_t) override { return 16; }
};

struct Bound {
  TwoRegisterDriver driver;
  host::ComPtr<boundary::FakeChainDevice> device =
      host::MakeHostObject<boundary::FakeChainDevice>("core", 1);
  Bound() { driver.SetTalvoDevice(device->AsDispatch()); }
};

TEST(RegisterTransfer, PlainReadAndWrite) {
  Bound chain;
  chain.device->Channel().captureValue = 0x1234;
  EXPECT_EQ(chain.driver.GetProcessorRegisterValue(1), 0x1234u);
  EXPECT_TRUE(chain.driver.SetProcessorRegisterValue(0, 0xBEEF));
  const std::vector<std::string> expected = {
      // read of register 1: address byte 0x02
      "ScanIR 3 1", "MoveState 2 5", "ShiftDRValue 2 8 1", "MoveState 6 2", "ScanIR 4 1",
      "MoveState 2 5", "ShiftDRCapture 0 16 1", "MoveState 6 2",
      // write of register 0: address byte 0x01 with bit 7 set
      "ScanIR 3 1", "MoveState 2 5", "ShiftDRValue 129 8 1", "MoveState 6 2", "ScanIR 4 1",
      "MoveState 2 5", "ShiftDRCapture 48879 16 1", "MoveState 6 2"};
  EXPECT_EQ(chain.device->log, expected);
}

TEST(RegisterTransfer, WideValuesAreCutAndPaddedToTheWidth) {
  struct Case {
    std::string value, shifted;
  };
  const Case cases[] = {
      {"101", "0000000000000101"},
      {"11110000111100001111", "0000111100001111"},
      {"", "0000000000000000"},
  };
  for (const Case& c : cases) {
    Bound chain;
    chain.device->Channel().captureBits = "1010";
    EXPECT_TRUE(chain.driver.SetProcessorRegisterWideValue(0, c.value));
    EXPECT_EQ(chain.device->log[6], "ShiftDRBitsCapture " + c.shifted + " 1") << c.value;
  }
  Bound chain;
  chain.device->Channel().captureBits = "1010";
  EXPECT_EQ(chain.driver.GetProcessorRegisterWideValue(1), "1010");
}

TEST(RegisterTransfer, InvalidIndexOrNoChannelLeavesTheChainAlone) {
  Bound chain;
  EXPECT_EQ(chain.driver.GetProcessorRegisterValue(2), 0u);
  EXPECT_EQ(chain.driver.GetProcessorRegisterValue(-1), 0u);
  EXPECT_FALSE(chain.driver.SetProcessorRegisterValue(2, 1));
  EXPECT_EQ(chain.driver.GetProcessorRegisterWideValue(5), "0");
  EXPECT_TRUE(chain.device->log.empty());

  TwoRegisterDriver unbound;
  EXPECT_EQ(unbound.GetProcessorRegisterValue(0), 0u);
  EXPECT_TRUE(unbound.SetProcessorRegisterValue(0, 1));
  EXPECT_EQ(unbound.GetProcessorRegisterWideValue(0), "0");
}

}  // namespace

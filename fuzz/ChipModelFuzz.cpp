// Any JTAG traffic into the MachXO2 chip model, as a network client may
// send it: the model must neither crash nor read or write outside its
// registers and flash, and whatever it was made to do, five clocks with TMS
// high must bring back Test-Logic-Reset with IDCODE selected.
//
// Random TMS alone rarely leaves the TAP in a shift state for long, so the
// input is read as a small script of scans that reach every instruction and
// every data register, with raw clocks in between:
//   byte 0          the part (one of every density, HC and ZE)
//   then commands   0: IR scan of the next byte
//                   1: DR scan, length from the next two bytes (at most
//                      4096), data from the bytes after (zeros when short)
//                   2: raw clocks, TMS and TDI from the next byte's bit
//                      pairs (four cycles)
//                   3: idle for the next byte's count of cycles
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "sim/MachXO2Device.h"
#include "sim/PackedBits.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

constexpr std::array kParts = {"LCMXO2-256HC",  "LCMXO2-640ZE",  "LCMXO2-1200HC",
                               "LCMXO2-2000ZE", "LCMXO2-4000HC", "LCMXO2-7000ZE"};
constexpr size_t kMaxScanBits = 4096;

class Driver {
 public:
  explicit Driver(sim::MachXO2Device& chip) : chip_(chip) {}

  void Clocks(const std::vector<bool>& tms, const std::vector<bool>& tdi) {
    std::vector<uint8_t> tmsBytes(sim::PackedBytes(tms.size())), tdiBytes(tmsBytes.size()),
        tdoBytes(tmsBytes.size());
    for (size_t i = 0; i < tms.size(); ++i) {
      sim::SetPackedBit(tmsBytes.data(), i, tms[i]);
      sim::SetPackedBit(tdiBytes.data(), i, tdi[i]);
    }
    if (!tms.empty()) chip_.Clock(tmsBytes.data(), tdiBytes.data(), tdoBytes.data(), tms.size());
    lastTdo_ = tdoBytes;
  }

  // From Run-Test/Idle through a shift of `bits` back to Run-Test/Idle.
  void Scan(bool instruction, const std::vector<bool>& bits) {
    std::vector<bool> tms = instruction ? std::vector<bool>{1, 1, 0, 0} : std::vector<bool>{1, 0, 0};
    std::vector<bool> tdi(tms.size(), false);
    for (size_t i = 0; i < bits.size(); ++i) {
      tms.push_back(i + 1 == bits.size());
      tdi.push_back(bits[i]);
    }
    for (bool level : {true, false}) {  // Update, then Idle
      tms.push_back(level);
      tdi.push_back(false);
    }
    Clocks(tms, tdi);
  }

  void ResetToIdle() { Clocks({1, 1, 1, 1, 1, 0}, std::vector<bool>(6, false)); }

  uint32_t ReadIdCodeAfterReset() {
    Clocks({1, 1, 1, 1, 1, 0, 1, 0, 0}, std::vector<bool>(9, false));  // to Shift-DR
    std::vector<bool> tms(32, false), tdi(32, false);
    tms.back() = true;
    Clocks(tms, tdi);
    uint32_t code = 0;
    for (size_t i = 0; i < 32; ++i)
      if (sim::GetPackedBit(lastTdo_.data(), i)) code |= 1u << i;
    return code;
  }

 private:
  sim::MachXO2Device& chip_;
  std::vector<uint8_t> lastTdo_;
};

class Input {
 public:
  Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool Empty() const { return at_ >= size_; }
  uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};

std::vector<bool> Bits(Input& input, size_t count) {
  std::vector<bool> bits(count);
  uint8_t byte = 0;
  for (size_t i = 0; i < count; ++i) {
    if (i % 8 == 0) byte = input.Byte();
    bits[i] = (byte >> (i % 8)) & 1;
  }
  return bits;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Input input(data, size);
  auto chip = sim::MachXO2Device::ForPart(kParts[input.Byte() % kParts.size()]);
  Driver driver(*chip);
  driver.ResetToIdle();
  while (!input.Empty()) {
    switch (input.Byte() % 4) {
      case 0: driver.Scan(true, Bits(input, 8)); break;
      case 1: {
        const size_t length = (input.Byte() | (input.Byte() << 8)) % (kMaxScanBits + 1);
        driver.Scan(false, Bits(input, length));
        break;
      }
      case 2: {
        const uint8_t pairs = input.Byte();
        std::vector<bool> tms, tdi;
        for (int i = 0; i < 4; ++i) {
          tms.push_back((pairs >> (2 * i)) & 1);
          tdi.push_back((pairs >> (2 * i + 1)) & 1);
        }
        driver.Clocks(tms, tdi);
        break;
      }
      default: {
        const size_t cycles = input.Byte();
        driver.Clocks(std::vector<bool>(cycles, false), std::vector<bool>(cycles, false));
        break;
      }
    }
  }
  Require(driver.ReadIdCodeAfterReset() == chip->Part().idCode);
  return 0;
}

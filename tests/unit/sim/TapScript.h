// Drives one chain device through whole IR and DR scans, each sent as a
// single batch of TCK cycles, so tests speak in instructions and registers
// rather than TMS bits. Bit strings are '0'/'1' text with the first bit on
// the wire first (the order the chip model keeps its flash in).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sim/ChainDevice.h"

namespace simtest {

class TapScript {
 public:
  explicit TapScript(sim::ChainDevice& device) : device_(device) {}

  // Test-Logic-Reset, then Run-Test/Idle.
  void Reset() { Run({1, 1, 1, 1, 1, 0}, {}); }

  // Idle -> IR scan of `opcode` (8 bits) -> Idle; returns what the IR captured.
  uint32_t ScanIR(uint8_t opcode) {
    std::string bits;
    for (int i = 0; i < 8; ++i) bits += ((opcode >> i) & 1) ? '1' : '0';
    return ValueOf(Scan(true, bits));
  }

  // Idle -> DR scan of `bits` -> Idle; returns the bits shifted out.
  std::string ScanDR(const std::string& bits) { return Scan(false, bits); }

  // Idle -> DR scan of the `length` low bits of `value` -> Idle.
  uint64_t ScanDRValue(uint64_t value, size_t length) {
    std::string bits;
    for (size_t i = 0; i < length; ++i) bits += ((value >> i) & 1) ? '1' : '0';
    return ValueOf(ScanDR(bits));
  }

  // IR scan of `opcode`, then an 8-bit DR scan of `operand`.
  void Command(uint8_t opcode, int operand = -1) {
    ScanIR(opcode);
    if (operand >= 0) ScanDRValue(static_cast<uint64_t>(operand), 8);
  }

  static uint64_t ValueOf(const std::string& bits) {
    uint64_t value = 0;
    for (size_t i = 0; i < bits.size() && i < 64; ++i)
      if (bits[i] == '1') value |= uint64_t{1} << i;
    return value;
  }

 private:
  // From Idle: Select-DR (, Select-IR), Capture, Shift..., Exit1, Update, Idle.
  std::string Scan(bool ir, const std::string& bits) {
    std::vector<int> tms = ir ? std::vector<int>{1, 1, 0, 0} : std::vector<int>{1, 0, 0};
    std::vector<int> tdi(tms.size(), 0);
    const size_t first = tms.size();
    for (size_t i = 0; i < bits.size(); ++i) {
      tms.push_back(i + 1 == bits.size() ? 1 : 0);
      tdi.push_back(bits[i] == '1' ? 1 : 0);
    }
    tms.insert(tms.end(), {1, 0});
    tdi.insert(tdi.end(), {0, 0});
    const std::vector<int> tdo = Run(tms, tdi);
    std::string out;
    for (size_t i = 0; i < bits.size(); ++i) out += tdo[first + i] ? '1' : '0';
    return out;
  }

  std::vector<int> Run(const std::vector<int>& tms, std::vector<int> tdi) {
    tdi.resize(tms.size(), 0);
    std::vector<uint8_t> tmsBytes((tms.size() + 7) / 8), tdiBytes(tmsBytes.size()),
        tdoBytes(tmsBytes.size());
    for (size_t i = 0; i < tms.size(); ++i) {
      sim::SetPackedBit(tmsBytes.data(), i, tms[i] != 0);
      sim::SetPackedBit(tdiBytes.data(), i, tdi[i] != 0);
    }
    device_.Clock(tmsBytes.data(), tdiBytes.data(), tdoBytes.data(), tms.size());
    std::vector<int> tdo(tms.size());
    for (size_t i = 0; i < tms.size(); ++i) tdo[i] = sim::GetPackedBit(tdoBytes.data(), i);
    return tdo;
  }

  sim::ChainDevice& device_;
};

}  // namespace simtest

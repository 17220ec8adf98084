// A minimal 1149.1 chip: an instruction register of any length that
// captures ...01, BYPASS (all ones, and every opcode it does not know), an
// optional IDCODE register selected by Test-Logic-Reset, and an optional
// data register that reads back what was last written into it. Enough to
// test a chain and a master against before a real chip model exists.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "sim/ChainDevice.h"
#include "sim/ShiftRegister.h"
#include "sim/Tap.h"

namespace sim {

struct GenericTapConfig {
  size_t irLength = 4;  // 2..32
  // 0: the chip has no IDCODE register; Test-Logic-Reset then selects BYPASS.
  uint32_t idCode = 0;
  uint32_t idCodeOpcode = 0x1;
  // 0: no data register.
  size_t dataLength = 0;
  uint32_t dataOpcode = 0x2;
};

class GenericTapDevice : public ChainDevice {
 public:
  // Throws std::invalid_argument for an IR length or opcode that cannot work.
  explicit GenericTapDevice(const GenericTapConfig& config);

  void Clock(const uint8_t* tms, const uint8_t* tdi, uint8_t* tdo, size_t bits) override;

  TapState State() const { return tap_.State(); }
  // The instruction latched at the last Update-IR or Test-Logic-Reset.
  uint32_t Instruction() const { return instruction_; }
  // The data register's parallel value, bit 0 first (empty without one).
  const std::vector<uint8_t>& DataRegister() const { return data_; }
  void SetDataRegister(std::vector<uint8_t> bits);

 private:
  enum class Selected { kBypass, kIdCode, kData };

  bool Step(bool tms, bool tdi);
  void Latch(uint32_t instruction);
  void CaptureDR();
  void UpdateDR();

  GenericTapConfig config_;
  Tap tap_;
  ShiftRegister ir_;
  ShiftRegister dr_;
  uint32_t instruction_ = 0;
  Selected selected_ = Selected::kBypass;
  std::vector<uint8_t> data_;
};

}  // namespace sim

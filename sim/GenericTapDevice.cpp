#include "sim/GenericTapDevice.h"

#include <stdexcept>
#include <string>

namespace sim {

namespace {

// Bits 1..0 of every captured instruction register are 01.
constexpr uint64_t kIrCapturePattern = 0b01;

uint32_t AllOnes(size_t bits) {
  return bits >= 32 ? 0xFFFFFFFFu : static_cast<uint32_t>((uint64_t{1} << bits) - 1);
}

void CheckOpcode(const GenericTapConfig& config, uint32_t opcode, const char* name) {
  if (opcode > AllOnes(config.irLength) || opcode == AllOnes(config.irLength))
    throw std::invalid_argument(std::string(name) + " opcode " + std::to_string(opcode) +
                                " does not fit an IR of " + std::to_string(config.irLength) +
                                " bits beside BYPASS (all ones)");
}

}  // namespace

GenericTapDevice::GenericTapDevice(const GenericTapConfig& config) : config_(config) {
  if (config.irLength < 2 || config.irLength > 32)
    throw std::invalid_argument("IR length " + std::to_string(config.irLength) +
                                " is outside 2..32");
  if (config.idCode != 0) CheckOpcode(config, config.idCodeOpcode, "IDCODE");
  if (config.dataLength > 0) {
    CheckOpcode(config, config.dataOpcode, "data register");
    if (config.idCode != 0 && config.dataOpcode == config.idCodeOpcode)
      throw std::invalid_argument("the data register and IDCODE share opcode " +
                                  std::to_string(config.dataOpcode));
  }
  data_.assign(config.dataLength, 0);
  ir_.Capture(kIrCapturePattern, config.irLength);
  Latch(config.idCode != 0 ? config.idCodeOpcode : AllOnes(config.irLength));
}

void GenericTapDevice::SetDataRegister(std::vector<uint8_t> bits) {
  if (bits.size() != config_.dataLength)
    throw std::invalid_argument("data register value of " + std::to_string(bits.size()) +
                                " bits for a register of " + std::to_string(config_.dataLength));
  data_ = std::move(bits);
}

void GenericTapDevice::Clock(const uint8_t* tms, const uint8_t* tdi, uint8_t* tdo, size_t bits) {
  for (size_t i = 0; i < bits; ++i)
    SetPackedBit(tdo, i, Step(GetPackedBit(tms, i), GetPackedBit(tdi, i)));
}

bool GenericTapDevice::Step(bool tms, bool tdi) {
  bool tdoLevel = true;  // floating, pulled up
  switch (tap_.State()) {
    case TapState::kDRCapture: CaptureDR(); break;
    case TapState::kDRShift:
      tdoLevel = dr_.Out();
      dr_.Shift(tdi);
      break;
    case TapState::kIRCapture: ir_.Capture(kIrCapturePattern, config_.irLength); break;
    case TapState::kIRShift:
      tdoLevel = ir_.Out();
      ir_.Shift(tdi);
      break;
    default: break;
  }
  // Update and reset act on the falling edge in the state just entered.
  switch (tap_.Clock(tms)) {
    case TapState::kReset:
      Latch(config_.idCode != 0 ? config_.idCodeOpcode : AllOnes(config_.irLength));
      break;
    case TapState::kDRUpdate: UpdateDR(); break;
    case TapState::kIRUpdate: Latch(static_cast<uint32_t>(ir_.Low64())); break;
    default: break;
  }
  return tdoLevel;
}

void GenericTapDevice::Latch(uint32_t instruction) {
  instruction_ = instruction;
  if (config_.idCode != 0 && instruction == config_.idCodeOpcode)
    selected_ = Selected::kIdCode;
  else if (config_.dataLength > 0 && instruction == config_.dataOpcode)
    selected_ = Selected::kData;
  else
    selected_ = Selected::kBypass;
}

void GenericTapDevice::CaptureDR() {
  switch (selected_) {
    case Selected::kIdCode: dr_.Capture(config_.idCode, 32); return;
    case Selected::kData: dr_.Capture(data_); return;
    case Selected::kBypass: dr_.Capture(0, 1); return;
  }
}

void GenericTapDevice::UpdateDR() {
  if (selected_ == Selected::kData) data_ = dr_.Bits();
}

}  // namespace sim

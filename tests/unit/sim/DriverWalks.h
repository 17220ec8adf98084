// The MachXO2 driver's JTAG sequences, call for call on the stand-in
// host's channel: the fixed TMS walks, LoadInstruction, ShiftByte, and the
// program, erase, status and user-code sequences (without the driver's
// waits). Tests run them against the chip model to show that the model
// reads the driver's exact bit streams as the chip would.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "host/JTagChannel.h"

namespace simtest {

// The driver's building blocks, call for call.
class DriverWalks {
 public:
  DriverWalks(host::JTagChannel& channel, int32_t index) : channel_(channel), index_(index) {}

  void Tms(std::initializer_list<int> bits) {
    for (int bit : bits) channel_.ClockTms(bit != 0);
  }
  void IdleToIRPause() { Tms({1, 1, 0, 1, 0}); }
  void PauseToShift() { Tms({1, 0}); }
  void IRPauseToDRPause() { Tms({1, 1, 1, 0, 1, 0}); }
  void PauseToIdle() { Tms({1, 1, 0, 0, 0, 0, 0, 0}); }
  void IdleToDRPause() { Tms({1, 0, 1, 0}); }

  void LoadInstruction(uint8_t opcode) {
    PauseToShift();
    std::string bits;
    for (int i = 7; i >= 0; --i) bits += ((opcode >> i) & 1) ? '1' : '0';
    channel_.ShiftIRBits(bits, index_);
    Tms({0});
  }
  void ShiftByte(uint8_t value) {
    PauseToShift();
    channel_.ShiftDRCapture(value, 8, index_);
    Tms({0});
  }
  void Command(uint8_t opcode) {
    IdleToIRPause();
    LoadInstruction(opcode);
    PauseToIdle();
    channel_.Flush();
  }
  void CommandWithByte(uint8_t opcode, uint8_t value) {
    IdleToIRPause();
    LoadInstruction(opcode);
    IRPauseToDRPause();
    ShiftByte(value);
    PauseToIdle();
    channel_.Flush();
  }

  // Program, with `rows` in the driver's bit-string form (last character
  // shifted first).
  void Program(const std::vector<std::string>& rows, const std::string& featureBits) {
    channel_.Open();
    channel_.Reset();
    channel_.GotoState(2);
    Command(0x1C);
    CommandWithByte(0xC6, 0x00);
    CommandWithByte(0x0E, 0x01);
    Command(0xFF);
    CommandWithByte(0xC6, 0x08);
    CommandWithByte(0x46, 0x04);
    for (const std::string& row : rows) {
      IdleToIRPause();
      LoadInstruction(0x70);
      IRPauseToDRPause();
      PauseToShift();
      channel_.ShiftDRBits(row, index_);
      Tms({0});
      PauseToIdle();
      channel_.Flush();
    }
    CommandWithByte(0x46, 0x02);
    IdleToIRPause();
    LoadInstruction(0xE4);
    IRPauseToDRPause();
    channel_.ShiftDRBitsEx(featureBits, true);
    Tms({0});
    PauseToIdle();
    channel_.Flush();
    Command(0x5E);
    Command(0xFF);
    Command(0x26);
    Command(0xFF);
    channel_.Close();
  }

  void Erase() {
    channel_.Open();
    channel_.Reset();
    channel_.GotoState(2);
    Command(0x1C);
    CommandWithByte(0xC6, 0x00);
    CommandWithByte(0x0E, 0x01);
    Command(0xFF);
    CommandWithByte(0xC6, 0x08);
    CommandWithByte(0x0E, 0x0E);
    Command(0x26);
    Command(0xFF);
    channel_.Close();
  }

  // 1: not configured, 2: configured.
  int DeviceState() {
    channel_.Open();
    channel_.GotoState(2);
    channel_.GotoState(2);
    channel_.Flush();
    channel_.ScanIR(0x3C, index_);
    channel_.Flush();
    const uint32_t status = channel_.ScanDR(0xFFFFFFFF, 32, index_);
    channel_.ScanIR(0xFF, index_);
    channel_.Close();
    return (status & 0x100) ? 2 : 1;
  }

  uint32_t ReadUserCode() {
    channel_.Open();
    channel_.GotoState(2);
    IdleToIRPause();
    LoadInstruction(0xC0);
    PauseToIdle();
    IdleToDRPause();
    PauseToShift();
    const uint32_t code = channel_.ShiftDRCapture(0xFFFFFFFF, 32, index_);
    Tms({0});
    PauseToIdle();
    IdleToIRPause();
    LoadInstruction(0xFF);
    channel_.Close();
    return code;
  }

 private:
  host::JTagChannel& channel_;
  int32_t index_;
};

}  // namespace simtest

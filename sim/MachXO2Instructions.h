// The MachXO2 instruction set as the chip model decodes it: each 8-bit
// opcode, its name, the data register it selects and how the configuration
// engine treats it. Opcodes the table does not name select BYPASS.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace sim {

namespace mxo2op {
inline constexpr uint8_t kIscNoop = 0x30;
inline constexpr uint8_t kIdCode = 0xE0;
inline constexpr uint8_t kUserCode = 0xC0;
inline constexpr uint8_t kSamplePreload = 0x1C;
inline constexpr uint8_t kExtest = 0x15;
inline constexpr uint8_t kHighZ = 0x18;
inline constexpr uint8_t kClamp = 0x78;
inline constexpr uint8_t kBypass = 0xFF;
inline constexpr uint8_t kReadStatus = 0x3C;
inline constexpr uint8_t kCheckBusy = 0xF0;
inline constexpr uint8_t kIscEnable = 0xC6;
inline constexpr uint8_t kIscEnableX = 0x74;
inline constexpr uint8_t kIscDisable = 0x26;
inline constexpr uint8_t kIscErase = 0x0E;
inline constexpr uint8_t kInitAddress = 0x46;
inline constexpr uint8_t kInitAddressUfm = 0x47;
inline constexpr uint8_t kProgIncrNv = 0x70;
inline constexpr uint8_t kReadIncrNv = 0x73;
inline constexpr uint8_t kProgFeature = 0xE4;
inline constexpr uint8_t kReadFeature = 0xE7;
inline constexpr uint8_t kProgFeabits = 0xF8;
inline constexpr uint8_t kReadFeabits = 0xFB;
inline constexpr uint8_t kProgramUserCode = 0xC2;
inline constexpr uint8_t kProgramDone = 0x5E;
inline constexpr uint8_t kRefresh = 0x79;
inline constexpr uint8_t kProgramSecurity = 0xCE;
inline constexpr uint8_t kProgramSecPlus = 0xCF;
inline constexpr uint8_t kAddressShift = 0x42;
inline constexpr uint8_t kDataShift = 0x0A;
}  // namespace mxo2op

enum class MachXO2Register : uint8_t {
  kBypass,        // 1 bit, captures 0
  kIdCode,        // 32
  kUserCode,      // 32: the programmed user code
  kBoundary,      // the boundary register
  kStatus,        // 32: the status word
  kCheckBusy,     // 8: 0x80 while busy, else 0
  kOperand,       // 8: the operand of an ISC/LSC command, captures 0
  kPage,          // 128: one flash page
  kFeatureRow,    // 64
  kFeatureBits,   // 16
  kAddressShift,  // the ISC address register (address rows long), kept as written
  kDataShift,     // the ISC data register (data bits long), kept as written
};

struct MachXO2Instruction {
  uint8_t opcode;
  std::string_view name;
  MachXO2Register dataRegister;
  // Runs on the configuration engine: dropped while it is BUSY.
  bool usesEngine;
  // Acts only while configuration mode is enabled (ISC_ENABLE); outside it
  // the command does nothing and its reads capture zeros.
  bool needsConfigurationMode;
};

namespace detail {
using R = MachXO2Register;
inline constexpr std::array<MachXO2Instruction, 29> kMachXO2Instructions = {{
    {mxo2op::kIdCode, "IDCODE", R::kIdCode, false, false},
    {mxo2op::kUserCode, "USERCODE", R::kUserCode, false, false},
    {mxo2op::kSamplePreload, "SAMPLE/PRELOAD", R::kBoundary, false, false},
    {mxo2op::kExtest, "EXTEST", R::kBoundary, false, false},
    {mxo2op::kHighZ, "HIGHZ", R::kBypass, false, false},
    {mxo2op::kClamp, "CLAMP", R::kBypass, false, false},
    {mxo2op::kBypass, "BYPASS", R::kBypass, false, false},
    {mxo2op::kIscNoop, "ISC_NOOP", R::kBypass, false, false},
    {mxo2op::kReadStatus, "LSC_READ_STATUS", R::kStatus, false, false},
    {mxo2op::kCheckBusy, "LSC_CHECK_BUSY", R::kCheckBusy, false, false},
    {mxo2op::kIscEnable, "ISC_ENABLE", R::kOperand, true, false},
    {mxo2op::kIscEnableX, "ISC_ENABLE_X", R::kOperand, true, false},
    {mxo2op::kIscDisable, "ISC_DISABLE", R::kBypass, true, false},
    {mxo2op::kIscErase, "ISC_ERASE", R::kOperand, true, true},
    {mxo2op::kInitAddress, "LSC_INIT_ADDRESS", R::kOperand, true, true},
    {mxo2op::kInitAddressUfm, "LSC_INIT_ADDR_UFM", R::kBypass, true, true},
    {mxo2op::kProgIncrNv, "LSC_PROG_INCR_NV", R::kPage, true, true},
    {mxo2op::kReadIncrNv, "LSC_READ_INCR_NV", R::kPage, true, true},
    {mxo2op::kProgFeature, "LSC_PROG_FEATURE", R::kFeatureRow, true, true},
    {mxo2op::kReadFeature, "LSC_READ_FEATURE", R::kFeatureRow, true, true},
    {mxo2op::kProgFeabits, "LSC_PROG_FEABITS", R::kFeatureBits, true, true},
    {mxo2op::kReadFeabits, "LSC_READ_FEABITS", R::kFeatureBits, true, true},
    {mxo2op::kProgramUserCode, "ISC_PROGRAM_USERCODE", R::kUserCode, true, true},
    {mxo2op::kProgramDone, "ISC_PROGRAM_DONE", R::kBypass, true, true},
    {mxo2op::kRefresh, "LSC_REFRESH", R::kBypass, true, false},
    {mxo2op::kProgramSecurity, "ISC_PROGRAM_SECURITY", R::kBypass, true, true},
    {mxo2op::kProgramSecPlus, "LSC_PROGRAM_SECPLUS", R::kBypass, true, true},
    {mxo2op::kAddressShift, "ISC_ADDRESS_SHIFT", R::kAddressShift, true, true},
    {mxo2op::kDataShift, "ISC_DATA_SHIFT", R::kDataShift, true, true},
}};

inline constexpr MachXO2Instruction kUnknownInstruction = {0, "BYPASS (unassigned opcode)",
                                                           R::kBypass, false, false};

constexpr std::array<const MachXO2Instruction*, 256> BuildInstructionIndex() {
  std::array<const MachXO2Instruction*, 256> index{};
  for (auto& entry : index) entry = &kUnknownInstruction;
  for (const MachXO2Instruction& instruction : kMachXO2Instructions)
    index[instruction.opcode] = &instruction;
  return index;
}
inline constexpr std::array<const MachXO2Instruction*, 256> kInstructionIndex =
    BuildInstructionIndex();
}  // namespace detail

// The decoding of any opcode (unassigned ones select BYPASS).
constexpr const MachXO2Instruction& DecodeMachXO2Instruction(uint8_t opcode) {
  return *detail::kInstructionIndex[opcode];
}

}  // namespace sim

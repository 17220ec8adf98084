// The configuration sequences of a Lattice MachXO2 over the host's JTAG
// channel: program from a JEDEC file, erase, read the status word and read
// the user code. Every sequence is a fixed list of instructions and data
// scans, walked one TMS bit at a time, with fixed waits between the steps;
// nothing is polled or read back (the result of programming shows in the
// status word afterwards).
//
// Each sequence opens the channel and closes it again. When a step fails
// (a channel call, a JEDEC file that ends too early) the channel is closed
// and a progress frame begun here is ended before the error travels on,
// so a failed run leaves neither the cable open nor the status bar busy;
// what was shifted before the failure stays shifted.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "hostsdk/Progress.h"
#include "jtag/Clock.h"
#include "jtag/JTagChannel.h"
#include "jtag/JedecReader.h"
#include "jtag/LatticeGeometry.h"

namespace jtag {

// 8-bit instruction codes. Where the chip's boundary-scan description names
// one, the name is that; the others are the chip's configuration commands.
enum class TLatticeInstruction : uint8_t {
  SamplePreload = 0x1C,
  IscEnable = 0xC6,    // operand: 0x00 SRAM, 0x08 flash (offline)
  IscErase = 0x0E,     // operand: flags of the areas to erase
  Bypass = 0xFF,
  IscDisable = 0x26,
  IscProgramDone = 0x5E,
  UserCode = 0xC0,
  InitAddress = 0x46,  // operand: 0x04 configuration rows, 0x02 feature row
  ProgramRow = 0x70,   // data: one configuration row; advances the address
  ProgramFeature = 0xE4,
  ReadStatus = 0x3C,   // data: the 32-bit status word
};

// Status word bit 8: the chip is configured.
inline constexpr uint32_t kStatusConfigured = 0x100;

// The device state the status word reports.
enum TLatticeDeviceState : uint8_t {
  kDeviceStateUnknown = 0,  // no device or channel
  kDeviceStateNotConfigured = 1,
  kDeviceStateConfigured = 2,
};

// One instruction of a fixed sequence: loaded from IDLE back to IDLE, with
// an 8-bit data operand where it takes one, then an optional Flush and a
// fixed wait.
struct TCommandStep {
  TLatticeInstruction instruction;
  int16_t operand;  // kNoOperand: the instruction alone
  bool flush;
  uint16_t waitMilliseconds;
};

inline constexpr int16_t kNoOperand = -1;

// Programming, up to the first configuration row: SRAM mode, SRAM erase,
// offline flash mode, address at configuration row 0.
inline constexpr std::array<TCommandStep, 6> kProgramPrologue = {{
    {TLatticeInstruction::SamplePreload, kNoOperand, false, 1},
    {TLatticeInstruction::IscEnable, 0x00, true, 1},
    {TLatticeInstruction::IscErase, 0x01, true, 1000},
    {TLatticeInstruction::Bypass, kNoOperand, true, 1},
    {TLatticeInstruction::IscEnable, 0x08, true, 1},
    {TLatticeInstruction::InitAddress, 0x04, true, 100},
}};

// Between the configuration rows and the feature row.
inline constexpr std::array<TCommandStep, 1> kFeatureRowAddress = {{
    {TLatticeInstruction::InitAddress, 0x02, true, 1},
}};

// After the feature row: DONE, leave configuration mode.
inline constexpr std::array<TCommandStep, 4> kProgramEpilogue = {{
    {TLatticeInstruction::IscProgramDone, kNoOperand, true, 1},
    {TLatticeInstruction::Bypass, kNoOperand, true, 1},
    {TLatticeInstruction::IscDisable, kNoOperand, true, 1000},
    {TLatticeInstruction::Bypass, kNoOperand, true, 100},
}};

// Erasing SRAM, then configuration flash, feature row and user flash.
inline constexpr std::array<TCommandStep, 8> kEraseSequence = {{
    {TLatticeInstruction::SamplePreload, kNoOperand, false, 1},
    {TLatticeInstruction::IscEnable, 0x00, true, 1},
    {TLatticeInstruction::IscErase, 0x01, true, 1000},
    {TLatticeInstruction::Bypass, kNoOperand, true, 1},
    {TLatticeInstruction::IscEnable, 0x08, true, 1},
    {TLatticeInstruction::IscErase, 0x0E, true, 10},
    {TLatticeInstruction::IscDisable, kNoOperand, true, 1000},
    {TLatticeInstruction::Bypass, kNoOperand, true, 100},
}};

// Fixed waits around the sequences.
inline constexpr uint32_t kWaitAfterRowMilliseconds = 1;
inline constexpr uint32_t kWaitAfterFeatureRowMilliseconds = 1;

inline constexpr char kProgrammingCaption[] = "Programming Device Via JTag...";
inline constexpr char kErasingCaption[] = "Erasing Flash Device Via JTag...";
inline constexpr int32_t kErasingProgressTotal = 90;

// The sequences for one chip: its channel and its position on the chain.
class TLatticeProgrammer {
 public:
  TLatticeProgrammer(TJTagChannel channel, int32_t chainIndex, TClock& clock);

  // Programs the rows of `file` (which must have some) and its feature row,
  // with progress over the file's lines; returns the configuration bit
  // count of `geometry`.
  int32_t Program(const TJedecFile& file, const TLatticeGeometry& geometry,
                  hostsdk::Progress& progress);
  // The erase sequence; with `progress`, inside a progress frame of its own.
  void Erase(hostsdk::Progress* progress);
  // Not configured or configured, from bit 8 of the status word.
  TLatticeDeviceState ReadStatus();
  uint32_t ReadUserCode();

 private:
  template <size_t N>
  void Walk(const std::array<bool, N>& tmsBits);
  template <size_t N>
  void Run(const std::array<TCommandStep, N>& steps);
  void Run(const TCommandStep& step);
  void LoadInstruction(TLatticeInstruction instruction);
  void ShiftByte(uint8_t value);
  void Command(TLatticeInstruction instruction);
  void CommandWithByte(TLatticeInstruction instruction, uint8_t value);
  void ProgramRow(const std::string& rowBits);
  void ProgramFeatureRow(const std::string& featureBits);

  TJTagChannel channel_;
  int32_t chainIndex_;
  TClock& clock_;
};

// An instruction code as the channel takes it: 8 characters in base 2,
// most significant bit first (0x1C gives "00011100").
std::string InstructionBits(uint8_t opcode);

}  // namespace jtag

// A Lattice MachXO2 on a simulated JTAG chain: the TAP, the 8-bit
// instruction register, the data registers and the configuration engine
// with its flash, as a programmer sees them.
//
// How the model behaves where a programmer cannot see the silicon (each
// choice is also noted where it is made):
// - Instruction register: captures 00000001. Test-Logic-Reset selects
//   IDCODE and leaves configuration mode as it was (only ISC_DISABLE and
//   LSC_REFRESH leave it).
// - Commands without data (ISC_DISABLE, ISC_PROGRAM_DONE, LSC_REFRESH,
//   LSC_INIT_ADDRESS, LSC_INIT_ADDR_UFM, the security bits) act at
//   Update-IR. Commands with data act at Update-DR with the bits shifted in:
//   the operand of ISC_ENABLE, ISC_ERASE and LSC_INIT_ADDRESS (8 bits; a
//   longer scan leaves its last 8 bits), a 128-bit page, the 64-bit feature
//   row, the 16 feature bits, the 32-bit user code. Reads load their
//   register at Capture-DR; LSC_READ_INCR_NV advances the address there.
// - LSC_INIT_ADDRESS addresses configuration page 0 as soon as it is
//   loaded; an operand with the user-flash flag (0x08) then moves the
//   address to user-flash page 0, any other operand (0x04 before the
//   configuration rows, 0x02 before the feature row) leaves it there.
// - ISC_ENABLE (0xC6) and ISC_ENABLE_X (0x74) enter configuration mode at
//   Update-IR and clear FAIL; the operand (0x08 flash, 0x00 SRAM) is kept
//   for inspection but changes nothing in the model. ISC_DISABLE from
//   ISC_ENABLE's offline mode makes the chip configure itself from flash: it
//   is configured afterwards exactly when DONE is programmed. From
//   transparent mode (ISC_ENABLE_X) the running design stays as it was.
//   LSC_REFRESH leaves configuration mode and configures from flash like
//   ISC_DISABLE from offline mode.
// - Flash commands (erase, program, read, address) act only in
//   configuration mode; outside it they do nothing and reads capture zeros.
// - Programming follows MachXO2Flash: erased is 0, programming ORs, and a
//   program that leaves a bit the data does not have sets FAIL. A page past
//   the end of the addressed array sets FAIL and is dropped.
// - ISC_ERASE 0x01 erases the SRAM: the chip is unconfigured until it
//   configures from flash again. Erasing the configuration flash clears the
//   user code, DONE and the security bits with it.
// - With the security bit programmed, configuration pages read as zeros.
// - BUSY: erase and program operations keep the engine busy for the
//   durations of a MachXO2Timing (zero by default), measured on an injected
//   clock. While busy, the configuration instructions other than the status
//   reads are ignored: loading one keeps the previous instruction, and
//   data-register updates of engine commands are dropped. The 1149.1
//   instructions (IDCODE, USERCODE, BYPASS, SAMPLE, EXTEST, HIGHZ, CLAMP)
//   stay available.
// - ISC_ADDRESS_SHIFT and ISC_DATA_SHIFT select registers as long as the
//   part's address rows and data bits that read back what was written.
//   Unassigned opcodes select BYPASS.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "sim/BoundaryRegister.h"
#include "sim/BusyTimer.h"
#include "sim/ChainDevice.h"
#include "sim/MachXO2Flash.h"
#include "sim/MachXO2Instructions.h"
#include "sim/MachXO2Parts.h"
#include "sim/MachXO2Timing.h"
#include "sim/PackedShiftRegister.h"
#include "sim/Tap.h"
#include "sim/TdoLevelSource.h"

namespace sim {

enum class ConfigurationMode : uint8_t {
  kNone,
  kOffline,      // ISC_ENABLE: the design is stopped while the flash is changed
  kTransparent,  // ISC_ENABLE_X: the design keeps running
};

// What the chip dropped or got wrong, for tests and the server's summary.
struct MachXO2Counters {
  uint64_t ignoredWhileBusy = 0;
  uint64_t ignoredOutsideConfigurationMode = 0;
  uint64_t programFailures = 0;  // programs that set FAIL
  uint64_t pagesProgrammed = 0;
};

class MachXO2Device : public ChainDevice, public TdoLevelSource {
 public:
  explicit MachXO2Device(MachXO2Part part, MachXO2Timing timing = MachXO2Timing::Instant(),
                         SimClock clock = SteadySimClock());

  // The model of the part named `partName` (a base or full part name);
  // throws std::invalid_argument for a name the model does not know.
  static std::shared_ptr<MachXO2Device> ForPart(std::string_view partName,
                                                MachXO2Timing timing = MachXO2Timing::Instant(),
                                                SimClock clock = SteadySimClock());

  void Clock(const uint8_t* tms, const uint8_t* tdi, uint8_t* tdo, size_t bits) override;
  bool TdoLevel() const override;

  const MachXO2Part& Part() const { return part_; }
  TapState State() const { return tap_.State(); }
  // The opcode in force (the last one loaded, or IDCODE after reset).
  uint8_t Instruction() const { return opcode_; }
  uint32_t StatusWord() const;
  bool IsBusy() const { return busy_.IsBusy(); }
  ConfigurationMode Mode() const { return mode_; }
  bool IsConfigured() const { return configured_; }
  bool Failed() const { return fail_; }
  FlashArea AddressedArea() const { return area_; }
  size_t AddressedPage() const { return page_; }
  // The operand of the last ISC_ENABLE or ISC_ENABLE_X.
  uint8_t EnableOperand() const { return enableOperand_; }
  const MachXO2Counters& Counters() const { return counters_; }

  const MachXO2Flash& Flash() const { return flash_; }
  // Puts `flash` (say, an image read from a file) into the chip and powers
  // it up with it. Throws std::invalid_argument when its page counts are
  // not this part's.
  void LoadFlash(MachXO2Flash flash);
  // Power off and on: the TAP resets, configuration mode ends, BUSY and
  // FAIL clear, and the chip configures from flash when DONE is programmed.
  void PowerCycle();

  BoundaryRegister& Boundary() { return boundary_; }
  const BoundaryRegister& Boundary() const { return boundary_; }

  // Receives one line per command the engine carries out or drops
  // ("LSC_PROG_INCR_NV configuration page 3", "ISC_DISABLE ignored: busy").
  void SetTrace(std::function<void(const std::string&)> trace) { trace_ = std::move(trace); }

 private:
  void Step(bool tms);
  void Select(const MachXO2Instruction& instruction, uint8_t opcode);
  void CaptureDR();
  void UpdateIR();
  void UpdateDR();
  void RunCommand(uint8_t opcode);
  void RunCommandWithData(uint8_t opcode);
  bool InConfigurationMode() const { return mode_ != ConfigurationMode::kNone; }
  bool Accepts(const MachXO2Instruction& instruction, const char* when);

  void Erase(uint8_t flags);
  void ProgramPage();
  void ProgramRow(uint8_t* cell, size_t bits, const char* what);
  void CapturePage();
  void ConfigureFromFlash();
  void Trace(const std::string& line) const {
    if (trace_) trace_(line);
  }

  MachXO2Part part_;
  MachXO2Timing timing_;
  Tap tap_;
  PackedShiftRegister ir_;
  PackedShiftRegister dr_;
  const MachXO2Instruction* instruction_;
  uint8_t opcode_ = mxo2op::kIdCode;
  BusyTimer busy_;
  MachXO2Flash flash_;
  BoundaryRegister boundary_;
  std::vector<uint8_t> boundaryScratch_;
  std::vector<uint8_t> addressShift_;  // ISC_ADDRESS_SHIFT contents, packed
  std::vector<uint8_t> dataShift_;     // ISC_DATA_SHIFT contents, packed
  ConfigurationMode mode_ = ConfigurationMode::kNone;
  bool configured_ = false;
  bool fail_ = false;
  uint8_t enableOperand_ = 0;
  FlashArea area_ = FlashArea::kConfiguration;
  size_t page_ = 0;
  MachXO2Counters counters_;
  std::function<void(const std::string&)> trace_;
};

}  // namespace sim

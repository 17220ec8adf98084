#include "sim/MachXO2Device.h"

#include <cstdio>
#include <stdexcept>

#include "sim/MachXO2Status.h"
#include "sim/PackedBits.h"

namespace sim {

namespace {

constexpr size_t kIrLength = 8;
// Bits 1..0 are the 01 every 1149.1 instruction register captures; the
// model captures the six bits above them as 0.
constexpr uint64_t kIrCapture = 0b00000001;
constexpr size_t kOperandBits = 8;
constexpr size_t kStatusBits = 32;
constexpr size_t kIdCodeBits = 32;
constexpr size_t kCheckBusyBits = 8;
constexpr uint8_t kCheckBusyWhileBusy = 0x80;

std::string Hex8(unsigned value) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%02X", value & 0xFF);
  return text;
}

std::string EraseAreas(uint8_t flags) {
  std::string areas;
  auto add = [&](uint8_t flag, const char* name) {
    if (!(flags & flag)) return;
    if (!areas.empty()) areas += ", ";
    areas += name;
  };
  add(kEraseSram, "SRAM");
  add(kEraseFeatureRow, "feature row");
  add(kEraseConfiguration, "configuration flash");
  add(kEraseUserFlash, "user flash");
  return areas.empty() ? "nothing" : areas;
}

const char* AreaName(FlashArea area) {
  return area == FlashArea::kConfiguration ? "configuration" : "user flash";
}

}  // namespace

MachXO2Device::MachXO2Device(MachXO2Part part, MachXO2Timing timing, SimClock clock)
    : part_(std::move(part)),
      timing_(timing),
      instruction_(&DecodeMachXO2Instruction(mxo2op::kIdCode)),
      busy_(std::move(clock)),
      boundary_(part_.die ? part_.die->boundaryLength : 1) {
  if (!part_.die) throw std::invalid_argument("a MachXO2 model needs the part's die");
  flash_ = MachXO2Flash::Erased(*part_.die);
  boundaryScratch_.assign(PackedBytes(part_.die->boundaryLength), 0);
  addressShift_.assign(PackedBytes(part_.die->addressRows), 0);
  dataShift_.assign(PackedBytes(part_.die->dataBits), 0);
  ir_.CaptureValue(kIrCapture, kIrLength);
  PowerCycle();
}

std::shared_ptr<MachXO2Device> MachXO2Device::ForPart(std::string_view partName,
                                                      MachXO2Timing timing, SimClock clock) {
  return std::make_shared<MachXO2Device>(RequireMachXO2Part(partName), timing, std::move(clock));
}

// ---- the TAP ----------------------------------------------------------------

void MachXO2Device::Clock(const uint8_t* tms, const uint8_t* tdi, uint8_t* tdo, size_t bits) {
  size_t i = 0;
  while (i < bits) {
    const TapState state = tap_.State();
    if (state == TapState::kDRShift || state == TapState::kIRShift) {
      // Every cycle up to and including the one with TMS high shifts.
      const size_t exit = FindBit(tms, i, bits, true);
      const size_t end = exit < bits ? exit + 1 : bits;
      (state == TapState::kDRShift ? dr_ : ir_).Shift(tdi, bits, i, tdo, i, end - i);
      if (exit < bits) tap_.Clock(true);  // to Exit1, which does nothing
      i = end;
      continue;
    }
    // States that hold while TMS keeps one level do nothing in the meantime.
    size_t hold = i;
    if (state == TapState::kIdle || state == TapState::kDRPause || state == TapState::kIRPause)
      hold = FindBit(tms, i, bits, true);
    else if (state == TapState::kReset)
      hold = FindBit(tms, i, bits, false);
    if (hold > i) {
      FillBits(tdo, i, hold - i, true);
      i = hold;
      continue;
    }
    // TDO floats (reads 1) outside the shift states.
    SetPackedBit(tdo, i, true);
    Step(GetPackedBit(tms, i));
    ++i;
  }
}

bool MachXO2Device::TdoLevel() const {
  if (tap_.State() == TapState::kDRShift) return dr_.Out();
  if (tap_.State() == TapState::kIRShift) return ir_.Out();
  return true;
}

void MachXO2Device::Step(bool tms) {
  // Capture happens on the rising edge that leaves the capture state;
  // update and reset on the falling edge in the state just entered.
  if (tap_.State() == TapState::kDRCapture) CaptureDR();
  if (tap_.State() == TapState::kIRCapture) ir_.CaptureValue(kIrCapture, kIrLength);
  switch (tap_.Clock(tms)) {
    case TapState::kReset:
      Select(DecodeMachXO2Instruction(mxo2op::kIdCode), mxo2op::kIdCode);
      break;
    case TapState::kDRUpdate: UpdateDR(); break;
    case TapState::kIRUpdate: UpdateIR(); break;
    default: break;
  }
}

void MachXO2Device::Select(const MachXO2Instruction& instruction, uint8_t opcode) {
  instruction_ = &instruction;
  opcode_ = opcode;
  boundary_.SetExtest(opcode == mxo2op::kExtest);
}

// ---- state ------------------------------------------------------------------

uint32_t MachXO2Device::StatusWord() const {
  uint32_t status = 0;
  if (InConfigurationMode() ? flash_.done : configured_) status |= mxo2status::kDone;
  if (InConfigurationMode()) status |= mxo2status::kConfigurationMode;
  if (busy_.IsBusy()) status |= mxo2status::kBusy;
  if (fail_) status |= mxo2status::kFail;
  return status;
}

void MachXO2Device::PowerCycle() {
  tap_.ForceReset();
  Select(DecodeMachXO2Instruction(mxo2op::kIdCode), mxo2op::kIdCode);
  mode_ = ConfigurationMode::kNone;
  busy_.Clear();
  fail_ = false;
  area_ = FlashArea::kConfiguration;
  page_ = 0;
  configured_ = flash_.done;
}

void MachXO2Device::LoadFlash(MachXO2Flash flash) {
  if (flash.configuration.size() != part_.die->configurationPages ||
      flash.userFlash.size() != part_.die->userFlashPages)
    throw std::invalid_argument(
        "flash of " + std::to_string(flash.configuration.size()) + " configuration and " +
        std::to_string(flash.userFlash.size()) + " user-flash pages for " + part_.baseName +
        ", which has " + std::to_string(part_.die->configurationPages) + " and " +
        std::to_string(part_.die->userFlashPages));
  flash_ = std::move(flash);
  PowerCycle();
}

void MachXO2Device::ConfigureFromFlash() { configured_ = flash_.done; }

// ---- capture ----------------------------------------------------------------

void MachXO2Device::CaptureDR() {
  const bool reads = InConfigurationMode();
  switch (instruction_->dataRegister) {
    case MachXO2Register::kBypass: dr_.CaptureValue(0, 1); return;
    case MachXO2Register::kIdCode: dr_.CaptureValue(part_.idCode, kIdCodeBits); return;
    case MachXO2Register::kUserCode: dr_.CaptureValue(flash_.userCode, kUserCodeBits); return;
    case MachXO2Register::kBoundary:
      boundary_.Capture(boundaryScratch_.data());
      dr_.Capture(boundaryScratch_.data(), boundary_.Length());
      return;
    case MachXO2Register::kStatus: dr_.CaptureValue(StatusWord(), kStatusBits); return;
    case MachXO2Register::kCheckBusy:
      dr_.CaptureValue(busy_.IsBusy() ? kCheckBusyWhileBusy : 0, kCheckBusyBits);
      return;
    case MachXO2Register::kOperand: dr_.CaptureValue(0, kOperandBits); return;
    case MachXO2Register::kPage:
      if (opcode_ == mxo2op::kReadIncrNv)
        CapturePage();
      else
        dr_.CaptureZeros(kFlashPageBits);
      return;
    case MachXO2Register::kFeatureRow:
      if (opcode_ == mxo2op::kReadFeature && reads)
        dr_.Capture(flash_.featureRow.data(), kFeatureRowBits);
      else
        dr_.CaptureZeros(kFeatureRowBits);
      return;
    case MachXO2Register::kFeatureBits:
      dr_.CaptureValue(opcode_ == mxo2op::kReadFeabits && reads ? flash_.featureBits : 0,
                       kFeatureBitsLength);
      return;
    case MachXO2Register::kAddressShift:
      dr_.Capture(addressShift_.data(), part_.die->addressRows);
      return;
    case MachXO2Register::kDataShift: dr_.Capture(dataShift_.data(), part_.die->dataBits); return;
  }
}

void MachXO2Device::CapturePage() {
  const std::vector<FlashPage>& pages = flash_.Pages(area_);
  const bool hidden = area_ == FlashArea::kConfiguration && flash_.security;
  if (!InConfigurationMode() || page_ >= pages.size() || hidden) {
    dr_.CaptureZeros(kFlashPageBits);
  } else {
    dr_.Capture(pages[page_].data(), kFlashPageBits);
  }
  if (InConfigurationMode()) ++page_;
}

// ---- update -----------------------------------------------------------------

bool MachXO2Device::Accepts(const MachXO2Instruction& instruction, const char* when) {
  if (instruction.usesEngine && busy_.IsBusy()) {
    ++counters_.ignoredWhileBusy;
    Trace(std::string(instruction.name) + " " + when + " ignored: busy");
    return false;
  }
  if (instruction.needsConfigurationMode && !InConfigurationMode()) {
    ++counters_.ignoredOutsideConfigurationMode;
    Trace(std::string(instruction.name) + " " + when + " ignored: not in configuration mode");
    return false;
  }
  return true;
}

void MachXO2Device::UpdateIR() {
  const uint8_t opcode = static_cast<uint8_t>(ir_.Low64() & 0xFF);
  const MachXO2Instruction& instruction = DecodeMachXO2Instruction(opcode);
  // A busy engine does not take a new configuration instruction at all:
  // the previous one stays in force.
  if (instruction.usesEngine && busy_.IsBusy()) {
    ++counters_.ignoredWhileBusy;
    Trace(std::string(instruction.name) + " ignored: busy");
    return;
  }
  Select(instruction, opcode);
  RunCommand(opcode);
}

void MachXO2Device::RunCommand(uint8_t opcode) {
  switch (opcode) {
    case mxo2op::kIscEnable:
    case mxo2op::kIscEnableX:
      mode_ = opcode == mxo2op::kIscEnable ? ConfigurationMode::kOffline
                                           : ConfigurationMode::kTransparent;
      fail_ = false;
      Trace(std::string(instruction_->name) + ": configuration mode");
      return;
    case mxo2op::kIscDisable:
      if (mode_ == ConfigurationMode::kOffline) ConfigureFromFlash();
      if (InConfigurationMode())
        Trace(std::string("ISC_DISABLE: ") + (configured_ ? "configured from flash" : "not configured"));
      mode_ = ConfigurationMode::kNone;
      return;
    case mxo2op::kRefresh:
      mode_ = ConfigurationMode::kNone;
      ConfigureFromFlash();
      busy_.Start(timing_.refresh);
      Trace(std::string("LSC_REFRESH: ") + (configured_ ? "configured from flash" : "not configured"));
      return;
    default: break;
  }
  if (!instruction_->needsConfigurationMode) return;
  switch (opcode) {
    case mxo2op::kInitAddress:
    case mxo2op::kInitAddressUfm:
      if (!Accepts(*instruction_, "load")) return;
      area_ = opcode == mxo2op::kInitAddress ? FlashArea::kConfiguration : FlashArea::kUserFlash;
      page_ = 0;
      Trace(std::string(instruction_->name) + ": " + AreaName(area_) + " page 0");
      return;
    case mxo2op::kProgramDone:
      if (!Accepts(*instruction_, "load")) return;
      flash_.done = true;
      busy_.Start(timing_.rowProgram);
      Trace("ISC_PROGRAM_DONE");
      return;
    case mxo2op::kProgramSecurity:
    case mxo2op::kProgramSecPlus:
      if (!Accepts(*instruction_, "load")) return;
      (opcode == mxo2op::kProgramSecurity ? flash_.security : flash_.securityPlus) = true;
      busy_.Start(timing_.rowProgram);
      Trace(std::string(instruction_->name));
      return;
    default: return;
  }
}

void MachXO2Device::UpdateDR() {
  switch (instruction_->dataRegister) {
    case MachXO2Register::kBoundary: {
      const std::vector<uint8_t> cells = dr_.Packed();
      boundary_.Update(cells.data());
      return;
    }
    case MachXO2Register::kAddressShift:
      if (Accepts(*instruction_, "update")) dr_.CopyTo(addressShift_.data(), 0);
      return;
    case MachXO2Register::kDataShift:
      if (Accepts(*instruction_, "update")) dr_.CopyTo(dataShift_.data(), 0);
      return;
    default: RunCommandWithData(opcode_); return;
  }
}

void MachXO2Device::RunCommandWithData(uint8_t opcode) {
  switch (opcode) {
    case mxo2op::kIscEnable:
    case mxo2op::kIscEnableX:
      if (!Accepts(*instruction_, "operand")) return;
      enableOperand_ = static_cast<uint8_t>(dr_.Low64());
      return;
    case mxo2op::kIscErase:
      if (!Accepts(*instruction_, "operand")) return;
      Erase(static_cast<uint8_t>(dr_.Low64()));
      return;
    case mxo2op::kInitAddress: {
      if (!Accepts(*instruction_, "operand")) return;
      const uint8_t operand = static_cast<uint8_t>(dr_.Low64());
      area_ = (operand & kEraseUserFlash) ? FlashArea::kUserFlash : FlashArea::kConfiguration;
      page_ = 0;
      Trace("LSC_INIT_ADDRESS operand " + Hex8(operand) + ": " + AreaName(area_) + " page 0");
      return;
    }
    case mxo2op::kProgIncrNv:
      if (Accepts(*instruction_, "update")) ProgramPage();
      return;
    case mxo2op::kProgFeature:
      if (Accepts(*instruction_, "update"))
        ProgramRow(flash_.featureRow.data(), kFeatureRowBits, "LSC_PROG_FEATURE");
      return;
    case mxo2op::kProgFeabits: {
      if (!Accepts(*instruction_, "update")) return;
      uint8_t cells[2] = {static_cast<uint8_t>(flash_.featureBits),
                          static_cast<uint8_t>(flash_.featureBits >> 8)};
      ProgramRow(cells, kFeatureBitsLength, "LSC_PROG_FEABITS");
      flash_.featureBits = static_cast<uint16_t>(cells[0] | (cells[1] << 8));
      return;
    }
    case mxo2op::kProgramUserCode: {
      if (!Accepts(*instruction_, "update")) return;
      uint8_t cells[4];
      for (int i = 0; i < 4; ++i) cells[i] = static_cast<uint8_t>(flash_.userCode >> (8 * i));
      ProgramRow(cells, kUserCodeBits, "ISC_PROGRAM_USERCODE");
      flash_.userCode = static_cast<uint32_t>(cells[0]) | (static_cast<uint32_t>(cells[1]) << 8) |
                        (static_cast<uint32_t>(cells[2]) << 16) |
                        (static_cast<uint32_t>(cells[3]) << 24);
      return;
    }
    default: return;
  }
}

void MachXO2Device::Erase(uint8_t flags) {
  flash_.Erase(flags);
  SimDuration duration{0};
  if (flags & kEraseSram) {
    configured_ = false;
    duration += timing_.sramErase;
  }
  if (flags & kEraseFeatureRow) duration += timing_.featureRowErase;
  if (flags & kEraseConfiguration) duration += timing_.configurationErase;
  if (flags & kEraseUserFlash) duration += timing_.userFlashErase;
  busy_.Start(duration);
  Trace("ISC_ERASE " + Hex8(flags) + ": " + EraseAreas(flags));
}

void MachXO2Device::ProgramPage() {
  std::vector<FlashPage>& pages = flash_.Pages(area_);
  if (page_ >= pages.size()) {
    fail_ = true;
    ++counters_.programFailures;
    Trace(std::string("LSC_PROG_INCR_NV ") + AreaName(area_) + " page " + std::to_string(page_) +
          " past the last page (" + std::to_string(pages.size()) + "): FAIL");
    ++page_;
    return;
  }
  FlashPage data{};
  dr_.CopyTo(data.data(), 0);
  const bool clean = ProgramCells(pages[page_].data(), data.data(), data.size());
  ++counters_.pagesProgrammed;
  if (!clean) {
    fail_ = true;
    ++counters_.programFailures;
  }
  Trace(std::string("LSC_PROG_INCR_NV ") + AreaName(area_) + " page " + std::to_string(page_) +
        (clean ? "" : ": not erased, FAIL"));
  ++page_;
  busy_.Start(timing_.pageProgram);
}

void MachXO2Device::ProgramRow(uint8_t* cell, size_t bits, const char* what) {
  std::vector<uint8_t> data(PackedBytes(bits), 0);
  dr_.CopyTo(data.data(), 0);
  const bool clean = ProgramCells(cell, data.data(), data.size());
  if (!clean) {
    fail_ = true;
    ++counters_.programFailures;
  }
  busy_.Start(timing_.rowProgram);
  Trace(std::string(what) + " " + BitText(data.data(), bits) + (clean ? "" : ": not erased, FAIL"));
}

}  // namespace sim

#include "jtag/LatticeProgrammer.h"

#include <utility>

#include "jtag/TapWalks.h"

namespace jtag {

namespace {

constexpr int32_t kAllOnes = static_cast<int32_t>(0xFFFFFFFFu);
constexpr int32_t kWordLength = 32;
constexpr int32_t kByteLength = 8;

// The channel opened for one sequence. Close() ends it normally (and a
// failing Close fails the operation); leaving the scope without Close(),
// that is by an error, closes it quietly, so the error that ended the
// sequence is the one the host sees.
class TChannelSession {
 public:
  explicit TChannelSession(TJTagChannel& channel) : channel_(channel) { channel_.Open(); }
  ~TChannelSession() {
    if (!open_) return;
    try {
      channel_.Close();
    } catch (...) {
    }
  }
  TChannelSession(const TChannelSession&) = delete;
  TChannelSession& operator=(const TChannelSession&) = delete;

  void Close() {
    open_ = false;
    channel_.Close();
  }

 private:
  TJTagChannel& channel_;
  bool open_ = true;
};

// A progress frame with the same rule: End() normally, quietly on an error.
class TProgressSession {
 public:
  TProgressSession(hostsdk::Progress* progress, const std::string& caption, int32_t total)
      : progress_(progress) {
    if (progress_) progress_->Begin(caption, total);
  }
  ~TProgressSession() {
    if (!progress_) return;
    try {
      progress_->End();
    } catch (...) {
    }
  }
  TProgressSession(const TProgressSession&) = delete;
  TProgressSession& operator=(const TProgressSession&) = delete;

  void Step() {
    if (progress_) progress_->Step();
  }
  void End() {
    if (!progress_) return;
    std::exchange(progress_, nullptr)->End();
  }

 private:
  hostsdk::Progress* progress_;
};

}  // namespace

std::string InstructionBits(uint8_t opcode) {
  std::string bits(8, '0');
  for (int bit = 0; bit < 8; ++bit)
    if (opcode & (0x80u >> bit)) bits[static_cast<size_t>(bit)] = '1';
  return bits;
}

TLatticeProgrammer::TLatticeProgrammer(TJTagChannel channel, int32_t chainIndex, TClock& clock)
    : channel_(std::move(channel)), chainIndex_(chainIndex), clock_(clock) {}

template <size_t N>
void TLatticeProgrammer::Walk(const std::array<bool, N>& tmsBits) {
  for (bool bit : tmsBits) channel_.ClockTms(bit);
}

// From IRPAUSE back to IRPAUSE.
void TLatticeProgrammer::LoadInstruction(TLatticeInstruction instruction) {
  Walk(tap::kPauseToShift);
  channel_.ShiftIRBits(InstructionBits(static_cast<uint8_t>(instruction)), chainIndex_);
  Walk(tap::kExitToPause);
}

// From DRPAUSE back to DRPAUSE; what the chip shifts out is not used.
void TLatticeProgrammer::ShiftByte(uint8_t value) {
  Walk(tap::kPauseToShift);
  channel_.ShiftDRCapture(value, kByteLength, chainIndex_);
  Walk(tap::kExitToPause);
}

void TLatticeProgrammer::Command(TLatticeInstruction instruction) {
  Walk(tap::kIdleToIRPause);
  LoadInstruction(instruction);
  Walk(tap::kPauseToIdle);
}

void TLatticeProgrammer::CommandWithByte(TLatticeInstruction instruction, uint8_t value) {
  Walk(tap::kIdleToIRPause);
  LoadInstruction(instruction);
  Walk(tap::kIRPauseToDRPause);
  ShiftByte(value);
  Walk(tap::kPauseToIdle);
}

void TLatticeProgrammer::Run(const TCommandStep& step) {
  if (step.operand == kNoOperand)
    Command(step.instruction);
  else
    CommandWithByte(step.instruction, static_cast<uint8_t>(step.operand));
  if (step.flush) channel_.Flush();
  clock_.Wait(step.waitMilliseconds);
}

template <size_t N>
void TLatticeProgrammer::Run(const std::array<TCommandStep, N>& steps) {
  for (const TCommandStep& step : steps) Run(step);
}

// The row instruction is loaded again for every row: each load programs
// one row at the current address and moves the address on.
void TLatticeProgrammer::ProgramRow(const std::string& rowBits) {
  Walk(tap::kIdleToIRPause);
  LoadInstruction(TLatticeInstruction::ProgramRow);
  Walk(tap::kIRPauseToDRPause);
  Walk(tap::kPauseToShift);
  channel_.ShiftDRBits(rowBits, chainIndex_);
  Walk(tap::kExitToPause);
  Walk(tap::kPauseToIdle);
  channel_.Flush();
  clock_.Wait(kWaitAfterRowMilliseconds);
}

// The channel's extended shift starts in DRPAUSE and leaves the TAP in
// DREXIT1, like a plain shift.
void TLatticeProgrammer::ProgramFeatureRow(const std::string& featureBits) {
  Walk(tap::kIdleToIRPause);
  LoadInstruction(TLatticeInstruction::ProgramFeature);
  Walk(tap::kIRPauseToDRPause);
  channel_.ShiftDRBitsEx(featureBits, true);
  Walk(tap::kExitToPause);
  Walk(tap::kPauseToIdle);
  channel_.Flush();
  clock_.Wait(kWaitAfterFeatureRowMilliseconds);
}

int32_t TLatticeProgrammer::Program(const TJedecFile& file, const TLatticeGeometry& geometry,
                                    hostsdk::Progress& progress) {
  TJedecRowWalk walk(file);
  TProgressSession frame(&progress, kProgrammingCaption, static_cast<int32_t>(file.LineCount()));
  TChannelSession session(channel_);
  channel_.Reset();
  channel_.GotoState(kTapIdle);
  Run(kProgramPrologue);
  for (;;) {
    const TJedecRowWalk::TStep step = walk.Next();
    if (step == TJedecRowWalk::TStep::EndOfRows) break;
    if (step == TJedecRowWalk::TStep::ShiftRow) ProgramRow(walk.RowBits());
    frame.Step();
  }
  Run(kFeatureRowAddress);
  ProgramFeatureRow(walk.FeatureBits());
  frame.Step();
  Run(kProgramEpilogue);
  session.Close();
  frame.End();
  return geometry.ConfigurationBits();
}

void TLatticeProgrammer::Erase(hostsdk::Progress* progress) {
  TProgressSession frame(progress, kErasingCaption, kErasingProgressTotal);
  TChannelSession session(channel_);
  channel_.Reset();
  channel_.GotoState(kTapIdle);
  Run(kEraseSequence);
  frame.End();
  session.Close();
}

TLatticeDeviceState TLatticeProgrammer::ReadStatus() {
  TChannelSession session(channel_);
  channel_.GotoState(kTapIdle);
  channel_.GotoState(kTapIdle);
  channel_.Flush();
  channel_.ScanIR(static_cast<uint8_t>(TLatticeInstruction::ReadStatus), chainIndex_);
  channel_.Flush();
  const auto status =
      static_cast<uint32_t>(channel_.ScanDR(kAllOnes, kWordLength, chainIndex_));
  channel_.ScanIR(static_cast<uint8_t>(TLatticeInstruction::Bypass), chainIndex_);
  session.Close();
  return (status & kStatusConfigured) ? kDeviceStateConfigured : kDeviceStateNotConfigured;
}

// The capture returns its value directly, so no Flush is needed; the TAP
// is left in IRPAUSE with BYPASS shifted in, and the next sequence starts
// by moving to IDLE.
uint32_t TLatticeProgrammer::ReadUserCode() {
  TChannelSession session(channel_);
  channel_.GotoState(kTapIdle);
  Walk(tap::kIdleToIRPause);
  LoadInstruction(TLatticeInstruction::UserCode);
  Walk(tap::kPauseToIdle);
  Walk(tap::kIdleToDRPause);
  Walk(tap::kPauseToShift);
  const auto userCode =
      static_cast<uint32_t>(channel_.ShiftDRCapture(kAllOnes, kWordLength, chainIndex_));
  Walk(tap::kExitToPause);
  Walk(tap::kPauseToIdle);
  Walk(tap::kIdleToIRPause);
  LoadInstruction(TLatticeInstruction::Bypass);
  session.Close();
  return userCode;
}

}  // namespace jtag

#include "host/JTagChannel.h"

#include <cstdio>
#include <stdexcept>

#include "host/TapPath.h"
#include "hostsdk/HostDispIds.h"

namespace host {

namespace id = hostsdk::dispid;
using sim::TapState;

namespace {

constexpr size_t kIdCodeLength = 32;
constexpr int32_t kMaxIntegerLength = 32;

std::string Hex(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%X", static_cast<unsigned>(value));
  return text;
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

std::string StateText(TapState state) {
  return std::string(sim::TapStateName(state)) + " (" +
         std::to_string(static_cast<int>(state)) + ")";
}

TapState StateFromCode(int32_t code, const char* operation) {
  if (!sim::IsValidTapCode(code))
    throw std::invalid_argument(std::string(operation) + ": " + std::to_string(code) +
                                " is not a TAP state code (0..16)");
  return static_cast<TapState>(code);
}

void CheckIntegerLength(int32_t length, const char* operation) {
  if (length < 1 || length > kMaxIntegerLength)
    throw std::invalid_argument(std::string(operation) + ": length " + std::to_string(length) +
                                " is outside 1.." + std::to_string(kMaxIntegerLength));
}

void CheckNotEmpty(const std::string& bits, const char* operation) {
  if (bits.empty()) throw std::invalid_argument(std::string(operation) + ": empty bit string");
}

// A dispatch integer as the 32 bits it carries: a caller may pass 0xFFFFFFFF
// as -1 (a 32-bit Integer) or as a wider unsigned value.
uint32_t Bits32(int64_t value, const char* what) {
  if (value < INT32_MIN || value > static_cast<int64_t>(UINT32_MAX))
    throw std::invalid_argument(std::string(what) + " " + std::to_string(value) +
                                " does not fit 32 bits");
  return static_cast<uint32_t>(value);
}

bool AllOnes(const BitVector& bits) {
  for (size_t i = 0; i < bits.Size(); ++i)
    if (!bits.Get(i)) return false;
  return true;
}

}  // namespace

BitVector BitsFromText(const std::string& text) {
  BitVector bits;
  bits.Resize(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[text.size() - 1 - i];
    if (c != '0' && c != '1')
      throw std::invalid_argument("bit string has '" + std::string(1, c) + "' at position " +
                                  std::to_string(text.size() - 1 - i) + "; only '0' and '1' are bits");
    if (c == '1') bits.Set(i, true);
  }
  return bits;
}

std::string TextFromBits(const BitVector& bits) {
  std::string text(bits.Size(), '0');
  for (size_t i = 0; i < bits.Size(); ++i)
    if (bits.Get(i)) text[bits.Size() - 1 - i] = '1';
  return text;
}

JTagChannel::JTagChannel(std::shared_ptr<Cable> cable, std::vector<ChannelLink> chain)
    : cable_(std::move(cable)), chain_(std::move(chain)) {
  if (!cable_) throw std::invalid_argument("a JTAG channel needs a cable");
  for (size_t i = 0; i < chain_.size(); ++i)
    if (chain_[i].irLength < 2 || chain_[i].irLength > 32)
      throw std::invalid_argument("chain index " + std::to_string(i) + " has IR length " +
                                  std::to_string(chain_[i].irLength) + " (2..32 allowed)");
  // Until the chain passes through Test-Logic-Reset nothing is known of it.
  tracking_.idleDrLength.assign(chain_.size(), 0);
  RegisterHandlers();
}

void JTagChannel::RegisterHandlers() {
  On(id::kChannel_Open, [this](const Args&) { return Variant::Bool(Open()); });
  On(id::kChannel_Close, [this](const Args&) { Close(); return Variant(); });
  On(id::kChannel_Reset, [this](const Args&) { Reset(); return Variant(); });
  On(id::kChannel_GotoState, [this](const Args& a) { GotoState(a.Int(0)); return Variant(); });
  On(id::kChannel_ClockTms, [this](const Args& a) { ClockTms(a.Bool(0)); return Variant(); });
  On(id::kChannel_ShiftIRBits, [this](const Args& a) {
    ShiftIRBits(a.String(0), a.Int(1));
    return Variant();
  });
  On(id::kChannel_ShiftDRBits, [this](const Args& a) {
    ShiftDRBits(a.String(0), a.Int(1));
    return Variant();
  });
  On(id::kChannel_ShiftDRBitsEx, [this](const Args& a) {
    ShiftDRBitsEx(a.String(0), a.Bool(1));
    return Variant();
  });
  On(id::kChannel_ShiftDRCapture, [this](const Args& a) {
    const uint32_t captured = ShiftDRCapture(Bits32(a.Int64(0), "value"), a.Int(1), a.Int(2));
    return Variant::Int(static_cast<int32_t>(captured));
  });
  On(id::kChannel_ScanIR, [this](const Args& a) {
    ScanIR(Bits32(a.Int64(0), "opcode"), a.Int(1));
    return Variant();
  });
  On(id::kChannel_ScanDR, [this](const Args& a) {
    const uint32_t captured = ScanDR(Bits32(a.Int64(0), "value"), a.Int(1), a.Int(2));
    return Variant::Int(static_cast<int32_t>(captured));
  });
  On(id::kChannel_Flush, [this](const Args&) { Flush(); return Variant(); });
  On(id::kChannel_GetPort, [this](const Args&) {
    Log("GetPort");
    return Variant::Dispatch(port_);
  });
  On(id::kChannel_MoveState, [this](const Args& a) {
    MoveState(a.Int(0), a.Int(1));
    return Variant();
  });
  On(id::kChannel_ShiftDRValue, [this](const Args& a) {
    ShiftDRValue(Bits32(a.Int64(0), "value"), a.Int(1), a.Int(2));
    return Variant();
  });
  On(id::kChannel_ShiftDRBitsCapture, [this](const Args& a) {
    return Variant::String(ShiftDRBitsCapture(a.String(0), a.Int(1)));
  });
  On(id::kChannel_GetDevice, [this](const Args& a) {
    const int32_t index = a.Int(0);
    Log("GetDevice(" + std::to_string(index) + ")");
    return Variant::Dispatch(GetDevice(index).Get());
  });
}

void JTagChannel::Log(std::string line) {
  if (logging_) callLog_.push_back(std::move(line));
}

// ---- queueing -------------------------------------------------------------

void JTagChannel::EnsureCableOpen() {
  if (!cable_->IsOpen()) cable_->Open();
}

void JTagChannel::GuardCable(const std::function<void()>& send) {
  try {
    send();
  } catch (...) {
    tracking_.state = TapState::kUndefined;
    tracking_.undefinedOnes = 0;
    throw;
  }
}

void JTagChannel::Run(const std::function<void(Cycles&)>& build) {
  const Tracking before = tracking_;
  Cycles cycles;
  try {
    build(cycles);
  } catch (...) {
    tracking_ = before;
    throw;
  }
  if (cycles.tms.Empty()) return;
  GuardCable([&] {
    EnsureCableOpen();
    cable_->Queue(cycles.tms, cycles.tdi);
  });
}

BitVector JTagChannel::RunAndRead(const std::function<void(Cycles&)>& build) {
  const Tracking before = tracking_;
  Cycles cycles;
  try {
    build(cycles);
  } catch (...) {
    tracking_ = before;
    throw;
  }
  BitVector tdo;
  GuardCable([&] {
    EnsureCableOpen();
    tdo = cable_->TakeTdo(cable_->QueueRead(cycles.tms, cycles.tdi));
  });
  return tdo;
}

// ---- TAP bookkeeping ------------------------------------------------------

void JTagChannel::EnterReset() {
  tracking_.state = TapState::kReset;
  tracking_.undefinedOnes = 0;
  for (size_t i = 0; i < chain_.size(); ++i)
    tracking_.idleDrLength[i] = chain_[i].idCode != 0 ? kIdCodeLength : 1;
}

// One cycle outside a shift: TDI low.
void JTagChannel::Clock(Cycles& cycles, bool tms) {
  cycles.tms.Append(tms);
  cycles.tdi.Append(false);
  if (tracking_.state == TapState::kUndefined) {
    tracking_.undefinedOnes = tms ? tracking_.undefinedOnes + 1 : 0;
    if (tracking_.undefinedOnes >= sim::kTapResetClocks) EnterReset();
    return;
  }
  tracking_.state = sim::NextTapState(tracking_.state, tms);
  if (tracking_.state == TapState::kReset) EnterReset();
}

void JTagChannel::ClockReset(Cycles& cycles) {
  for (int i = 0; i < sim::kTapResetClocks; ++i) Clock(cycles, true);
  EnterReset();
}

void JTagChannel::WalkTo(Cycles& cycles, TapState target) {
  if (target == TapState::kReset || tracking_.state == TapState::kUndefined) ClockReset(cycles);
  const TmsPath path = ShortestTmsPath(tracking_.state, target);
  for (int i = 0; i < path.length; ++i) Clock(cycles, (path.bits >> i) & 1);
}

void JTagChannel::RequireState(TapState expected, const char* operation) const {
  if (tracking_.state != expected)
    throw std::logic_error(std::string(operation) + " needs the TAP in " + StateText(expected) +
                           ", but it is in " + StateText(tracking_.state));
}

size_t JTagChannel::CheckIndex(int32_t chainIndex) const {
  if (chainIndex < 0 || static_cast<size_t>(chainIndex) >= chain_.size())
    throw std::out_of_range("chain index " + std::to_string(chainIndex) + " on a chain of " +
                            std::to_string(chain_.size()) + " device(s)");
  return static_cast<size_t>(chainIndex);
}

JTagChannel::Pads JTagChannel::PadsAround(size_t index, bool ir) const {
  // The first bits shifted travel furthest: the chips between `index` and
  // TDO get theirs first, the chips between TDI and `index` last.
  Pads pads;
  for (size_t i = 0; i < chain_.size(); ++i) {
    if (i == index) continue;
    const size_t length = ir ? chain_[i].irLength : tracking_.idleDrLength[i];
    if (length == 0)
      throw std::logic_error("chain index " + std::to_string(i) +
                             " holds an instruction whose data register length is unknown; load "
                             "BYPASS into it before addressing chain index " +
                             std::to_string(index));
    (i > index ? pads.towardTdo : pads.towardTdi) += length;
  }
  return pads;
}

size_t JTagChannel::AppendShift(Cycles& cycles, const BitVector& data, size_t index, bool ir) {
  const Pads pads = PadsAround(index, ir);
  // IR pads are BYPASS (all ones); DR pads shift zeros through the bypass bits.
  const size_t start = cycles.tms.Size();
  cycles.tdi.AppendRepeated(ir, pads.towardTdo);
  cycles.tdi.Append(data);
  cycles.tdi.AppendRepeated(ir, pads.towardTdi);
  const size_t total = pads.towardTdo + data.Size() + pads.towardTdi;
  cycles.tms.AppendRepeated(false, total - 1);
  cycles.tms.Append(true);
  tracking_.state = ir ? TapState::kIRExit1 : TapState::kDRExit1;
  return start + pads.towardTdo;
}

void JTagChannel::NoteInstruction(size_t index, const BitVector& data) {
  for (size_t i = 0; i < chain_.size(); ++i) tracking_.idleDrLength[i] = 1;
  // All ones is BYPASS on every chip; any other instruction's register
  // length is the chip's business.
  if (!AllOnes(data)) tracking_.idleDrLength[index] = 0;
  tracking_.lastIrIndex = index;
}

// ---- operations -------------------------------------------------------------

bool JTagChannel::Open() {
  Log("Open");
  try {
    EnsureCableOpen();
  } catch (const std::exception& e) {
    lastError_ = "cannot open " + cable_->Name() + ": " + e.what();
    return false;
  }
  ++openCount_;
  return true;
}

void JTagChannel::Close() {
  Log("Close");
  if (openCount_ > 0) --openCount_;
  GuardCable([&] {
    if (openCount_ > 0)
      cable_->Flush();
    else
      cable_->Close();  // sends what is queued first
  });
}

void JTagChannel::Reset() {
  Log("Reset");
  Run([&](Cycles& cycles) { ClockReset(cycles); });
}

void JTagChannel::GotoState(int32_t state) {
  Log("GotoState(" + std::to_string(state) + ")");
  const TapState target = StateFromCode(state, "GotoState");
  if (target == TapState::kUndefined)
    throw std::invalid_argument("GotoState: UNDEFINED (0) is not a state to go to");
  Run([&](Cycles& cycles) { WalkTo(cycles, target); });
}

void JTagChannel::ClockTms(bool tms) {
  Log(std::string("ClockTms(") + (tms ? "1" : "0") + ")");
  Run([&](Cycles& cycles) { Clock(cycles, tms); });
}

void JTagChannel::MoveState(int32_t from, int32_t to) {
  Log("MoveState(" + std::to_string(from) + ", " + std::to_string(to) + ")");
  const TapState fromState = StateFromCode(from, "MoveState");
  const TapState toState = StateFromCode(to, "MoveState");
  if (toState == TapState::kUndefined)
    throw std::invalid_argument("MoveState: UNDEFINED (0) is not a state to go to");
  if (tracking_.state != TapState::kUndefined && fromState != TapState::kUndefined &&
      fromState != tracking_.state)
    throw std::logic_error("MoveState from " + StateText(fromState) + ", but the TAP is in " +
                           StateText(tracking_.state));
  Run([&](Cycles& cycles) {
    // With the state unknown, the caller's word is the best there is.
    if (tracking_.state == TapState::kUndefined && fromState != TapState::kUndefined)
      tracking_.state = fromState;
    WalkTo(cycles, toState);
  });
}

void JTagChannel::ShiftIRBits(const std::string& bits, int32_t chainIndex) {
  Log("ShiftIRBits(" + Quoted(bits) + ", " + std::to_string(chainIndex) + ")");
  const size_t index = CheckIndex(chainIndex);
  RequireState(TapState::kIRShift, "ShiftIRBits");
  const BitVector data = BitsFromText(bits);
  if (data.Size() != chain_[index].irLength)
    throw std::invalid_argument("ShiftIRBits: " + std::to_string(data.Size()) +
                                " bits for chain index " + std::to_string(index) +
                                ", whose IR is " + std::to_string(chain_[index].irLength) + " bits");
  Run([&](Cycles& cycles) {
    AppendShift(cycles, data, index, true);
    NoteInstruction(index, data);
  });
}

void JTagChannel::ShiftDRBits(const std::string& bits, int32_t chainIndex) {
  Log("ShiftDRBits(" + Quoted(bits) + ", " + std::to_string(chainIndex) + ")");
  const size_t index = CheckIndex(chainIndex);
  RequireState(TapState::kDRShift, "ShiftDRBits");
  CheckNotEmpty(bits, "ShiftDRBits");
  const BitVector data = BitsFromText(bits);
  Run([&](Cycles& cycles) { AppendShift(cycles, data, index, false); });
}

void JTagChannel::ShiftDRBitsEx(const std::string& bits, bool fromPause) {
  Log("ShiftDRBitsEx(" + Quoted(bits) + (fromPause ? ", True)" : ", False)"));
  const size_t index = CheckIndex(static_cast<int32_t>(tracking_.lastIrIndex));
  RequireState(fromPause ? TapState::kDRPause : TapState::kDRShift, "ShiftDRBitsEx");
  CheckNotEmpty(bits, "ShiftDRBitsEx");
  const BitVector data = BitsFromText(bits);
  Run([&](Cycles& cycles) {
    if (fromPause) WalkTo(cycles, TapState::kDRShift);
    AppendShift(cycles, data, index, false);
  });
}

void JTagChannel::ShiftDRValue(uint32_t value, int32_t length, int32_t chainIndex) {
  Log("ShiftDRValue(" + Hex(value) + ", " + std::to_string(length) + ", " +
      std::to_string(chainIndex) + ")");
  const size_t index = CheckIndex(chainIndex);
  RequireState(TapState::kDRShift, "ShiftDRValue");
  CheckIntegerLength(length, "ShiftDRValue");
  BitVector data;
  data.AppendLowBits(value, static_cast<size_t>(length));
  Run([&](Cycles& cycles) { AppendShift(cycles, data, index, false); });
}

uint32_t JTagChannel::ShiftDRCapture(uint32_t value, int32_t length, int32_t chainIndex) {
  Log("ShiftDRCapture(" + Hex(value) + ", " + std::to_string(length) + ", " +
      std::to_string(chainIndex) + ")");
  const size_t index = CheckIndex(chainIndex);
  RequireState(TapState::kDRShift, "ShiftDRCapture");
  CheckIntegerLength(length, "ShiftDRCapture");
  BitVector data;
  data.AppendLowBits(value, static_cast<size_t>(length));
  size_t offset = 0;
  const BitVector tdo =
      RunAndRead([&](Cycles& cycles) { offset = AppendShift(cycles, data, index, false); });
  return static_cast<uint32_t>(tdo.LowBits(offset, data.Size()));
}

std::string JTagChannel::ShiftDRBitsCapture(const std::string& bits, int32_t chainIndex) {
  Log("ShiftDRBitsCapture(" + Quoted(bits) + ", " + std::to_string(chainIndex) + ")");
  const size_t index = CheckIndex(chainIndex);
  RequireState(TapState::kDRShift, "ShiftDRBitsCapture");
  CheckNotEmpty(bits, "ShiftDRBitsCapture");
  const BitVector data = BitsFromText(bits);
  size_t offset = 0;
  const BitVector tdo =
      RunAndRead([&](Cycles& cycles) { offset = AppendShift(cycles, data, index, false); });
  return TextFromBits(tdo.Slice(offset, data.Size()));
}

void JTagChannel::ScanIR(uint32_t opcode, int32_t chainIndex) {
  Log("ScanIR(" + Hex(opcode) + ", " + std::to_string(chainIndex) + ")");
  const size_t index = CheckIndex(chainIndex);
  const size_t irLength = chain_[index].irLength;
  if (irLength < 32 && (opcode >> irLength) != 0)
    throw std::invalid_argument("ScanIR: opcode " + Hex(opcode) + " does not fit the " +
                                std::to_string(irLength) + "-bit IR of chain index " +
                                std::to_string(index));
  BitVector data;
  data.AppendLowBits(opcode, irLength);
  Run([&](Cycles& cycles) {
    WalkTo(cycles, TapState::kIRShift);
    AppendShift(cycles, data, index, true);
    NoteInstruction(index, data);
    WalkTo(cycles, TapState::kIdle);
  });
}

uint32_t JTagChannel::ScanDR(uint32_t value, int32_t length, int32_t chainIndex) {
  Log("ScanDR(" + Hex(value) + ", " + std::to_string(length) + ", " +
      std::to_string(chainIndex) + ")");
  const size_t index = CheckIndex(chainIndex);
  CheckIntegerLength(length, "ScanDR");
  BitVector data;
  data.AppendLowBits(value, static_cast<size_t>(length));
  size_t offset = 0;
  const BitVector tdo = RunAndRead([&](Cycles& cycles) {
    WalkTo(cycles, TapState::kDRShift);
    offset = AppendShift(cycles, data, index, false);
    WalkTo(cycles, TapState::kIdle);
  });
  return static_cast<uint32_t>(tdo.LowBits(offset, data.Size()));
}

void JTagChannel::Flush() {
  Log("Flush");
  GuardCable([&] { cable_->Flush(); });
}

ComPtr<IDispatch> JTagChannel::GetDevice(int32_t chainIndex) const {
  if (chainIndex < 0 || static_cast<size_t>(chainIndex) >= chain_.size()) return nullptr;
  return chain_[static_cast<size_t>(chainIndex)].jtagDevice;
}

}  // namespace host

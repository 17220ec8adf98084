// IJTagChannel: the host's JTAG channel of one chain, driving a cable.
//
// The channel tracks the TAP state it has driven the chain into (0,
// UNDEFINED, until the first walk through Test-Logic-Reset) and addresses
// one chip of the chain by its index: the others get BYPASS (all ones) in
// IR scans and are one bypass bit each in DR scans. Index 0 is the chip
// whose TDI is the cable's TDI; the last chip's TDO returns to the cable.
//
// Bit strings are '0'/'1' text whose last character is shifted first; an
// integer value puts its Length low bits on TDI least significant first.
// Captures come back in the same forms, holding the bits the addressed chip
// shifted out.
//
// Work is queued on the cable and sent only when a result is needed
// (a capture), at Flush, or at the Close that ends the last Open.
//
// Choices the callers leave open:
// - Open connects the cable and returns False (keeping the reason in
//   LastError) when it cannot. Open and Close nest: the cable disconnects at
//   the Close that balances the first Open. An operation on a channel that
//   was never opened connects the cable itself. The TAP state survives a
//   Close: the chain keeps its state while the cable is idle.
// - Reset clocks five TMS=1 cycles: the chain ends in Test-Logic-Reset,
//   every chip with an IDCODE register selects it, the others BYPASS.
// - ShiftDRBitsEx(Bits, FromPause) shifts Bits into the data register of
//   the chip the last IR shift or scan addressed (there is no index).
//   FromPause True: the TAP is in DRPAUSE (typically straight after
//   Capture-DR) and the channel first clocks DREXIT2 -> DRSHIFT. False: the
//   TAP is already in DRSHIFT, as for ShiftDRBits. Either way it ends in
//   DREXIT1.
// - Shift operations require the TAP in the matching shift state and
//   MoveState requires From to be where the TAP is (or the state to be
//   unknown, in which case From is taken as the truth): a caller that lost
//   track of the TAP gets an error naming both states rather than bits
//   shifted into the wrong register.
// - An IR bit string must be exactly the addressed chip's IR length, or
//   the bypass pattern of the other chips would be misaligned.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/BitVector.h"
#include "host/Cable.h"
#include "host/HostObject.h"
#include "sim/Tap.h"

namespace host {

// What the channel needs to know of one chip on its chain.
struct ChannelLink {
  size_t irLength = 0;
  // 0: no IDCODE register (the chip is in BYPASS after Test-Logic-Reset).
  uint32_t idCode = 0;
  ComPtr<IDispatch> jtagDevice;  // answered by GetDevice; may be null
};

class JTagChannel : public HostObject {
 public:
  JTagChannel(std::shared_ptr<Cable> cable, std::vector<ChannelLink> chain);

  // The operations, as the dispatch handlers run them.
  bool Open();
  void Close();
  void Reset();
  void GotoState(int32_t state);
  void ClockTms(bool tms);
  void ShiftIRBits(const std::string& bits, int32_t chainIndex);
  void ShiftDRBits(const std::string& bits, int32_t chainIndex);
  void ShiftDRBitsEx(const std::string& bits, bool fromPause);
  uint32_t ShiftDRCapture(uint32_t value, int32_t length, int32_t chainIndex);
  void ScanIR(uint32_t opcode, int32_t chainIndex);
  uint32_t ScanDR(uint32_t value, int32_t length, int32_t chainIndex);
  void Flush();
  ComPtr<IDispatch> GetPort() const { return ComPtr<IDispatch>(port_); }
  void MoveState(int32_t from, int32_t to);
  void ShiftDRValue(uint32_t value, int32_t length, int32_t chainIndex);
  std::string ShiftDRBitsCapture(const std::string& bits, int32_t chainIndex);
  ComPtr<IDispatch> GetDevice(int32_t chainIndex) const;

  sim::TapState State() const { return tracking_.state; }
  bool IsOpen() const { return cable_->IsOpen(); }
  const std::string& LastError() const { return lastError_; }
  const Cable& GetCable() const { return *cable_; }
  size_t ChainLength() const { return chain_.size(); }

  // The call log: one line per operation with its arguments, e.g.
  // «ScanDR(0xFFFFFFFF, 32, 0)» or «ShiftIRBits("00011100", 0)».
  void SetCallLogging(bool on) { logging_ = on; }
  const std::vector<std::string>& CallLog() const { return callLog_; }
  void ClearCallLog() { callLog_.clear(); }

  // The port this channel belongs to; not counted (the port owns the
  // channel and clears this when it goes).
  void SetPort(IDispatch* port) { port_ = port; }

 private:
  // TCK cycles being assembled for one operation.
  struct Cycles {
    BitVector tms;
    BitVector tdi;
  };

  // What the channel believes about the chain.
  struct Tracking {
    sim::TapState state = sim::TapState::kUndefined;
    int undefinedOnes = 0;  // TMS=1 cycles in a row while the state is unknown
    // Data-register length of each chip while another one is addressed: 1
    // in BYPASS, 32 for IDCODE after reset, 0 when unknown.
    std::vector<size_t> idleDrLength;
    size_t lastIrIndex = 0;  // the chip ShiftDRBitsEx addresses
  };

  // The bypass bits of the other chips on either side of chip `index`.
  struct Pads {
    size_t towardTdo = 0;  // shifted first
    size_t towardTdi = 0;
  };

  void RegisterHandlers();
  void Log(std::string line);

  // Runs `build`, which appends cycles and updates the tracking, then
  // queues the cycles. When `build` throws nothing is queued and the
  // tracking is as before; when the cable fails the TAP state is unknown.
  void Run(const std::function<void(Cycles&)>& build);
  // As Run, then sends everything queued and returns the TDO of `build`'s cycles.
  BitVector RunAndRead(const std::function<void(Cycles&)>& build);
  void EnsureCableOpen();
  void GuardCable(const std::function<void()>& send);

  void Clock(Cycles& cycles, bool tms);
  void ClockReset(Cycles& cycles);
  void WalkTo(Cycles& cycles, sim::TapState target);
  void EnterReset();
  void RequireState(sim::TapState expected, const char* operation) const;
  size_t CheckIndex(int32_t chainIndex) const;
  Pads PadsAround(size_t index, bool ir) const;
  // Appends a full shift of `data` into chip `index` (IR or DR) with the
  // other chips' pads, last cycle with TMS=1. Returns the offset in
  // `cycles` of the first bit the chip shifts out.
  size_t AppendShift(Cycles& cycles, const BitVector& data, size_t index, bool ir);
  void NoteInstruction(size_t index, const BitVector& data);

  std::shared_ptr<Cable> cable_;
  std::vector<ChannelLink> chain_;
  Tracking tracking_;
  int openCount_ = 0;
  IDispatch* port_ = nullptr;
  std::string lastError_;
  bool logging_ = false;
  std::vector<std::string> callLog_;
};

// Bit-string conversions of the channel's convention (last character is
// bit 0, the first shifted). Throws std::invalid_argument on a character
// other than '0' or '1'.
BitVector BitsFromText(const std::string& text);
std::string TextFromBits(const BitVector& bits);

}  // namespace host

// A JTAG cable as the channel drives it: TCK cycles are queued as TMS/TDI
// bit vectors and go to the chain only at Flush (or when a queued read's
// TDO is asked for), in one exchange. A network cable pays a round trip per
// exchange, so a channel that flushed per bit or per call would crawl.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "host/BitVector.h"

namespace host {

struct CableStats {
  uint64_t exchanges = 0;  // batches sent to the chain
  uint64_t bits = 0;       // TCK cycles sent
};

class Cable {
 public:
  using ReadId = uint64_t;

  Cable() = default;
  Cable(const Cable&) = delete;
  Cable& operator=(const Cable&) = delete;
  virtual ~Cable() = default;

  // For messages: which cable this is ("simulated chain", "xvc 127.0.0.1:2542").
  virtual std::string Name() const = 0;

  // Connects; opening an open cable does nothing. Throws with the reason.
  void Open();
  // Sends what is queued, then disconnects.
  void Close();
  bool IsOpen() const { return open_; }

  // Queues TCK cycles; `tms` and `tdi` have one bit per cycle.
  void Queue(const BitVector& tms, const BitVector& tdi);
  // As Queue, keeping the TDO of these cycles for TakeTdo.
  ReadId QueueRead(const BitVector& tms, const BitVector& tdi);
  // The TDO of a queued read, one bit per cycle; flushes first when the
  // read has not been sent yet. Each read is taken once.
  BitVector TakeTdo(ReadId id);
  // Sends everything queued in one exchange.
  void Flush();

  size_t PendingBits() const { return pendingTms_.Size(); }
  const CableStats& Stats() const { return stats_; }

 protected:
  virtual void Connect() {}
  virtual void Disconnect() {}
  // Runs tms.Size() cycles on the chain; `tdo` arrives sized, to be filled.
  // A transport with a vector limit splits the batch itself.
  virtual void Exchange(const BitVector& tms, const BitVector& tdi, BitVector& tdo) = 0;

 private:
  struct PendingRead {
    size_t offset;
    size_t bits;
  };

  void RequireOpen(const char* operation) const;

  bool open_ = false;
  BitVector pendingTms_;
  BitVector pendingTdi_;
  std::map<ReadId, PendingRead> pendingReads_;
  std::map<ReadId, BitVector> doneReads_;
  ReadId nextRead_ = 1;
  CableStats stats_;
};

}  // namespace host

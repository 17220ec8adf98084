#include "host/Cable.h"

#include <stdexcept>

namespace host {

void Cable::Open() {
  if (open_) return;
  Connect();
  open_ = true;
}

void Cable::Close() {
  if (!open_) return;
  try {
    Flush();
  } catch (...) {
    open_ = false;
    Disconnect();
    throw;
  }
  open_ = false;
  Disconnect();
}

void Cable::RequireOpen(const char* operation) const {
  if (!open_) throw std::logic_error(std::string(operation) + " on " + Name() + ", which is not open");
}

void Cable::Queue(const BitVector& tms, const BitVector& tdi) {
  RequireOpen("queueing TCK cycles");
  if (tms.Size() != tdi.Size())
    throw std::invalid_argument("TMS vector of " + std::to_string(tms.Size()) +
                                " bits with a TDI vector of " + std::to_string(tdi.Size()));
  pendingTms_.Append(tms);
  pendingTdi_.Append(tdi);
}

Cable::ReadId Cable::QueueRead(const BitVector& tms, const BitVector& tdi) {
  const size_t offset = pendingTms_.Size();
  Queue(tms, tdi);
  const ReadId id = nextRead_++;
  pendingReads_[id] = PendingRead{offset, tms.Size()};
  return id;
}

BitVector Cable::TakeTdo(ReadId id) {
  if (pendingReads_.count(id)) Flush();
  auto done = doneReads_.find(id);
  if (done == doneReads_.end())
    throw std::logic_error("TDO read " + std::to_string(id) + " on " + Name() +
                           " was never queued or was already taken");
  BitVector tdo = std::move(done->second);
  doneReads_.erase(done);
  return tdo;
}

void Cable::Flush() {
  if (pendingTms_.Empty()) return;
  RequireOpen("flushing");
  // The queue is handed over before the exchange: a failed exchange loses
  // it (the chain is in an unknown state then) rather than resending it.
  const BitVector tms = std::move(pendingTms_);
  const BitVector tdi = std::move(pendingTdi_);
  const std::map<ReadId, PendingRead> reads = std::move(pendingReads_);
  pendingTms_.Clear();
  pendingTdi_.Clear();
  pendingReads_.clear();

  BitVector tdo(tms.Size(), false);
  Exchange(tms, tdi, tdo);
  ++stats_.exchanges;
  stats_.bits += tms.Size();
  for (const auto& [id, read] : reads) doneReads_[id] = tdo.Slice(read.offset, read.bits);
}

}  // namespace host

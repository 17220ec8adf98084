#include "host/ChainScan.h"

#include <stdexcept>

namespace host {

namespace {

constexpr size_t kIdCodeBits = 32;

void QueueTms(Cable& cable, std::initializer_list<int> bits) {
  BitVector tms, tdi;
  for (int bit : bits) {
    tms.Append(bit != 0);
    tdi.Append(false);
  }
  cable.Queue(tms, tdi);
}

}  // namespace

std::vector<ScannedDevice> ScanChain(Cable& cable, size_t maxDevices) {
  const size_t scanBits = (maxDevices + 1) * kIdCodeBits;
  // Test-Logic-Reset, then Run-Test/Idle, Select-DR, Capture-DR, Shift-DR.
  QueueTms(cable, {1, 1, 1, 1, 1, 0, 1, 0, 0});
  BitVector tms(scanBits, false);
  tms.Set(scanBits - 1, true);  // the last bit leaves for Exit1-DR
  const Cable::ReadId read = cable.QueueRead(tms, BitVector(scanBits, true));
  QueueTms(cable, {1, 0});  // Update-DR, Run-Test/Idle
  const BitVector tdo = cable.TakeTdo(read);

  // The chip nearest TDO shifts out first; collect in that order.
  std::vector<ScannedDevice> fromTdo;
  size_t at = 0;
  while (at < scanBits) {
    if (!tdo.Get(at)) {  // BYPASS: one 0 bit
      fromTdo.push_back({0});
      ++at;
    } else {
      if (at + kIdCodeBits > scanBits) break;
      const auto idCode = static_cast<uint32_t>(tdo.LowBits(at, kIdCodeBits));
      if (idCode == 0xFFFFFFFFu) break;  // our own ones: past the last chip
      fromTdo.push_back({idCode});
      at += kIdCodeBits;
    }
    if (fromTdo.size() > maxDevices)
      throw std::runtime_error("JTAG chain on " + cable.Name() + " reads as more than " +
                               std::to_string(maxDevices) + " devices; is TDO stuck at 0?");
  }
  return {fromTdo.rbegin(), fromTdo.rend()};
}

}  // namespace host

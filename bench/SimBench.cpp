// TCK cycles per second of the MachXO2 chip model on long data-register
// scans: the model alone in each register kind, a chain of three chips,
// and the in-process cable with its queue. The items/s column is TCK/s.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <vector>

#include "host/BitVector.h"
#include "host/cables/SimCable.h"
#include "sim/MachXO2Device.h"
#include "sim/PackedBits.h"
#include "sim/SimChain.h"

namespace {

namespace op = sim::mxo2op;

// TMS/TDI for an IR scan of `opcode` from Idle, ending in Shift-DR.
struct Vectors {
  std::vector<uint8_t> tms, tdi, tdo;
  size_t bits = 0;

  void Append(bool tmsBit, bool tdiBit) {
    if (bits % 8 == 0) {
      tms.push_back(0);
      tdi.push_back(0);
      tdo.push_back(0);
    }
    sim::SetPackedBit(tms.data(), bits, tmsBit);
    sim::SetPackedBit(tdi.data(), bits, tdiBit);
    ++bits;
  }
};

Vectors SelectAndEnterShiftDR(uint8_t opcode) {
  Vectors v;
  for (int i = 0; i < 5; ++i) v.Append(true, false);
  for (int t : {0, 1, 1, 0, 0}) v.Append(t, false);  // Idle, to Shift-IR
  for (int i = 0; i < 8; ++i) v.Append(i == 7, (opcode >> i) & 1);
  for (int t : {1, 0, 1, 0, 0}) v.Append(t, false);  // Update-IR, Idle, to Shift-DR
  return v;
}

// A batch of `bits` cycles that stay in Shift-DR, with random TDI.
Vectors ShiftBatch(size_t bits) {
  Vectors v;
  std::mt19937 random(7);
  v.tms.assign(sim::PackedBytes(bits), 0);
  v.tdo.assign(v.tms.size(), 0);
  v.tdi.resize(v.tms.size());
  for (uint8_t& byte : v.tdi) byte = static_cast<uint8_t>(random());
  v.bits = bits;
  return v;
}

void Prepare(sim::ChainDevice& device, uint8_t opcode) {
  Vectors setup = SelectAndEnterShiftDR(opcode);
  device.Clock(setup.tms.data(), setup.tdi.data(), setup.tdo.data(), setup.bits);
}

void RunShifts(benchmark::State& state, sim::ChainDevice& device) {
  Vectors batch = ShiftBatch(static_cast<size_t>(state.range(0)));
  for (auto _ : state) {
    device.Clock(batch.tms.data(), batch.tdi.data(), batch.tdo.data(), batch.bits);
    benchmark::DoNotOptimize(batch.tdo.data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

// One chip in a long Shift-DR, by register: a flash page (128 bits), the
// boundary register (664 on the 7000), BYPASS (1 bit).
void BM_MachXO2ShiftDR(benchmark::State& state, uint8_t opcode) {
  auto chip = sim::MachXO2Device::ForPart("LCMXO2-7000HC");
  Prepare(*chip, op::kIscEnable);
  Prepare(*chip, opcode);
  RunShifts(state, *chip);
}
BENCHMARK_CAPTURE(BM_MachXO2ShiftDR, Page, op::kProgIncrNv)->Arg(1 << 20);
BENCHMARK_CAPTURE(BM_MachXO2ShiftDR, Boundary, op::kSamplePreload)->Arg(1 << 20);
BENCHMARK_CAPTURE(BM_MachXO2ShiftDR, Bypass, op::kBypass)->Arg(1 << 20);
BENCHMARK_CAPTURE(BM_MachXO2ShiftDR, PageShortBatches, op::kProgIncrNv)->Arg(1024);

void BM_ChainOfThreeShiftDR(benchmark::State& state) {
  std::vector<std::shared_ptr<sim::ChainDevice>> chips;
  for (const char* name : {"LCMXO2-1200HC", "LCMXO2-4000ZE", "LCMXO2-256HC"})
    chips.push_back(sim::MachXO2Device::ForPart(name));
  sim::SimChain chain(chips);
  Prepare(chain, op::kBypass);
  RunShifts(state, chain);
}
BENCHMARK(BM_ChainOfThreeShiftDR)->Arg(1 << 20);

// The whole in-process cable: queue, flush, TDO kept for a read.
void BM_SimCableLongRead(benchmark::State& state) {
  auto chip = sim::MachXO2Device::ForPart("LCMXO2-1200HC");
  Prepare(*chip, op::kSamplePreload);
  host::SimCable cable({chip});
  cable.Open();
  const size_t bits = static_cast<size_t>(state.range(0));
  const host::BitVector tms(bits, false);
  host::BitVector tdi;
  for (size_t i = 0; i < bits; ++i) tdi.Append(i % 3 == 0);
  for (auto _ : state) {
    host::BitVector tdo = cable.TakeTdo(cable.QueueRead(tms, tdi));
    benchmark::DoNotOptimize(tdo.Data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_SimCableLongRead)->Arg(1 << 20);

}  // namespace

BENCHMARK_MAIN();

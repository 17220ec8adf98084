// The host-side cost of programming, without the chip's fixed waits:
//  - reading a vendor JEDEC file and walking its rows;
//  - driving one configuration row (28 channel calls, the row walk and the
//    progress step), against a channel that answers at once, with the
//    virtual clock in place of the waits.
//
// The vendor file is the first of: --jedec=PATH, $MXO2_SAMPLE_JEDEC, the
// sample in the shared folder beside the repository. Without one the file
// benchmark is skipped; the row benchmarks use a file made in memory.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "hostsdk/HostDispIds.h"
#include "host/HostObject.h"
#include "jtag/Clock.h"
#include "jtag/JedecReader.h"
#include "jtag/LatticeProgrammer.h"
#include "tests/support/FakeChain.h"

namespace {

std::string& VendorFile() {
  static std::string path;
  return path;
}

// A JEDEC file shaped like a LCMXO2-1200 one: `rows` configuration rows of
// 128 bits, as many user flash rows, and the feature row.
std::string MadeJedecText(size_t rows) {
  std::string text = "\x02*\nNOTE made for the benchmark*\nL000000\n";
  for (size_t i = 0; i < rows; ++i) {
    std::string row(128, '0');
    for (size_t bit = 0; bit < 128; ++bit)
      if ((i * 131 + bit * 7) % 5 == 0) row[bit] = '1';
    text += row + "\n";
  }
  text += "*\nNOTE END CONFIG DATA*\nL132352\n";
  for (size_t i = 0; i < rows; ++i) text += std::string(128, '0') + "\n";
  text += "*\nC0000*\nNOTE FEATURE_ROW*\nE" + std::string(64, '0') + "\n0000010000100000*\n\x03";
  return text;
}

// A channel that accepts every call at once and shifts out zeros.
class InstantChannel : public host::HostObject {
 public:
  InstantChannel() {
    namespace id = hostsdk::dispid;
    for (DISPID call : {id::kChannel_Open, id::kChannel_Close, id::kChannel_Reset,
                        id::kChannel_GotoState, id::kChannel_ClockTms, id::kChannel_ShiftIRBits,
                        id::kChannel_ShiftDRBits, id::kChannel_ShiftDRBitsEx,
                        id::kChannel_ShiftDRCapture, id::kChannel_ScanIR, id::kChannel_ScanDR,
                        id::kChannel_Flush})
      On(call, [](const host::Args&) { return host::Variant::Int(0); });
  }
};

// The fixed waits cost nothing and are not kept.
class NoWaitClock final : public jtag::TClock {
 public:
  void Wait(uint32_t) override {}
};

void ProgramRows(benchmark::State& state, IDispatch* channel, std::vector<std::string>* log) {
  const size_t rows = static_cast<size_t>(state.range(0));
  const jtag::TJedecFile file = jtag::TJedecFile::FromBytes(MadeJedecText(rows), "made.jed");
  const jtag::TLatticeGeometry geometry = *jtag::FindLatticeGeometry("LCMXO2-1200HC");
  NoWaitClock clock;
  hostsdk::Progress progress([] { return automation::ComPtr<IDispatch>(); });
  jtag::TLatticeProgrammer programmer(
      jtag::TJTagChannel(automation::ComPtr<IDispatch>(channel)), 0, clock);
  for (auto _ : state) {
    benchmark::DoNotOptimize(programmer.Program(file, geometry, progress));
    if (log) log->clear();
  }
  // Time per configuration row, the sequence around the rows included.
  state.counters["per_row"] = benchmark::Counter(
      static_cast<double>(rows),
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_ProgramRowsInstantChannel(benchmark::State& state) {
  auto channel = host::MakeHostObject<InstantChannel>();
  ProgramRows(state, channel.Get(), nullptr);
}

void BM_ProgramRowsRecordingChannel(benchmark::State& state) {
  auto device = host::MakeHostObject<boundary::FakeChainDevice>("bench", 0);
  ProgramRows(state, device->Channel().AsDispatch(), &device->log);
}

void BM_ReadVendorJedecFile(benchmark::State& state) {
  if (VendorFile().empty()) {
    state.SkipWithError("no vendor JEDEC file (--jedec=PATH or MXO2_SAMPLE_JEDEC)");
    return;
  }
  size_t lines = 0;
  for (auto _ : state) {
    const jtag::TJedecFile file = jtag::TJedecFile::Load(VendorFile());
    benchmark::DoNotOptimize(jtag::CheckRowStream(file));
    lines = file.LineCount();
  }
  state.counters["lines"] = static_cast<double>(lines);
}

BENCHMARK(BM_ProgramRowsInstantChannel)->Arg(1034)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProgramRowsRecordingChannel)->Arg(1034)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadVendorJedecFile)->Unit(benchmark::kMillisecond);

std::string FindVendorFile(int& argc, char** argv) {
  constexpr std::string_view kOption = "--jedec=";
  std::string chosen;
  int kept = 1;
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument.substr(0, kOption.size()) == kOption)
      chosen = std::string(argument.substr(kOption.size()));
    else
      argv[kept++] = argv[i];
  }
  argc = kept;
  if (chosen.empty())
    if (const char* fromEnvironment = std::getenv("MXO2_SAMPLE_JEDEC")) chosen = fromEnvironment;
  if (chosen.empty()) chosen = MXO2_DEFAULT_SAMPLE_JEDEC;
  std::error_code error;
  return std::filesystem::is_regular_file(chosen, error) ? chosen : std::string();
}

}  // namespace

int main(int argc, char** argv) {
  VendorFile() = FindVendorFile(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

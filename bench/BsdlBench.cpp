// Building the boundary-scan entity of the largest record (484 pins, 664
// cells) from the built-in tables, and handing out a pin through Invoke.
#include <benchmark/benchmark.h>

#include "devices/machxo2/BuiltInBsdl.h"
#include "host/ModuleLoader.h"
#include "host/StandInHost.h"

namespace {

void BM_BuildLargestEntity(benchmark::State& state) {
  const machxo2::TBSDLParameters& record = machxo2::BuiltInBsdlRecordFor("lcmxo2_7000hc_fpbga484.bsd");
  for (auto _ : state) {
    machxo2::TBsdlBuildCaches caches;
    auto entity = machxo2::BuildBsdlEntity(record, caches);
    benchmark::DoNotOptimize(entity.get());
  }
  state.counters["pins"] = static_cast<double>(record.Pins.size());
  state.counters["cells"] = static_cast<double>(record.BoundaryCells.size());
}
BENCHMARK(BM_BuildLargestEntity)->Unit(benchmark::kMicrosecond);

void BM_InvokeGetDevicePin(benchmark::State& state) {
  static host::ModuleLoader* module =
      new host::ModuleLoader(host::ProgramFolder() + "Device_MachXO2.TLV");
  static IDispatch* driver = module->CreateDriver(419).Detach();
  VARIANT index;
  VariantInit(&index);
  index.vt = VT_I4;
  DISPPARAMS params{&index, nullptr, 1, 0};
  VARIANT result;
  VariantInit(&result);
  int32_t i = 0;
  for (auto _ : state) {
    index.lVal = i++ % 484;
    driver->Invoke(503411, automation::kIID_NULL, 0, DISPATCH_METHOD, &params, &result, nullptr,
                   nullptr);
    benchmark::DoNotOptimize(result.pdispVal);
  }
  VariantClear(&result);
}
BENCHMARK(BM_InvokeGetDevicePin);

}  // namespace

BENCHMARK_MAIN();

// The cost of the dispatch boundary: one Invoke with an integer result and
// one with a string result, through the loaded module as a host calls it,
// against calling the same operation directly on the driver object.
#include <benchmark/benchmark.h>

#include "devices/machxo2/MachXO2Driver.h"
#include "host/ModuleLoader.h"
#include "host/StandInHost.h"

namespace {

constexpr DISPID kGetIdCode = 503379;
constexpr DISPID kGetDeviceName = 503380;
constexpr int32_t kKind = 60;

IDispatch* LoadedDriver() {
  static host::ModuleLoader* module =
      new host::ModuleLoader(host::ProgramFolder() + "Device_MachXO2.TLV");
  static IDispatch* driver = module->CreateDriver(kKind).Detach();
  return driver;
}

void InvokeLoop(benchmark::State& state, DISPID id) {
  IDispatch* driver = LoadedDriver();
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  VARIANT result;
  VariantInit(&result);
  for (auto _ : state) {
    driver->Invoke(id, automation::kIID_NULL, 0, DISPATCH_METHOD, &none, &result, nullptr, nullptr);
    benchmark::DoNotOptimize(result.llVal);
  }
  VariantClear(&result);
}

void BM_InvokeIntegerResult(benchmark::State& state) { InvokeLoop(state, kGetIdCode); }
void BM_InvokeStringResult(benchmark::State& state) { InvokeLoop(state, kGetDeviceName); }

void BM_DirectIntegerResult(benchmark::State& state) {
  plugin::TAbstractDeviceInformation* driver = new machxo2::TDevice_MachXO2Driver(kKind);
  for (auto _ : state) benchmark::DoNotOptimize(driver->GetIdCode());
}

void BM_DirectStringResult(benchmark::State& state) {
  plugin::TAbstractDeviceInformation* driver = new machxo2::TDevice_MachXO2Driver(kKind);
  for (auto _ : state) benchmark::DoNotOptimize(driver->GetDeviceName());
}

BENCHMARK(BM_InvokeIntegerResult);
BENCHMARK(BM_DirectIntegerResult);
BENCHMARK(BM_InvokeStringResult);
BENCHMARK(BM_DirectStringResult);

}  // namespace

BENCHMARK_MAIN();

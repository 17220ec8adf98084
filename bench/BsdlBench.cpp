// Building the boundary-scan entity of the largest record (484 pins, 664
// cells) from the built-in tables, handing out a pin through Invoke, and
// reading BSDL text: the largest description as the writer gives it, and
// descriptions with ever more instructions and registers, whose time must
// grow about in proportion (duplicate checks by look-up, not by scanning).
#include <benchmark/benchmark.h>

#include <bitset>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

#include "bsdl/BsdlReader.h"
#include "bsdl/BsdlWriter.h"
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

void BM_ReadLargestDescription(benchmark::State& state) {
  const machxo2::TBSDLParameters& record = machxo2::BuiltInBsdlRecordFor("lcmxo2_7000hc_fpbga484.bsd");
  machxo2::TBsdlBuildCaches caches;
  const std::string text = bsdl::WriteBsdlText(*machxo2::BuildBsdlEntity(record, caches));
  for (auto _ : state) {
    auto entity = bsdl::ReadBsdlText(text, "lcmxo2_7000hc_fpbga484.bsd");
    benchmark::DoNotOptimize(entity.get());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ReadLargestDescription)->Unit(benchmark::kMicrosecond);

std::string Between(const std::string& text, const std::string& from, const std::string& to) {
  const size_t begin = text.find(from);
  const size_t end = text.find(to, begin);
  if (begin == std::string::npos || end == std::string::npos)
    throw std::runtime_error("the fixture lacks \"" + from + "\" or \"" + to + "\"");
  return text.substr(begin, end - begin);
}

// The test fixture with a 16-bit instruction register, `count` further
// instructions of one opcode each and one register for each of them.
std::string DescriptionWithInstructions(int count) {
  std::ifstream file(MXO2_BSDL_FIXTURE, std::ios::binary);
  std::ostringstream fixture;
  fixture << file.rdbuf();
  const std::string text = fixture.str();
  const std::string head = text.substr(0, text.find("  attribute INSTRUCTION_LENGTH"));
  const std::string idCode = Between(text, "  attribute IDCODE_REGISTER", "  attribute REGISTER_ACCESS");
  const std::string tail = text.substr(text.find("  -- A vendor extension"));
  std::string out = head + "  attribute INSTRUCTION_LENGTH of TINYPLD_Q24 : entity is 16;\n" +
                    "  attribute INSTRUCTION_OPCODE of TINYPLD_Q24 : entity is\n" +
                    "    \"BYPASS (1111111111111111), EXTEST (0000000000000000), " +
                    "SAMPLE (0000000000000001), IDCODE (0000000000000010)";
  for (int i = 0; i < count; ++i)
    out += ", \" &\n    \"X" + std::to_string(i) + " (" + std::bitset<16>(i + 16).to_string() + ")";
  out += "\";\n  attribute INSTRUCTION_CAPTURE of TINYPLD_Q24 : entity is \"xxxxxxxxxxxxxx01\";\n" + idCode +
         "  attribute REGISTER_ACCESS of TINYPLD_Q24 : entity is\n" +
         "    \"BYPASS (BYPASS), BOUNDARY (EXTEST, SAMPLE), DEVICE_ID (IDCODE)";
  for (int i = 0; i < count; ++i)
    out += ", \" &\n    \"R" + std::to_string(i) + "[8] (X" + std::to_string(i) + ")";
  return out + "\";\n\n" + tail;
}

void BM_ReadManyInstructions(benchmark::State& state) {
  const std::string text = DescriptionWithInstructions(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    auto entity = bsdl::ReadBsdlText(text, "many.bsd");
    benchmark::DoNotOptimize(entity.get());
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ReadManyInstructions)
    ->RangeMultiplier(4)
    ->Range(256, 16384)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

}  // namespace

BENCHMARK_MAIN();

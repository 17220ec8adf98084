// mxo2: the MachXO2 driver module on the command line. Every answer comes
// from Device_MachXO2.TLV, loaded and called by the stand-in host exactly as
// the design suite calls it.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <exception>

#include "cli/CatalogueCommands.h"
#include "cli/DriverSession.h"
#include "cli/PinCommands.h"
#include "cli/SimCommand.h"

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{
      "mxo2 - query, program and watch Lattice MachXO2 parts through the Device_MachXO2.TLV "
      "driver module.\n\nThe module is loaded from $MXO2_MODULE or from beside this program."};
  app.require_subcommand(1);

  std::string filter;
  bool devicesJson = false;
  auto* devices = app.add_subcommand("devices", "List the 420 parts the module serves");
  devices->add_option("--filter", filter, "Only parts whose name contains TEXT (any case)")
      ->type_name("TEXT");
  devices->add_flag("--json", devicesJson, "Print a JSON array");
  devices->footer("Example: mxo2 devices --filter 1200HC-4TG100");

  std::string device;
  bool infoJson = false;
  auto* info = app.add_subcommand("info", "Print every device-information answer of one part");
  info->add_option("DEVICE", device, "Part name, e.g. LCMXO2-1200HC-4TG100C")->required();
  info->add_flag("--json", infoJson, "Print a JSON object");
  info->footer("Example: mxo2 info LCMXO2-7000ZE-3FG484I --json");

  std::string pinsDevice;
  bool pinsCsv = false, pinsJson = false;
  auto* pins = app.add_subcommand("pins", "List a part's package pins: number, bank, pair, roles, standards");
  pins->add_option("DEVICE", pinsDevice, "Part name")->required();
  auto* csvFlag = pins->add_flag("--csv", pinsCsv, "Print CSV with every pin's IO standards");
  pins->add_flag("--json", pinsJson, "Print a JSON array")->excludes(csvFlag);
  pins->footer("Example: mxo2 pins LCMXO2-256HC-4UMG64C --csv > pins.csv");

  std::string standardsDevice;
  bool standardsJson = false;
  auto* standards = app.add_subcommand("iostandards", "List the IO standards a part accepts, with slews and drives");
  standards->add_option("DEVICE", standardsDevice, "Part name")->required();
  standards->add_flag("--json", standardsJson, "Print a JSON array");

  // The chip-model server (needs no driver module).
  cli::SimCommand simCommand(app);

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    const int code = app.exit(e);
    return code == 0 ? 0 : kExitUsage;
  }

  if (simCommand.Chosen()) return simCommand.Run();

  try {
    cli::DriverSession session;
    if (*devices) return cli::RunDevices(session, filter, devicesJson);
    if (*info) return cli::RunInfo(session, device, infoJson);
    if (*pins)
      return cli::RunPins(session, pinsDevice,
                          pinsJson  ? cli::PinFormat::kJson
                          : pinsCsv ? cli::PinFormat::kCsv
                                    : cli::PinFormat::kTable);
    if (*standards) return cli::RunIOStandards(session, standardsDevice, standardsJson);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "mxo2: %s\n", e.what());
    return kExitFailure;
  }
  return kExitUsage;
}

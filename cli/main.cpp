// mxo2: the MachXO2 driver module on the command line. Every answer comes
// from Device_MachXO2.TLV, loaded and called by the stand-in host exactly as
// the design suite calls it.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <exception>

#include "cli/CatalogueCommands.h"
#include "cli/DriverSession.h"

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

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    const int code = app.exit(e);
    return code == 0 ? 0 : kExitUsage;
  }

  try {
    cli::DriverSession session;
    if (*devices) return cli::RunDevices(session, filter, devicesJson);
    if (*info) return cli::RunInfo(session, device, infoJson);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "mxo2: %s\n", e.what());
    return kExitFailure;
  }
  return kExitUsage;
}

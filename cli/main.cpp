// mxo2: the MachXO2 driver module on the command line. Every answer comes
// from Device_MachXO2.TLV, loaded and called by the stand-in host exactly as
// the design suite calls it.
#include <CLI/CLI.hpp>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>

#include "cli/BsdlCommand.h"
#include "cli/CatalogueCommands.h"
#include "cli/DriverSession.h"
#include "cli/JTagCommands.h"
#include "cli/PinCommands.h"
#include "cli/SimCommand.h"

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// What a command printed must have reached its destination: a listing cut
// short by a full disk is not a success.
int CheckedOutput(int code) {
  if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return code;
  const int error = errno;
  std::fprintf(stderr, "mxo2: cannot write the output: %s\n", std::strerror(error));
  return code == 0 ? kExitFailure : code;
}

int Run(int argc, char** argv) {
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

  std::string bsdlDevice, bsdlOutput, bsdlCheck;
  bool bsdlJson = false;
  auto* bsdlCommand = app.add_subcommand(
      "bsdl", "Write a part's built-in boundary-scan description as BSDL, or check a BSDL file");
  bsdlCommand->add_option("DEVICE", bsdlDevice, "Part name");
  bsdlCommand->add_option("-o,--output", bsdlOutput, "Write to FILE instead of standard output");
  auto* checkOption = bsdlCommand->add_option("--check", bsdlCheck, "Read FILE and report what it describes");
  bsdlCommand->add_flag("--json", bsdlJson, "With --check: print a JSON object");
  bsdlCommand->footer(
      "Examples: mxo2 bsdl LCMXO2-1200HC-4TG100C -o lcmxo2_1200hc_tqfp100.bsd\n"
      "          mxo2 bsdl --check vendor.bsd");
  (void)checkOption;

  // The JTAG commands share how the chain is reached.
  cli::ChainOptions chain;
  bool virtualTime = false;
  auto addChainOptions = [&](CLI::App* command, bool needsDevice) {
    auto* deviceOption = command->add_option("--device", chain.device, "The part at --index, e.g. LCMXO2-1200HC-4TG100C");
    if (needsDevice) deviceOption->required();
    command->add_option("--cable", chain.cable,
                        "sim (the built-in chip model, default), sim:PART[,PART...], "
                        "xvc://HOST:PORT or rbb://HOST:PORT")
        ->capture_default_str();
    command->add_option("--index", chain.index, "Position of the chip on the chain (0 is nearest TDI)")
        ->capture_default_str();
    command->add_option("--image", chain.image,
                        "Flash image file of the chip model at --index, loaded before and saved after");
    command->add_option("--bsdl", chain.bsdl,
                        "A BSDL file for the chip, preferred over the module's built-in description");
    command->add_flag("--virtual-time", virtualTime,
                      "Pass the programmer's fixed waits in virtual time (for the chip model)");
  };
  bool detectJson = false, statusJson = false, userCodeJson = false, eraseJson = false,
       programJson = false;
  auto* detect = app.add_subcommand("detect", "List the chips on the JTAG chain by IDCODE");
  addChainOptions(detect, false);
  detect->add_flag("--json", detectJson, "Print a JSON array");
  detect->footer("Example: mxo2 detect --cable xvc://127.0.0.1:2542");
  auto* status = app.add_subcommand("status", "Tell whether the chip is configured (DONE)");
  addChainOptions(status, true);
  status->add_flag("--json", statusJson, "Print a JSON object");
  auto* userCode = app.add_subcommand("usercode", "Read the chip's 32-bit user code");
  addChainOptions(userCode, true);
  userCode->add_flag("--json", userCodeJson, "Print a JSON object");
  auto* erase = app.add_subcommand("erase", "Erase the chip's configuration flash");
  addChainOptions(erase, true);
  erase->add_flag("--json", eraseJson, "Print a JSON object");
  std::string jedecFile;
  auto* program = app.add_subcommand("program", "Program the chip from a JEDEC file (erase, program, check DONE)");
  program->add_option("FILE", jedecFile, "JEDEC fuse file (.jed) from the vendor's build flow")->required();
  addChainOptions(program, true);
  program->add_flag("--json", programJson,
                    "Print a JSON object (bits, seconds, rate, state) instead of the download lines");
  program->footer(
      "Example: mxo2 program design.jed --device LCMXO2-1200HC-4TG100C --image chip.img\n"
      "The chip model keeps its flash in --image between runs.");

  // The chip-model server (needs no driver module).
  cli::SimCommand simCommand(app);

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    const int code = app.exit(e);
    return code == 0 ? 0 : kExitUsage;
  }

  if (simCommand.Chosen()) return simCommand.Run();
  if (*bsdlCommand && !bsdlCheck.empty()) {
    try {
      return cli::RunBsdlCheck(bsdlCheck, bsdlJson);
    } catch (const std::exception& e) {
      std::fprintf(stderr, "mxo2: %s\n", e.what());
      return kExitFailure;
    }
  }
  if (*bsdlCommand && bsdlDevice.empty()) {
    std::fprintf(stderr, "mxo2 bsdl: give a DEVICE or --check FILE (see mxo2 bsdl --help)\n");
    return kExitUsage;
  }

  try {
    cli::DriverSession session(virtualTime);
    if (*devices) return cli::RunDevices(session, filter, devicesJson);
    if (*info) return cli::RunInfo(session, device, infoJson);
    if (*pins)
      return cli::RunPins(session, pinsDevice,
                          pinsJson  ? cli::PinFormat::kJson
                          : pinsCsv ? cli::PinFormat::kCsv
                                    : cli::PinFormat::kTable);
    if (*standards) return cli::RunIOStandards(session, standardsDevice, standardsJson);
    if (*bsdlCommand) return cli::RunBsdlWrite(session, bsdlDevice, bsdlOutput);
    if (*detect) return cli::RunDetect(session, chain, detectJson);
    if (*status) return cli::RunStatus(session, chain, statusJson);
    if (*userCode) return cli::RunUserCode(session, chain, userCodeJson);
    if (*erase) return cli::RunErase(session, chain, eraseJson);
    if (*program) return cli::RunProgram(session, chain, jedecFile, programJson);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "mxo2: %s\n", e.what());
    return kExitFailure;
  }
  return kExitUsage;
}

}  // namespace

int main(int argc, char** argv) { return CheckedOutput(Run(argc, argv)); }

#include "cli/SimCommand.h"

#include <CLI/CLI.hpp>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <mutex>
#include <thread>

#include "host/servers/RemoteBitbangServer.h"
#include "host/servers/XvcServer.h"
#include "sim/FlashImage.h"
#include "sim/MachXO2Device.h"

namespace cli {

namespace {

constexpr int kExitFailure = 1;
constexpr uint16_t kDefaultXvcPort = 2542;

// Set by the signal handler, polled by the serving loop.
volatile std::sig_atomic_t gStopRequested = 0;

extern "C" void RequestStop(int) { gStopRequested = 1; }

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

std::string Hex32(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(value));
  return text;
}

void PrintServing(const std::string& name, uint32_t idCode, const host::SimServer& server) {
  std::printf("serving %s (IDCODE %s) on %s\n", name.c_str(), Hex32(idCode).c_str(),
              server.Endpoint().c_str());
  std::fflush(stdout);
}

void LogLine(const std::string& line) { std::fprintf(stderr, "mxo2 sim: %s\n", line.c_str()); }

}  // namespace

SimCommand::SimCommand(CLI::App& app) {
  command_ = app.add_subcommand(
      "sim", "Serve the MachXO2 chip model over XVC and remote_bitbang on 127.0.0.1 until interrupted");
  command_->add_option("--device", device_, "Part to model, e.g. LCMXO2-1200HC or LCMXO2-1200HC-4TG100C")
      ->required();
  command_->add_option("--xvc", xvcPort_, "Serve XVC 1.0 on PORT (0: any free port; the default when "
                                          "neither --xvc nor --rbb is given is 2542)")
      ->type_name("PORT")
      ->check(CLI::Range(0, 65535));
  command_->add_option("--rbb", rbbPort_, "Serve remote_bitbang on PORT (0: any free port)")
      ->type_name("PORT")
      ->check(CLI::Range(0, 65535));
  command_->add_option("--image", image_,
                       "Keep the chip's flash in FILE: read at start when it exists, written at exit")
      ->type_name("FILE");
  command_->add_option("--timing", timing_,
                       "BUSY durations of erase and program: instant (none) or realistic")
      ->check(CLI::IsMember({"instant", "realistic"}));
  command_->add_flag("--trace", trace_, "Print every configuration command the chip carries out");
  command_->footer(
      "Example: mxo2 sim --device LCMXO2-1200HC --xvc 2542 --rbb 44853 --image chip.mxo2flash\n"
      "Each client's cost is logged on stderr when it leaves: TCK cycles, round trips, seconds.\n"
      "SIGINT or SIGTERM stops the servers, saves the image and exits with 0.");
}

bool SimCommand::Chosen() const { return command_ && command_->parsed(); }

int SimCommand::Run() const {
  std::shared_ptr<sim::MachXO2Device> chip;
  std::unique_ptr<host::XvcServer> xvc;
  std::unique_ptr<host::RemoteBitbangServer> rbb;
  try {
    const sim::MachXO2Timing timing =
        timing_ == "realistic" ? sim::MachXO2Timing::Realistic() : sim::MachXO2Timing::Instant();
    chip = std::make_shared<sim::MachXO2Device>(sim::RequireMachXO2Part(device_), timing);
    if (trace_) chip->SetTrace(LogLine);
    if (!image_.empty() && std::filesystem::exists(image_)) {
      chip->LoadFlash(sim::LoadFlashImage(image_, chip->Part()));
      LogLine("flash loaded from " + image_ + (chip->IsConfigured() ? " (configured)" : ""));
    } else if (!image_.empty()) {
      LogLine(image_ + " does not exist yet: the chip starts erased");
    }

    host::SimServerOptions options;
    options.chainMutex = std::make_shared<std::mutex>();
    options.log = LogLine;
    const bool neither = xvcPort_ < 0 && rbbPort_ < 0;
    if (xvcPort_ >= 0 || neither) {
      options.port = static_cast<uint16_t>(neither ? kDefaultXvcPort : xvcPort_);
      xvc = std::make_unique<host::XvcServer>(chip, options);
    }
    if (rbbPort_ >= 0) {
      options.port = static_cast<uint16_t>(rbbPort_);
      rbb = std::make_unique<host::RemoteBitbangServer>(chip, options);
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "mxo2 sim: %s\n", e.what());
    return kExitFailure;
  }

  std::signal(SIGINT, RequestStop);
  std::signal(SIGTERM, RequestStop);
  const std::string name = Upper(device_);
  if (xvc) PrintServing(name, chip->Part().idCode, *xvc);
  if (rbb) PrintServing(name, chip->Part().idCode, *rbb);
  while (!gStopRequested) std::this_thread::sleep_for(std::chrono::milliseconds(50));

  if (xvc) xvc->Stop();
  if (rbb) rbb->Stop();
  const sim::MachXO2Counters& counters = chip->Counters();
  LogLine("stopped: " + std::to_string(counters.pagesProgrammed) + " page(s) programmed, " +
          std::to_string(counters.programFailures) + " program failure(s), " +
          std::to_string(counters.ignoredWhileBusy) + " command(s) ignored while busy, " +
          std::to_string(counters.ignoredOutsideConfigurationMode) +
          " outside configuration mode; status " + Hex32(chip->StatusWord()));
  if (image_.empty()) return 0;
  try {
    sim::SaveFlashImage(image_, chip->Part(), chip->Flash());
    LogLine("flash saved to " + image_);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "mxo2 sim: %s\n", e.what());
    return kExitFailure;
  }
  return 0;
}

}  // namespace cli

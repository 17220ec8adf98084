// mxo2 sim: serves the MachXO2 chip model to JTAG tools over XVC and
// remote_bitbang on the loopback address until interrupted, keeping the
// chip's flash in an image file between runs when asked to.
//
// The chip model stands for the silicon, so this command does not load the
// driver module.
#pragma once

#include <string>

namespace CLI {
class App;
}

namespace cli {

class SimCommand {
 public:
  // Adds the "sim" subcommand and its options to `app`.
  explicit SimCommand(CLI::App& app);

  bool Chosen() const;
  // Serves until SIGINT or SIGTERM; 0 then, 1 when the chip or a server
  // could not be set up or the image could not be saved.
  int Run() const;

 private:
  CLI::App* command_ = nullptr;
  std::string device_;
  int xvcPort_ = -1;
  int rbbPort_ = -1;
  std::string image_;
  std::string timing_ = "instant";
  bool trace_ = false;
};

}  // namespace cli

// A JTAG chain as the stand-in host sees it for one mxo2 command: a cable,
// the chips found on it, and the part's driver from the module bound to the
// chip at the chosen position, exactly as the host binds drivers.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "cli/DriverSession.h"
#include "host/ChainScan.h"
#include "host/JTagPort.h"
#include "host/cables/CableFactory.h"

namespace cli {

struct ChainOptions {
  std::string device;        // the part at `index` ("" for detect)
  std::string cable = "sim";  // sim, sim:PART[,PART...], xvc://HOST:PORT, rbb://HOST:PORT
  int32_t index = 0;
  std::string image;  // the in-process chip's flash image, kept between runs
  std::string bsdl;   // a BSDL file for the chip at `index`, preferred over the built-in one
};

class ChainSession {
 public:
  ChainSession(DriverSession& session, ChainOptions options);
  ~ChainSession();
  ChainSession(const ChainSession&) = delete;
  ChainSession& operator=(const ChainSession&) = delete;

  const std::vector<host::ScannedDevice>& Scanned() const { return scanned_; }
  const std::string& CableName() const { return cableName_; }
  // The host's handle of the chip at the chosen position, its driver bound.
  IDispatch* Device() const;
  // The part names the module knows for an IDCODE (all speed, package,
  // temperature and option variants share one).
  std::vector<std::string> PartsWithIdCode(uint32_t idCode);
  // Keeps the in-process chip's flash in the image file (when one is named).
  void SaveImage();

 private:
  void LoadImage();
  // The chip model at --index, whose flash --image keeps.
  sim::MachXO2Device& ImageChip() const;
  host::ChainDescription Describe(automation::ComPtr<IDispatch> driver);

  DriverSession& session_;
  ChainOptions options_;
  host::CableTarget target_;
  std::string cableName_;
  std::vector<host::ScannedDevice> scanned_;
  automation::ComPtr<host::JTagPort> port_;
};

}  // namespace cli

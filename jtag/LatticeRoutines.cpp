#include "jtag/LatticeRoutines.h"

#include <optional>
#include <utility>

#include "hostsdk/MessageDialogs.h"
#include "jtag/JTagChannel.h"
#include "jtag/JedecReader.h"
#include "jtag/LatticeGeometry.h"
#include "jtag/LatticeProgrammer.h"

namespace jtag {

namespace {

// Programming starts by letting the chip and the cable settle.
constexpr uint32_t kSettleMilliseconds = 1000;
constexpr char kInformationCaption[] = "Information";

// The programmer for the driver's chip, or none without a chain device or
// a channel.
std::optional<TLatticeProgrammer> ProgrammerFor(plugin::TAbstractTalvoDriver& driver,
                                                TClock& clock) {
  TChainDevice device(driver.GetTalvoDevice());
  if (!device) return std::nullopt;
  const int32_t chainIndex = device.GetChainIndex();
  TJTagChannel channel = device.GetJTagChannel();
  if (!channel) return std::nullopt;
  return TLatticeProgrammer(std::move(channel), chainIndex, clock);
}

// The geometry of the driver's chip; tells the user when there is none.
std::optional<TLatticeGeometry> GeometryFor(plugin::TAbstractTalvoDriver& driver,
                                            const TProgrammerEnvironment& environment) {
  const std::string baseName = driver.GetBaseName();
  std::optional<TLatticeGeometry> geometry = FindLatticeGeometry(baseName);
  if (!geometry) environment.showInformation(UnsupportedDeviceMessage(baseName), kInformationCaption);
  return geometry;
}

bool Erase(plugin::TAbstractTalvoDriver& driver, const TProgrammerEnvironment& environment,
           bool withProgress) {
  std::optional<TLatticeProgrammer> programmer = ProgrammerFor(driver, environment.clock);
  if (!programmer) return false;
  if (GeometryFor(driver, environment))
    programmer->Erase(withProgress ? &environment.progress : nullptr);
  return programmer->ReadStatus() == kDeviceStateNotConfigured;
}

}  // namespace

std::string UnsupportedDeviceMessage(const std::string& baseName) {
  return "Programming for " + baseName + " not supported.";
}

TProgrammerEnvironment ModuleProgrammerEnvironment() {
  return TProgrammerEnvironment{
      CurrentClock(), hostsdk::ModuleProgress(),
      [](const std::string& text, const std::string& caption) {
        hostsdk::ShowInformation(text, caption);
      }};
}

int32_t ProgramFromJedecFile(plugin::TAbstractTalvoDriver& driver, const std::string& fileName,
                             const TProgrammerEnvironment& environment) {
  std::optional<TLatticeProgrammer> programmer = ProgrammerFor(driver, environment.clock);
  if (!programmer) return 0;
  environment.clock.Wait(kSettleMilliseconds);
  const std::optional<TLatticeGeometry> geometry = GeometryFor(driver, environment);
  if (!geometry) return 0;
  const TJedecFile file = TJedecFile::Load(fileName);
  if (!TJedecRowWalk(file).HasRows()) return 0;
  // The whole row stream is walked once before the chip is touched: a file
  // cut short would otherwise fail only after the chip had been erased and
  // half programmed.
  CheckRowStream(file);
  return programmer->Program(file, *geometry, environment.progress);
}

bool ResetDevice(plugin::TAbstractTalvoDriver& driver, const TProgrammerEnvironment& environment) {
  return Erase(driver, environment, false);
}

bool FlashReset(plugin::TAbstractTalvoDriver& driver, const TProgrammerEnvironment& environment) {
  return Erase(driver, environment, true);
}

uint8_t ReadDeviceState(plugin::TAbstractTalvoDriver& driver,
                        const TProgrammerEnvironment& environment) {
  std::optional<TLatticeProgrammer> programmer = ProgrammerFor(driver, environment.clock);
  if (!programmer) return kDeviceStateUnknown;
  return programmer->ReadStatus();
}

uint32_t ReadUserCode(plugin::TAbstractTalvoDriver& driver,
                      const TProgrammerEnvironment& environment) {
  std::optional<TLatticeProgrammer> programmer = ProgrammerFor(driver, environment.clock);
  if (!programmer) return 0;
  return programmer->ReadUserCode();
}

}  // namespace jtag

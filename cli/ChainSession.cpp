#include "cli/ChainSession.h"

#include <cstdio>
#include <filesystem>
#include <stdexcept>

#include "automation/HostCall.h"
#include "sim/FlashImage.h"

namespace cli {

namespace {

constexpr DISPID kGetIdCode = 503379;
constexpr DISPID kGetInstructionLength = 503408;
constexpr uint32_t kPartIdMask = 0x0FFFFFFF;  // the top four bits are the silicon revision
constexpr const char* kDefaultDevice = "LCMXO2-1200HC-4TG100C";

std::string Hex(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", value);
  return text;
}

}  // namespace

ChainSession::ChainSession(DriverSession& session, ChainOptions options)
    : session_(session), options_(std::move(options)) {
  automation::ComPtr<IDispatch> driver;
  if (!options_.device.empty()) {
    const auto kind = session_.FindKind(options_.device);
    if (!kind) throw std::invalid_argument(UnknownDeviceMessage(session_, options_.device));
    driver = session_.Driver(*kind);
  }
  target_ = host::MakeCable(options_.cable,
                            options_.device.empty() ? kDefaultDevice : options_.device);
  cableName_ = target_.cable->Name();
  LoadImage();
  target_.cable->Open();
  scanned_ = host::ScanChain(*target_.cable);
  if (scanned_.empty())
    throw std::runtime_error("no device answers on " + cableName_ + " (TDO stuck at 1?)");
  if (!driver) return;
  port_ = host::JTagPort::Create(cableName_, target_.cable, Describe(driver));
  session_.Host().AddJTagPort(automation::ComPtr<IDispatch>(port_.Get()));
}

ChainSession::~ChainSession() {
  if (port_) port_->Shutdown();
  try {
    if (target_.cable) target_.cable->Close();
  } catch (...) {
    // The command's own result has been reported; a cable that fails to
    // close changes nothing about it.
  }
}

host::ChainDescription ChainSession::Describe(automation::ComPtr<IDispatch> driver) {
  const auto index = static_cast<size_t>(options_.index);
  if (options_.index < 0 || index >= scanned_.size())
    throw std::invalid_argument("--index " + std::to_string(options_.index) + " is outside the chain of " +
                                std::to_string(scanned_.size()) + " device(s) on " + cableName_);
  const auto expected = static_cast<uint32_t>(automation::HostCallInt(driver.Get(), kGetIdCode));
  const uint32_t found = scanned_[index].idCode;
  if ((found & kPartIdMask) != (expected & kPartIdMask))
    throw std::runtime_error("the chip at index " + std::to_string(index) + " has IDCODE " + Hex(found) +
                             ", but " + options_.device + " has " + Hex(expected) +
                             "; refusing to talk to the wrong part");
  host::ChainDescription chain;
  for (size_t i = 0; i < scanned_.size(); ++i) {
    host::ChainDeviceSpec chip;
    chip.idCode = scanned_[i].idCode;
    const auto parts = scanned_[i].idCode ? PartsWithIdCode(scanned_[i].idCode) : std::vector<std::string>{};
    if (i == index) {
      chip.name = options_.device;
      chip.irLength = static_cast<size_t>(automation::HostCallInt(driver.Get(), kGetInstructionLength));
      chip.driver = driver;
      chip.bsdlFile = options_.bsdl;
    } else if (!parts.empty()) {
      chip.name = parts.front();
      chip.irLength = 8;
    } else {
      throw std::runtime_error("device " + std::to_string(i) + " (IDCODE " + Hex(scanned_[i].idCode) +
                               ") is not a MachXO2; its instruction length is unknown");
    }
    chain.push_back(std::move(chip));
  }
  return chain;
}

IDispatch* ChainSession::Device() const {
  if (!port_) throw std::logic_error("no part chosen for the chain");
  return port_->Device(static_cast<size_t>(options_.index)).Get();
}

std::vector<std::string> ChainSession::PartsWithIdCode(uint32_t idCode) {
  std::vector<std::string> parts;
  const auto& names = session_.DeviceNames();
  for (size_t kind = 0; kind < names.size(); ++kind) {
    auto driver = session_.Driver(static_cast<int32_t>(kind));
    const auto code = static_cast<uint32_t>(automation::HostCallInt(driver.Get(), kGetIdCode));
    if ((code & kPartIdMask) == (idCode & kPartIdMask)) parts.push_back(names[kind]);
  }
  return parts;
}

void ChainSession::LoadImage() {
  if (options_.image.empty()) return;
  if (target_.simChips.empty())
    throw std::invalid_argument("--image keeps the in-process chip's flash; it needs the sim cable");
  auto& chip = ImageChip();
  std::error_code error;
  if (!std::filesystem::exists(options_.image, error)) return;  // a new chip starts erased
  chip.LoadFlash(sim::LoadFlashImage(options_.image, chip.Part()));
}

void ChainSession::SaveImage() {
  if (options_.image.empty() || target_.simChips.empty()) return;
  const auto& chip = ImageChip();
  sim::SaveFlashImage(options_.image, chip.Part(), chip.Flash());
}

// The image belongs to the chip the command works on: on a chain of several
// models, keeping another chip's flash would drop what was just programmed.
sim::MachXO2Device& ChainSession::ImageChip() const {
  const auto index = static_cast<size_t>(options_.index);
  if (options_.index < 0 || index >= target_.simChips.size())
    throw std::invalid_argument("--index " + std::to_string(options_.index) +
                                " is outside the chain of " +
                                std::to_string(target_.simChips.size()) + " chip model(s)");
  return *target_.simChips[index];
}

}  // namespace cli

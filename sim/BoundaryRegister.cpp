#include "sim/BoundaryRegister.h"

#include <stdexcept>

#include "sim/PackedBits.h"

namespace sim {

namespace {

std::vector<BoundaryPin> CellPins(size_t length) {
  std::vector<BoundaryPin> pins(length);
  for (size_t cell = 0; cell < length; ++cell) {
    pins[cell].name = std::to_string(cell);
    pins[cell].inputCell = static_cast<int>(cell);
  }
  return pins;
}

void CheckCell(int cell, size_t length, const BoundaryPin& pin, const char* role) {
  if (cell < -1 || cell >= static_cast<int>(length))
    throw std::invalid_argument("pin " + pin.name + ": " + role + " cell " + std::to_string(cell) +
                                " is outside the boundary register of " + std::to_string(length) +
                                " cells");
}

}  // namespace

BoundaryRegister::BoundaryRegister(size_t length)
    : length_(length), latches_(PackedBytes(length), 0) {
  if (length == 0) throw std::invalid_argument("a boundary register needs at least one cell");
  SetPinMap(CellPins(length));
}

void BoundaryRegister::SetPinMap(std::vector<BoundaryPin> pins) {
  std::map<std::string, size_t, std::less<>> byName;
  for (size_t i = 0; i < pins.size(); ++i) {
    const BoundaryPin& pin = pins[i];
    CheckCell(pin.inputCell, length_, pin, "input");
    CheckCell(pin.outputCell, length_, pin, "output");
    CheckCell(pin.controlCell, length_, pin, "control");
    if (!byName.emplace(pin.name, i).second)
      throw std::invalid_argument("pin " + pin.name + " appears twice in the pin map");
  }
  std::vector<uint8_t> levels(pins.size(), 0);
  for (const auto& [name, index] : byName_)
    if (auto kept = byName.find(name); kept != byName.end()) levels[kept->second] = boardLevels_[index];
  pins_ = std::move(pins);
  byName_ = std::move(byName);
  boardLevels_ = std::move(levels);
}

size_t BoundaryRegister::PinIndex(std::string_view pin) const {
  auto found = byName_.find(pin);
  if (found == byName_.end())
    throw std::invalid_argument("the chip has no boundary-scan pin named '" + std::string(pin) + "'");
  return found->second;
}

void BoundaryRegister::SetPinLevel(std::string_view pin, bool level) {
  boardLevels_[PinIndex(pin)] = level ? 1 : 0;
}

bool BoundaryRegister::Latch(int cell) const {
  return (latches_[static_cast<size_t>(cell) / 8] >> (cell % 8)) & 1;
}

std::optional<bool> BoundaryRegister::Driven(const BoundaryPin& pin) const {
  if (!extest_ || pin.outputCell < 0) return std::nullopt;
  if (pin.controlCell >= 0 && Latch(pin.controlCell) == pin.disableValue) return std::nullopt;
  return Latch(pin.outputCell);
}

std::optional<bool> BoundaryRegister::DrivenLevel(std::string_view pin) const {
  return Driven(pins_[PinIndex(pin)]);
}

bool BoundaryRegister::PinLevel(std::string_view pin) const {
  const size_t index = PinIndex(pin);
  if (auto driven = Driven(pins_[index])) return *driven;
  return boardLevels_[index] != 0;
}

void BoundaryRegister::Capture(uint8_t* packed) const {
  CopyBits(packed, 0, latches_.data(), length_, 0, length_);
  for (size_t i = 0; i < pins_.size(); ++i) {
    const BoundaryPin& pin = pins_[i];
    if (pin.inputCell < 0) continue;
    const std::optional<bool> driven = Driven(pin);
    const bool level = driven ? *driven : boardLevels_[i] != 0;
    WriteBits(packed, static_cast<size_t>(pin.inputCell), 1, level ? 1 : 0);
  }
}

void BoundaryRegister::Update(const uint8_t* packed) {
  CopyBits(latches_.data(), 0, packed, length_, 0, length_);
}

}  // namespace sim

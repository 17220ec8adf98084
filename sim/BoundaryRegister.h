// The boundary register of a chip model and the board levels around it.
//
// Each pin has a level that the board (a test, a script) sets; SAMPLE
// captures it into the pin's input cell. EXTEST drives a pin from its
// output cell while its control cell enables the driver, and the pin's
// input then sees the driven level.
//
// Which cell serves which pin comes from the chip's boundary-scan
// description. Until a pin map is supplied, every cell N is the input cell
// of a pin named "N", so levels can be set and sampled by cell number.
//
// Modelling choices: a pin the board never set is low. Cells that are not
// input cells capture the value last updated into them (the model has no
// core logic to capture from), so PRELOAD followed by SAMPLE reads the
// preloaded value back there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

struct BoundaryPin {
  std::string name;
  int inputCell = -1;    // captures the pin's level; -1: none
  int outputCell = -1;   // drives the pin under EXTEST; -1: none (the same
                         // cell as inputCell for a bidirectional cell)
  int controlCell = -1;  // enables the driver; -1: always enabled
  bool disableValue = true;  // the control cell value that turns the driver off
};

class BoundaryRegister {
 public:
  explicit BoundaryRegister(size_t length);

  size_t Length() const { return length_; }

  // Replaces the pin map. Throws std::invalid_argument for a cell outside
  // the register or a pin name given twice; board levels are kept for pins
  // whose names survive.
  void SetPinMap(std::vector<BoundaryPin> pins);
  const std::vector<BoundaryPin>& Pins() const { return pins_; }

  // The level the board puts on `pin`; throws std::invalid_argument naming
  // an unknown pin.
  void SetPinLevel(std::string_view pin, bool level);
  // The level on `pin`: the chip's own under EXTEST, else the board's.
  bool PinLevel(std::string_view pin) const;
  // The level the chip drives onto `pin`, when it drives it.
  std::optional<bool> DrivenLevel(std::string_view pin) const;

  // The TAP side: what Capture-DR loads (packed, Length() bits), what
  // Update-DR latches, and whether EXTEST is the current instruction.
  void Capture(uint8_t* packed) const;
  void Update(const uint8_t* packed);
  void SetExtest(bool on) { extest_ = on; }

 private:
  size_t PinIndex(std::string_view pin) const;
  bool Latch(int cell) const;
  std::optional<bool> Driven(const BoundaryPin& pin) const;

  size_t length_;
  std::vector<BoundaryPin> pins_;
  std::map<std::string, size_t, std::less<>> byName_;
  std::vector<uint8_t> boardLevels_;  // per pin
  std::vector<uint8_t> latches_;      // update latches, packed
  bool extest_ = false;
};

}  // namespace sim

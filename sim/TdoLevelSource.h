// A chain device that can tell the level it drives on TDO right now,
// between two TCK edges. A bit-bang server needs it: its client asks for
// TDO before it raises TCK, while ChainDevice::Clock reports TDO only as
// part of a clock cycle.
#pragma once

namespace sim {

class TdoLevelSource {
 public:
  virtual ~TdoLevelSource() = default;
  // The level on TDO until the next falling TCK edge (1 while not shifting:
  // the line floats and is pulled up).
  virtual bool TdoLevel() const = 0;
};

}  // namespace sim

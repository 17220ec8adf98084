#include "sim/MachXO2Timing.h"

namespace sim {

using std::chrono::microseconds;
using std::chrono::milliseconds;

SimClock SteadySimClock() {
  return [] {
    return std::chrono::duration_cast<SimDuration>(
        std::chrono::steady_clock::now().time_since_epoch());
  };
}

MachXO2Timing MachXO2Timing::Realistic() {
  MachXO2Timing timing;
  timing.sramErase = milliseconds(5);
  timing.featureRowErase = milliseconds(50);
  timing.configurationErase = milliseconds(1500);
  timing.userFlashErase = milliseconds(500);
  timing.pageProgram = microseconds(200);
  timing.rowProgram = microseconds(200);
  timing.refresh = milliseconds(5);
  return timing;
}

}  // namespace sim

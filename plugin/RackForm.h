// The hard-device viewer form a driver may own, as the driver sees it.
#pragma once

#include "automation/ComTypes.h"

namespace plugin {

class TRackForm {
 public:
  virtual ~TRackForm() = default;
  // Gives the form the chain device it shows (null when unbound).
  virtual void SetTalvoDevice(IDispatch* device) = 0;
};

}  // namespace plugin

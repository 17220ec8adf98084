// Boundary tests load Device_MachXO2.TLV through its exports, with the
// stand-in host of this process as its host, and talk to drivers only
// through IDispatch::Invoke.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "automation/ComPtr.h"
#include "automation/Variant.h"
#include "host/StandInHost.h"

namespace boundary {

using automation::ComPtr;
using automation::Variant;

// The process's host with the module loaded. It lives for the whole test
// program: the module keeps the host objects it found for its own life.
host::StandInHost& Host();
ComPtr<IDispatch> Driver(int32_t kind);

struct CallResult {
  HRESULT status = S_OK;
  Variant value;
  std::string error;  // the description a failed operation reported
  UINT argErr = 0xFFFFFFFFu;
};

// Invokes `id` with `args` given first to last; `value` starts as `seed`.
CallResult Call(IDispatch* target, DISPID id, std::vector<Variant> args = {},
                Variant seed = Variant());

}  // namespace boundary

// Calls a dispatch object by DISPID the way the host does and keeps both
// the status and the result variant, so tests can check each.
#pragma once

#include <initializer_list>
#include <vector>

#include "automation/ComTypes.h"
#include "automation/Variant.h"

namespace testsupport {

struct DispatchOutcome {
  HRESULT status = S_OK;
  automation::Variant result;
};

// Arguments first to last; they are passed in reverse, as the host passes them.
inline DispatchOutcome CallDispatch(IDispatch* target, DISPID id,
                                    std::initializer_list<automation::Variant> args = {}) {
  std::vector<automation::Variant> reversed(args.begin(), args.end());
  std::vector<VARIANT> raw;
  for (auto it = reversed.rbegin(); it != reversed.rend(); ++it) raw.push_back(*it->Raw());
  DISPPARAMS params{raw.data(), nullptr, static_cast<UINT>(raw.size()), 0};
  DispatchOutcome outcome;
  outcome.status = target->Invoke(id, automation::kIID_NULL, 0, DISPATCH_METHOD, &params,
                                  outcome.result.Raw(), nullptr, nullptr);
  return outcome;
}

}  // namespace testsupport

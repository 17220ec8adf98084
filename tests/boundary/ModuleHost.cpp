#include "tests/boundary/ModuleHost.h"

#include "automation/WideText.h"

namespace boundary {

host::StandInHost& Host() {
  static host::StandInHost* host = [] {
    host::StandInHostOptions options;
    options.virtualTime = true;  // fixed waits are recorded, not slept
    auto* made = new host::StandInHost(options);
    made->LoadModule(host::ProgramFolder() + MXO2_MODULE_FILE);
    return made;
  }();
  return *host;
}

ComPtr<IDispatch> Driver(int32_t kind) { return Host().Module().CreateDriver(kind); }

CallResult Call(IDispatch* target, DISPID id, std::vector<Variant> args, Variant seed) {
  std::vector<VARIANT> reversed;
  for (auto it = args.rbegin(); it != args.rend(); ++it) reversed.push_back(*it->Raw());
  DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  CallResult result;
  result.value = std::move(seed);
  EXCEPINFO info{};
  result.status = target->Invoke(id, automation::kIID_NULL, 0, DISPATCH_METHOD, &params,
                                 result.value.Raw(), &info, &result.argErr);
  result.error = automation::FromBstr(info.bstrDescription);
  SysFreeString(info.bstrSource);
  SysFreeString(info.bstrDescription);
  SysFreeString(info.bstrHelpFile);
  return result;
}

}  // namespace boundary

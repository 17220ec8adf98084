#include "automation/HostCall.h"

#include <cstdio>
#include <vector>

#include "automation/WideText.h"

namespace automation {

namespace {

std::string Describe(DISPID id, HRESULT status, EXCEPINFO& info) {
  // A callee may defer filling in its exception until the caller asks.
  if (info.pfnDeferredFillIn) info.pfnDeferredFillIn(&info);
  // The callee's own words say what failed; the call's number and status
  // only help when it gave none.
  std::string text = FromBstr(info.bstrDescription);
  if (text.empty()) {
    char head[80];
    std::snprintf(head, sizeof head, "dispatch call %d failed (0x%08X)", static_cast<int>(id),
                  static_cast<unsigned>(status));
    text = head;
  }
  SysFreeString(info.bstrSource);
  SysFreeString(info.bstrDescription);
  SysFreeString(info.bstrHelpFile);
  return text;
}

}  // namespace

EHostCallFailed::EHostCallFailed(DISPID id, HRESULT status, const std::string& description)
    : std::runtime_error(description), id_(id), status_(status) {}

Variant HostCall(IDispatch* target, DISPID id, std::initializer_list<Variant> args) {
  if (!target) throw EMissingHostObject("dispatch call " + std::to_string(id) + " on a null object");
  std::vector<VARIANT> reversed;
  reversed.reserve(args.size());
  for (auto it = args.end(); it != args.begin();) {
    --it;
    reversed.push_back(*it->Raw());  // shallow: `args` keeps ownership
  }
  DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  Variant result;
  EXCEPINFO info{};
  UINT argErr = 0;
  const HRESULT hr = target->Invoke(id, kIID_NULL, 0, DISPATCH_METHOD | DISPATCH_PROPERTYGET,
                                    &params, result.Raw(), &info, &argErr);
  if (FAILED(hr)) throw EHostCallFailed(id, hr, Describe(id, hr, info));
  return result;
}

void HostCallVoid(IDispatch* target, DISPID id, std::initializer_list<Variant> args) {
  HostCall(target, id, args);
}

int32_t HostCallInt(IDispatch* target, DISPID id, std::initializer_list<Variant> args) {
  return ToInt32(*HostCall(target, id, args).Raw());
}

bool HostCallBool(IDispatch* target, DISPID id, std::initializer_list<Variant> args) {
  return ToBool(*HostCall(target, id, args).Raw());
}

std::string HostCallString(IDispatch* target, DISPID id, std::initializer_list<Variant> args) {
  Variant result = HostCall(target, id, args);
  if (result.IsEmpty()) return {};
  return ToString(*result.Raw());
}

ComPtr<IDispatch> HostCallDispatch(IDispatch* target, DISPID id,
                                   std::initializer_list<Variant> args) {
  return ToDispatch(*HostCall(target, id, args).Raw());
}

}  // namespace automation

// The one helper that calls a dispatch object by DISPID. Arguments are given
// first to last and passed in reverse, as dispatch calls expect; a failure
// status from the callee is raised as EHostCallFailed, so a failing host
// call ends the operation in progress the way any other error does.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <string>

#include "automation/ComPtr.h"
#include "automation/Variant.h"

namespace automation {

class EHostCallFailed : public std::runtime_error {
 public:
  EHostCallFailed(DISPID id, HRESULT status, const std::string& description);
  DISPID DispId() const { return id_; }
  HRESULT Status() const { return status_; }

 private:
  DISPID id_;
  HRESULT status_;
};

class EMissingHostObject : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Calls `target` (which must not be null) and returns its result variant.
Variant HostCall(IDispatch* target, DISPID id, std::initializer_list<Variant> args = {});

// Typed forms: the result converted by the platform's variant rules.
void HostCallVoid(IDispatch* target, DISPID id, std::initializer_list<Variant> args = {});
int32_t HostCallInt(IDispatch* target, DISPID id, std::initializer_list<Variant> args = {});
bool HostCallBool(IDispatch* target, DISPID id, std::initializer_list<Variant> args = {});
std::string HostCallString(IDispatch* target, DISPID id, std::initializer_list<Variant> args = {});
ComPtr<IDispatch> HostCallDispatch(IDispatch* target, DISPID id,
                                   std::initializer_list<Variant> args = {});

}  // namespace automation

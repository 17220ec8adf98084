// A stand-in host object for unit tests: an IDispatch that records every
// Invoke and answers from a table.
//
//   RecordingDispatch gui;
//   gui.results[600005] = automation::Variant::Int(7);      // a fixed answer
//   gui.handlers[600006] = [](const RecordedCall& call, VARIANT* result) {
//     automation::SetResult(result, int32_t{42});
//     return S_OK;
//   };
//   gui.failures[600007] = E_FAIL;                          // a failing call
//   ... code under test calls &gui ...
//   EXPECT_EQ(gui.calls[0].id, 600201);
//   EXPECT_EQ(gui.calls[0].args, (std::vector<std::string>{"-3", ""}));
//
// Arguments are recorded first to last (dispatch calls pass them in
// reverse), each as text by the platform's conversion rules and as a copy of
// the variant (a copy of an object argument holds a reference to it until
// `calls` is cleared). Unknown DISPIDs succeed with an empty result unless
// `unknownStatus` says otherwise. AddRef and Release only count, so the
// object may live on the stack; RefCount() shows references left behind.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "automation/ComTypes.h"
#include "automation/Variant.h"

namespace testsupport {

struct RecordedCall {
  DISPID id = 0;
  std::vector<std::string> args;            // first to last, as text
  std::vector<automation::Variant> values;  // first to last, copies

  // The argument at `index` as a number (throws when it is not one).
  int32_t Int(size_t index) const { return automation::ToInt32(*values.at(index).Raw()); }
};

class RecordingDispatch : public IDispatch {
 public:
  using Handler = std::function<HRESULT(const RecordedCall& call, VARIANT* result)>;

  RecordingDispatch() = default;
  RecordingDispatch(const RecordingDispatch&) = delete;
  RecordingDispatch& operator=(const RecordingDispatch&) = delete;
  virtual ~RecordingDispatch() = default;

  std::vector<RecordedCall> calls;
  std::map<DISPID, automation::Variant> results;
  std::map<DISPID, Handler> handlers;
  std::map<DISPID, HRESULT> failures;
  HRESULT unknownStatus = S_OK;

  int32_t RefCount() const { return refCount_; }

  // The recorded calls of one DISPID, in order.
  std::vector<RecordedCall> CallsTo(DISPID id) const {
    std::vector<RecordedCall> matching;
    for (const RecordedCall& call : calls)
      if (call.id == id) matching.push_back(call);
    return matching;
  }
  std::vector<DISPID> CalledIds() const {
    std::vector<DISPID> ids;
    for (const RecordedCall& call : calls) ids.push_back(call.id);
    return ids;
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (!automation::SameGuid(riid, automation::kIID_IUnknown) &&
        !automation::SameGuid(riid, automation::kIID_IDispatch))
      return E_NOINTERFACE;
    *object = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++refCount_); }
  ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--refCount_); }

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count) *count = 0;
    return S_OK;
  }
#ifdef _WIN32
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
#else
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, void**) override { return E_NOTIMPL; }
#endif
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }

  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO*, UINT*) override {
    calls.push_back(Record(id, params));
    const RecordedCall& call = calls.back();
    if (const auto failure = failures.find(id); failure != failures.end()) return failure->second;
    if (const auto handler = handlers.find(id); handler != handlers.end())
      return handler->second(call, result);
    if (const auto answer = results.find(id); answer != results.end()) {
      if (result) {
        VariantClear(result);
        VariantCopy(result, answer->second.Raw());
      }
      return S_OK;
    }
    return unknownStatus;
  }

 private:
  static std::string AsText(const VARIANT& value) {
    if (value.vt == VT_EMPTY || value.vt == VT_NULL) return {};
    if (value.vt == VT_DISPATCH || value.vt == VT_UNKNOWN) return "<object>";
    try {
      return automation::ToString(value);
    } catch (const std::exception&) {
      return "<vt " + std::to_string(value.vt) + ">";
    }
  }

  static RecordedCall Record(DISPID id, const DISPPARAMS* params) {
    RecordedCall call;
    call.id = id;
    if (!params) return call;
    for (UINT i = params->cArgs; i > 0; --i) {
      const VARIANT& argument = params->rgvarg[i - 1];
      call.args.push_back(AsText(argument));
      automation::Variant copy;
      // Some SDKs declare the source without const; it is only read.
      VariantCopy(copy.Raw(), const_cast<VARIANT*>(&argument));
      call.values.push_back(std::move(copy));
    }
    return call;
  }

  int32_t refCount_ = 0;
};

}  // namespace testsupport

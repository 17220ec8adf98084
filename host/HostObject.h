// The base of the stand-in host's dispatch objects: a reference-counted
// IDispatch whose operations are handlers registered by DISPID. Arguments
// are read first to last (the callee sees them reversed in rgvarg, as every
// dispatch call passes them).
#pragma once

#include <functional>
#include <string>
#include <unordered_map>

#include "automation/ComPtr.h"
#include "automation/ComTypes.h"
#include "automation/Variant.h"

namespace host {

using automation::ComPtr;
using automation::Variant;

class Args {
 public:
  explicit Args(const DISPPARAMS* params) : params_(params) {}
  size_t Count() const { return params_ ? params_->cArgs : 0; }
  // Argument `i` counted from the first; throws when it is missing.
  const VARIANT& Raw(size_t i) const;
  int32_t Int(size_t i) const { return automation::ToInt32(Raw(i)); }
  int64_t Int64(size_t i) const { return automation::ToInt64(Raw(i)); }
  bool Bool(size_t i) const { return automation::ToBool(Raw(i)); }
  std::string String(size_t i) const { return automation::ToString(Raw(i)); }
  ComPtr<IDispatch> Dispatch(size_t i) const { return automation::ToDispatch(Raw(i)); }

 private:
  const DISPPARAMS* params_;
};

class HostObject : public IDispatch {
 public:
  using Handler = std::function<Variant(const Args&)>;

  HostObject() = default;
  HostObject(const HostObject&) = delete;
  HostObject& operator=(const HostObject&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++refCount_); }
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
#ifdef _WIN32
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
#else
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, void**) override { return E_NOTIMPL; }
#endif
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags,
                                   DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo,
                                   UINT* argErr) override;

  IDispatch* AsDispatch() { return this; }

 protected:
  virtual ~HostObject() = default;
  void On(DISPID id, Handler handler) { handlers_[id] = std::move(handler); }

 private:
  std::unordered_map<DISPID, Handler> handlers_;
  int32_t refCount_ = 0;
};

// Makes a counted host object and holds the first reference.
template <class T, class... A>
ComPtr<T> MakeHostObject(A&&... args) {
  return ComPtr<T>(new T(std::forward<A>(args)...));
}

}  // namespace host

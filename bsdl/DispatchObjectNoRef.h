// IDispatch for objects that the module keeps for its own life and also
// hands to the host: the owner frees them explicitly, so acquiring or
// releasing a reference does nothing. The base answers every dispatch call
// with E_NOTIMPL; subclasses give Invoke a meaning.
#pragma once

#include "automation/ComTypes.h"

namespace bsdl {

class TDispatchObjectNoRef : public IDispatch {
 public:
  TDispatchObjectNoRef(const TDispatchObjectNoRef&) = delete;
  TDispatchObjectNoRef& operator=(const TDispatchObjectNoRef&) = delete;
  virtual ~TDispatchObjectNoRef() = default;

  // IUnknown: answers IUnknown and IDispatch; references are not counted.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return 0; }
  ULONG STDMETHODCALLTYPE Release() override { return 0; }

  // IDispatch: no type information, no name lookup, no operations.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
#ifdef _WIN32
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
#else
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, void** info) override;
#endif
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid,
                                          DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags,
                                   DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo,
                                   UINT* argErr) override;

  IDispatch* AsDispatch() { return this; }

 protected:
  TDispatchObjectNoRef() = default;
};

}  // namespace bsdl

// The base of every object the module hands to the host: IUnknown,
// IDispatch (Invoke by DISPID only; no type information or name lookup) and
// ISupportService (which host services the object implements, by name).
#pragma once

#include <cstdint>
#include <string>

#include "automation/ComPtr.h"
#include "automation/ComTypes.h"
#include "plugin/DispatchTable.h"
#include "plugin/ServiceInterfaces.h"

namespace plugin {

class TAbstractSupportService : public IDispatch, public ISupportService {
 public:
  TAbstractSupportService() = default;
  TAbstractSupportService(const TAbstractSupportService&) = delete;
  TAbstractSupportService& operator=(const TAbstractSupportService&) = delete;

  // IUnknown. Counted by default; objects that live as long as the module
  // override AddRef/Release to do nothing.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // IDispatch.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
#ifdef _WIN32
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
#else
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, void** info) override;
#endif
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid,
                                          DISPID* ids) override;
  // Owns DISPID 1023 (SupportsService); E_NOTIMPL for every other DISPID.
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags,
                                   DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo,
                                   UINT* argErr) override;

  // ISupportService.
  HRESULT STDMETHODCALLTYPE SupportsService(BSTR name, VARIANT_BOOL* result) override;

  // Which host services this object implements; the base implements none.
  virtual bool SupportsServiceName(const std::string& name);

  IDispatch* AsDispatch() { return static_cast<IDispatch*>(this); }

 protected:
  virtual ~TAbstractSupportService() = default;
  // Further interfaces of a subclass; null when it has none for `riid`.
  virtual void* QueryOwnInterface(REFIID riid) { return nullptr; }

 private:
  int32_t refCount_ = 0;
};

// The service query of the host SDK: true when `object` answers
// ISupportService and says it implements `name`. A failure status of the
// object's SupportsService is raised.
bool SupportsService(IUnknown* object, const std::string& name);

// Text comparison without regard to ASCII letter case.
bool SameText(std::string_view a, std::string_view b);

}  // namespace plugin

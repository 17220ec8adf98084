#include "plugin/SupportService.h"

#include <stdexcept>

#include "automation/WideText.h"

namespace plugin {

namespace {

HRESULT InvokeSupportsService(TAbstractSupportService& self, const InvokeArgs& call) {
  return Row<&TAbstractSupportService::SupportsServiceName>(kDispId_SupportsService).run(self, call);
}

}  // namespace

bool SameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 32);
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 32);
    if (x != y) return false;
  }
  return true;
}

HRESULT ReportOperationFailure(const InvokeArgs& call, const char* what) noexcept {
  if (call.excepInfo) {
    EXCEPINFO& info = *call.excepInfo;
    info = EXCEPINFO{};
    info.scode = E_UNEXPECTED;
    try {
      info.bstrSource = automation::AllocBstr("Device_MachXO2");
      info.bstrDescription = automation::AllocBstr(what ? what : "");
    } catch (...) {
      // Without memory for the text the status alone still tells the failure.
    }
  }
  return DISP_E_EXCEPTION;
}

HRESULT TAbstractSupportService::QueryInterface(REFIID riid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (automation::SameGuid(riid, automation::kIID_IUnknown) ||
      automation::SameGuid(riid, automation::kIID_IDispatch)) {
    *object = static_cast<IDispatch*>(this);
  } else if (automation::SameGuid(riid, kIID_ISupportService)) {
    *object = static_cast<ISupportService*>(this);
  } else {
    *object = QueryOwnInterface(riid);
  }
  if (!*object) return E_NOINTERFACE;
  AddRef();
  return S_OK;
}

ULONG TAbstractSupportService::AddRef() { return static_cast<ULONG>(++refCount_); }

ULONG TAbstractSupportService::Release() {
  const int32_t count = --refCount_;
  if (count == 0) delete this;
  return static_cast<ULONG>(count);
}

HRESULT TAbstractSupportService::GetTypeInfoCount(UINT*) { return E_NOTIMPL; }

#ifdef _WIN32
HRESULT TAbstractSupportService::GetTypeInfo(UINT, LCID, ITypeInfo**) { return E_NOTIMPL; }
#else
HRESULT TAbstractSupportService::GetTypeInfo(UINT, LCID, void**) { return E_NOTIMPL; }
#endif

HRESULT TAbstractSupportService::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
  return E_NOTIMPL;
}

HRESULT TAbstractSupportService::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params,
                                        VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr) {
  if (id != kDispId_SupportsService) return E_NOTIMPL;
  return InvokeSupportsService(*this, InvokeArgs{params, result, excepInfo, argErr});
}

HRESULT TAbstractSupportService::SupportsService(BSTR name, VARIANT_BOOL* result) {
  if (!result) return E_POINTER;
  try {
    *result = SupportsServiceName(automation::FromBstr(name)) ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

bool TAbstractSupportService::SupportsServiceName(const std::string&) { return false; }

bool SupportsService(IUnknown* object, const std::string& name) {
  if (!object) return false;
  ISupportService* support = nullptr;
  if (FAILED(object->QueryInterface(kIID_ISupportService, reinterpret_cast<void**>(&support))) ||
      !support)
    return false;
  auto holder = automation::ComPtr<ISupportService>::Adopt(support);
  BSTR text = automation::AllocBstr(name);
  VARIANT_BOOL flag = VARIANT_FALSE;
  const HRESULT hr = support->SupportsService(text, &flag);
  SysFreeString(text);
  if (FAILED(hr)) throw std::runtime_error("SupportsService failed for \"" + name + "\"");
  return flag != VARIANT_FALSE;
}

}  // namespace plugin

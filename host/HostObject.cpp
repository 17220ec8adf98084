#include "host/HostObject.h"

#include <stdexcept>

#include "automation/WideText.h"

namespace host {

const VARIANT& Args::Raw(size_t i) const {
  if (i >= Count())
    throw std::invalid_argument("argument " + std::to_string(i + 1) + " is missing");
  return params_->rgvarg[params_->cArgs - 1 - i];
}

HRESULT HostObject::QueryInterface(REFIID riid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (!automation::SameGuid(riid, automation::kIID_IUnknown) &&
      !automation::SameGuid(riid, automation::kIID_IDispatch))
    return E_NOINTERFACE;
  *object = static_cast<IDispatch*>(this);
  AddRef();
  return S_OK;
}

ULONG HostObject::Release() {
  const int32_t count = --refCount_;
  if (count == 0) delete this;
  return static_cast<ULONG>(count);
}

HRESULT HostObject::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result,
                           EXCEPINFO* excepInfo, UINT*) {
  auto it = handlers_.find(id);
  if (it == handlers_.end()) return DISP_E_MEMBERNOTFOUND;
  try {
    Variant answer = it->second(Args(params));
    if (result) {
      VariantClear(result);
      *result = answer.Detach();
    }
    return S_OK;
  } catch (const automation::EVariantConversion& e) {
    return e.Status();
  } catch (const std::exception& e) {
    if (excepInfo) {
      *excepInfo = EXCEPINFO{};
      excepInfo->scode = E_FAIL;
      excepInfo->bstrDescription = automation::AllocBstr(e.what());
    }
    return DISP_E_EXCEPTION;
  }
}

}  // namespace host

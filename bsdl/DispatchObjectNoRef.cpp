#include "bsdl/DispatchObjectNoRef.h"

namespace bsdl {

HRESULT TDispatchObjectNoRef::QueryInterface(REFIID riid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (!automation::SameGuid(riid, automation::kIID_IUnknown) &&
      !automation::SameGuid(riid, automation::kIID_IDispatch))
    return E_NOINTERFACE;
  *object = static_cast<IDispatch*>(this);
  return S_OK;
}

HRESULT TDispatchObjectNoRef::GetTypeInfoCount(UINT*) { return E_NOTIMPL; }

#ifdef _WIN32
HRESULT TDispatchObjectNoRef::GetTypeInfo(UINT, LCID, ITypeInfo**) { return E_NOTIMPL; }
#else
HRESULT TDispatchObjectNoRef::GetTypeInfo(UINT, LCID, void**) { return E_NOTIMPL; }
#endif

HRESULT TDispatchObjectNoRef::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
  return E_NOTIMPL;
}

HRESULT TDispatchObjectNoRef::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) {
  return E_NOTIMPL;
}

}  // namespace bsdl

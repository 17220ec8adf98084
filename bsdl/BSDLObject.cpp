#include "bsdl/BSDLObject.h"

#include <stdexcept>

#include "bsdl/BsdlViews.h"
#include "plugin/ServiceInterfaces.h"

namespace bsdl {

HRESULT ForwardToViews(std::span<const TImplementator> views, DISPID id, REFIID riid, LCID lcid,
                       WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo,
                       UINT* argErr) {
  HRESULT status = E_NOTIMPL;
  for (const TImplementator& view : views) {
    status = view.dispatch->Invoke(id, riid, lcid, flags, params, result, excepInfo, argErr);
    if (SUCCEEDED(status)) break;
  }
  return status;
}

TBSDLObject::TBSDLObject(TBSDLEntity& owner, TBSDLOwnerKey) : FEntity(&owner) {
  auto* view = new TBSDLObject_Impl(*this);
  AddImplementator(view->AsDispatch(), view);
}

TBSDLObject::~TBSDLObject() {
  for (TImplementator& view : FImplementators) view.link->Unlink();
}

void TBSDLObject::AddImplementator(IDispatch* view, TViewLink* link) {
  FImplementators.push_back(TImplementator{automation::ComPtr<IDispatch>(view), link});
}

IDispatch* TBSDLObject::GetImpl() const { return FImplementators.back().dispatch.Get(); }

HRESULT TBSDLObject::Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
                            VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr) {
  const HRESULT own =
      TDispatchObjectNoRef::Invoke(id, riid, lcid, flags, params, result, excepInfo, argErr);
  if (SUCCEEDED(own)) return own;
  // Every view answers SupportsService, the plain one only for
  // "BSDLObject"; the object implements what its most specific view does.
  if (id == plugin::kDispId_SupportsService)
    return GetImpl()->Invoke(id, riid, lcid, flags, params, result, excepInfo, argErr);
  return ForwardToViews(FImplementators, id, riid, lcid, flags, params, result, excepInfo, argErr);
}

std::string TBSDLObject::Description() const { return {}; }

std::string TBSDLObject::ShortDescription() const { return {}; }

void TBSDLObject::RequireSameEntity(const TBSDLObject* other, const char* what) const {
  if (other && &other->Entity() != FEntity)
    throw std::invalid_argument(std::string(what) + " belongs to another boundary-scan entity");
}

}  // namespace bsdl

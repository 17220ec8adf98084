// The base of every element of a boundary-scan entity (pins, cells, pin
// mappings, opcodes, register associations).
//
// A model object never leaves the driver by itself: the host reads it
// through host-facing views (counted dispatch objects) that the model
// object owns. The model object's own IDispatch forwards every call to its
// views, so the host may hold either and reach the same operations by
// DISPID. Model objects are not reference counted; the entity that created
// them frees them.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "automation/ComPtr.h"
#include "bsdl/DispatchObjectNoRef.h"

namespace bsdl {

class TBSDLEntity;

// Only an entity creates elements (TBSDLEntity::Create), so every element
// has an owner that frees it.
class TBSDLOwnerKey {
  friend class TBSDLEntity;
  TBSDLOwnerKey() = default;
};

// The side of a view that its model object talks to: when the model object
// goes, its views forget it, so a view the host still holds answers with a
// failure instead of reading freed memory.
class TViewLink {
 public:
  virtual void Unlink() = 0;

 protected:
  ~TViewLink() = default;
};

struct TImplementator {
  automation::ComPtr<IDispatch> dispatch;
  TViewLink* link = nullptr;
};

// Offers a dispatch call to each view in turn and stops at the first that
// succeeds; answers the status of the last call made (E_NOTIMPL when there
// is no view).
HRESULT ForwardToViews(std::span<const TImplementator> views, DISPID id, REFIID riid, LCID lcid,
                       WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo,
                       UINT* argErr);

class TBSDLObject : public TDispatchObjectNoRef {
 public:
  ~TBSDLObject() override;

  // Tries the base dispatch first, then the views (see ForwardToViews).
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags,
                                   DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo,
                                   UINT* argErr) override;

  // The long and the short text the views show; empty for a plain object.
  virtual std::string Description() const;
  virtual std::string ShortDescription() const;

  TBSDLEntity& Entity() const { return *FEntity; }
  // The most specific view: the last one added.
  IDispatch* GetImpl() const;
  // Every view, in the order added (the plain element view first).
  const std::vector<TImplementator>& Implementators() const { return FImplementators; }

 protected:
  // Adds the plain element view.
  TBSDLObject(TBSDLEntity& owner, TBSDLOwnerKey key);

  // Takes a counted reference to a new view.
  void AddImplementator(IDispatch* view, TViewLink* link);

  // Elements link only to elements of their own entity: a reference into
  // another entity would outlive that entity's objects.
  void RequireSameEntity(const TBSDLObject* other, const char* what) const;

 private:
  std::vector<TImplementator> FImplementators;
  TBSDLEntity* FEntity;
};

}  // namespace bsdl

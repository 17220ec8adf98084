#include "automation/Variant.h"

#include <cstdio>
#include <new>

#include "automation/WideText.h"

namespace automation {

namespace {

std::string DescribeConversion(HRESULT status, VARTYPE from, VARTYPE to) {
  char text[96];
  std::snprintf(text, sizeof text, "variant conversion from type %u to type %u failed (0x%08X)",
                static_cast<unsigned>(from), static_cast<unsigned>(to),
                static_cast<unsigned>(status));
  return text;
}

// Converts into a temporary of type `to`; throws with the platform status.
Variant Convert(const VARIANT& v, VARTYPE to) {
  Variant out;
  const HRESULT hr = VariantChangeType(out.Raw(), const_cast<VARIANT*>(&v), 0, to);
  if (FAILED(hr)) throw EVariantConversion(hr, v.vt, to);
  return out;
}

}  // namespace

EVariantConversion::EVariantConversion(HRESULT status, VARTYPE from, VARTYPE to)
    : std::runtime_error(DescribeConversion(status, from, to)), status_(status) {}

Variant::Variant(const Variant& other) {
  VariantInit(&v_);
  const HRESULT hr = VariantCopy(&v_, const_cast<VARIANT*>(&other.v_));
  if (FAILED(hr)) throw std::bad_alloc();
}

Variant::Variant(Variant&& other) noexcept : v_(other.v_) { VariantInit(&other.v_); }

Variant& Variant::operator=(Variant other) noexcept {
  std::swap(v_, other.v_);
  return *this;
}

Variant Variant::Int(int32_t value) {
  Variant r;
  r.v_.vt = VT_I4;
  r.v_.lVal = value;
  return r;
}

Variant Variant::Int64(int64_t value) {
  Variant r;
  r.v_.vt = VT_I8;
  r.v_.llVal = value;
  return r;
}

Variant Variant::Bool(bool value) {
  Variant r;
  r.v_.vt = VT_BOOL;
  r.v_.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  return r;
}

Variant Variant::Double(double value) {
  Variant r;
  r.v_.vt = VT_R8;
  r.v_.dblVal = value;
  return r;
}

Variant Variant::String(std::string_view utf8) {
  Variant r;
  r.v_.bstrVal = AllocBstr(utf8);
  r.v_.vt = VT_BSTR;
  return r;
}

Variant Variant::Dispatch(IDispatch* value) {
  Variant r;
  if (value) value->AddRef();
  r.v_.vt = VT_DISPATCH;
  r.v_.pdispVal = value;
  return r;
}

VARIANT Variant::Detach() {
  VARIANT out = v_;
  VariantInit(&v_);
  return out;
}

int32_t ToInt32(const VARIANT& v) {
  if (v.vt == VT_I4) return v.lVal;
  return Convert(v, VT_I4).Raw()->lVal;
}

int64_t ToInt64(const VARIANT& v) {
  if (v.vt == VT_I8) return v.llVal;
  return Convert(v, VT_I8).Raw()->llVal;
}

bool ToBool(const VARIANT& v) {
  if (v.vt == VT_BOOL) return v.boolVal != VARIANT_FALSE;
  return Convert(v, VT_BOOL).Raw()->boolVal != VARIANT_FALSE;
}

double ToDouble(const VARIANT& v) {
  if (v.vt == VT_R8) return v.dblVal;
  return Convert(v, VT_R8).Raw()->dblVal;
}

std::string ToString(const VARIANT& v) {
  if (v.vt == VT_BSTR) return FromBstr(v.bstrVal);
  return FromBstr(Convert(v, VT_BSTR).Raw()->bstrVal);
}

ComPtr<IDispatch> ToDispatch(const VARIANT& v) {
  switch (v.vt) {
    case VT_EMPTY:
    case VT_NULL:
      return nullptr;
    case VT_DISPATCH:
      return ComPtr<IDispatch>(v.pdispVal);
    case VT_DISPATCH | VT_BYREF:
      return ComPtr<IDispatch>(v.ppdispVal ? *v.ppdispVal : nullptr);
    case VT_VARIANT | VT_BYREF:
      if (!v.pvarVal) return nullptr;
      // A reference reaches one VARIANT holding a value, never another
      // VARIANT reference: a chain (or a VARIANT pointing at itself) is
      // refused as the platform's conversions refuse it.
      if (v.pvarVal->vt == (VT_VARIANT | VT_BYREF))
        throw EVariantConversion(DISP_E_TYPEMISMATCH, v.vt, VT_DISPATCH);
      return ToDispatch(*v.pvarVal);
    case VT_UNKNOWN:
    case VT_UNKNOWN | VT_BYREF: {
      IUnknown* unknown = v.vt == VT_UNKNOWN ? v.punkVal : (v.ppunkVal ? *v.ppunkVal : nullptr);
      if (!unknown) return nullptr;
      IDispatch* dispatch = nullptr;
      if (FAILED(unknown->QueryInterface(kIID_IDispatch, reinterpret_cast<void**>(&dispatch))))
        throw EVariantConversion(DISP_E_TYPEMISMATCH, v.vt, VT_DISPATCH);
      return ComPtr<IDispatch>::Adopt(dispatch);
    }
    default:
      throw EVariantConversion(DISP_E_TYPEMISMATCH, v.vt, VT_DISPATCH);
  }
}

void SetResult(VARIANT* out, int32_t value) {
  VariantClear(out);
  out->vt = VT_I4;
  out->lVal = value;
}

void SetResult(VARIANT* out, uint32_t value) { SetResult(out, static_cast<int32_t>(value)); }

void SetResultBool(VARIANT* out, bool value) {
  VariantClear(out);
  out->vt = VT_BOOL;
  out->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
}

void SetResult(VARIANT* out, int64_t value) {
  VariantClear(out);
  out->vt = VT_I8;
  out->llVal = value;
}

void SetResult(VARIANT* out, std::string_view utf8) {
  BSTR text = AllocBstr(utf8);  // before clearing: a failure leaves `out` as it was
  VariantClear(out);
  out->vt = VT_BSTR;
  out->bstrVal = text;
}

void SetResult(VARIANT* out, ComPtr<IDispatch> value) {
  VariantClear(out);
  out->vt = VT_DISPATCH;
  out->pdispVal = value.Detach();
}

}  // namespace automation

// An owned VARIANT and typed conversions over the platform's
// VariantChangeType. Conversions throw EVariantConversion carrying the
// platform's status (DISP_E_TYPEMISMATCH, DISP_E_OVERFLOW, ...).
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "automation/ComPtr.h"
#include "automation/ComTypes.h"

namespace automation {

class EVariantConversion : public std::runtime_error {
 public:
  EVariantConversion(HRESULT status, VARTYPE from, VARTYPE to);
  HRESULT Status() const { return status_; }

 private:
  HRESULT status_;
};

class Variant {
 public:
  Variant() { VariantInit(&v_); }
  Variant(const Variant& other);
  Variant(Variant&& other) noexcept;
  Variant& operator=(Variant other) noexcept;
  ~Variant() { VariantClear(&v_); }

  static Variant Int(int32_t value);
  static Variant Int64(int64_t value);
  static Variant Bool(bool value);
  static Variant Double(double value);
  static Variant String(std::string_view utf8);
  static Variant Dispatch(IDispatch* value);  // takes a new reference

  VARIANT* Raw() { return &v_; }
  const VARIANT* Raw() const { return &v_; }
  VARTYPE Type() const { return v_.vt; }
  bool IsEmpty() const { return v_.vt == VT_EMPTY; }

  // Releases the held value and hands the raw VARIANT over (for results).
  VARIANT Detach();

 private:
  VARIANT v_;
};

// Typed reads of any VARIANT by the platform's conversion rules.
int32_t ToInt32(const VARIANT& v);
int64_t ToInt64(const VARIANT& v);
bool ToBool(const VARIANT& v);
double ToDouble(const VARIANT& v);
std::string ToString(const VARIANT& v);
// The dispatch reference a VARIANT holds: VT_DISPATCH, VT_UNKNOWN answering
// IDispatch, their by-reference forms, or null for VT_EMPTY/VT_NULL. Any
// other type is a type mismatch rather than a pointer taken on trust.
ComPtr<IDispatch> ToDispatch(const VARIANT& v);

// Stores a result into a caller's VARIANT, clearing what it held first.
void SetResult(VARIANT* out, int32_t value);
void SetResult(VARIANT* out, uint32_t value);  // bit for bit as VT_I4
void SetResultBool(VARIANT* out, bool value);
void SetResult(VARIANT* out, int64_t value);
void SetResult(VARIANT* out, std::string_view utf8);
void SetResult(VARIANT* out, ComPtr<IDispatch> value);

}  // namespace automation

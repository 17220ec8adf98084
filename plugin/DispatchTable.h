// Dispatch tables as data. A row names a DISPID and a virtual operation;
// templates deduce the argument conversions from the operation's parameter
// types and the result conversion from its return type:
//
//   parameter            converted from the variant by
//   int32_t              VariantChangeType to VT_I4 (strings of digits pass)
//   int64_t              VariantChangeType to VT_I8
//   uint32_t             VariantChangeType to VT_I8, low 32 bits kept
//   const std::string&   VariantChangeType to VT_BSTR
//   IDispatch*           the dispatch reference (VT_DISPATCH, VT_UNKNOWN,
//                        by-reference forms, or empty for null)
//
//   return type          result variant
//   void                 not written
//   std::string          VT_BSTR
//   int32_t              VT_I4
//   uint32_t             VT_I4, bit for bit
//   uint8_t              VT_I4, zero-extended (8-bit enumerations)
//   bool                 VT_BOOL (-1 / 0)
//   int64_t              VT_I8
//   ComPtr<IDispatch>    VT_DISPATCH (null allowed)
//
// The operation's last argument is rgvarg[0], as dispatch calls pass them.
//
// Failure statuses of Invoke (the result variant is never written):
//   DISP_E_BADPARAMCOUNT  Params (or its rgvarg) is null or holds fewer
//                         arguments than the row
//   E_POINTER             the row has a result and VarResult is null
//   DISP_E_TYPEMISMATCH,  an argument did not convert; *ArgErr names its
//   DISP_E_OVERFLOW       rgvarg index
//   DISP_E_EXCEPTION      the operation failed; ExcepInfo, when given, holds
//                         scode 0x8000FFFF and the error's text
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <exception>
#include <string>
#include <tuple>
#include <utility>

#include "automation/ComPtr.h"
#include "automation/Variant.h"

namespace plugin {

struct InvokeArgs {
  DISPPARAMS* params;
  VARIANT* result;
  EXCEPINFO* excepInfo;
  UINT* argErr;
};

// Fills ExcepInfo (when given) and answers DISP_E_EXCEPTION.
HRESULT ReportOperationFailure(const InvokeArgs& call, const char* what) noexcept;

namespace detail {

template <class T>
struct ArgCodec;

template <>
struct ArgCodec<int32_t> {
  using Stored = int32_t;
  static Stored Read(const VARIANT& v) { return automation::ToInt32(v); }
  static int32_t Pass(Stored& s) { return s; }
};
template <>
struct ArgCodec<int64_t> {
  using Stored = int64_t;
  static Stored Read(const VARIANT& v) { return automation::ToInt64(v); }
  static int64_t Pass(Stored& s) { return s; }
};
template <>
struct ArgCodec<uint32_t> {
  using Stored = uint32_t;
  static Stored Read(const VARIANT& v) { return static_cast<uint32_t>(automation::ToInt64(v)); }
  static uint32_t Pass(Stored& s) { return s; }
};
template <>
struct ArgCodec<const std::string&> {
  using Stored = std::string;
  static Stored Read(const VARIANT& v) { return automation::ToString(v); }
  static const std::string& Pass(Stored& s) { return s; }
};
template <>
struct ArgCodec<IDispatch*> {
  using Stored = automation::ComPtr<IDispatch>;
  static Stored Read(const VARIANT& v) { return automation::ToDispatch(v); }
  static IDispatch* Pass(Stored& s) { return s.Get(); }
};

inline void WriteResult(VARIANT* out, const std::string& r) { automation::SetResult(out, r); }
inline void WriteResult(VARIANT* out, int32_t r) { automation::SetResult(out, r); }
inline void WriteResult(VARIANT* out, uint32_t r) { automation::SetResult(out, r); }
inline void WriteResult(VARIANT* out, uint8_t r) {
  automation::SetResult(out, static_cast<int32_t>(r));
}
inline void WriteResult(VARIANT* out, bool r) { automation::SetResultBool(out, r); }
inline void WriteResult(VARIANT* out, int64_t r) { automation::SetResult(out, r); }
inline void WriteResult(VARIANT* out, automation::ComPtr<IDispatch> r) {
  automation::SetResult(out, std::move(r));
}

template <class M>
struct MemberTraits;
template <class C, class R, class... A>
struct MemberTraits<R (C::*)(A...)> {
  using Class = C;
  using Result = R;
  using Args = std::tuple<A...>;
};

// Reads argument `I` of `N` into `slot`; the status of a failed conversion.
template <class A>
HRESULT ReadArg(const InvokeArgs& call, UINT index, typename ArgCodec<A>::Stored& slot) {
  try {
    slot = ArgCodec<A>::Read(call.params->rgvarg[index]);
    return S_OK;
  } catch (const automation::EVariantConversion& e) {
    if (call.argErr) *call.argErr = index;
    return e.Status();
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

template <auto Method, class... A, size_t... I>
HRESULT RunRow(typename MemberTraits<decltype(Method)>::Class& self, const InvokeArgs& call,
               std::index_sequence<I...>) {
  using Result = typename MemberTraits<decltype(Method)>::Result;
  constexpr UINT kCount = sizeof...(A);
  if (kCount > 0 && (!call.params || !call.params->rgvarg || call.params->cArgs < kCount))
    return DISP_E_BADPARAMCOUNT;
  if constexpr (!std::is_void_v<Result>) {
    if (!call.result) return E_POINTER;
  }
  std::tuple<typename ArgCodec<A>::Stored...> stored;
  HRESULT hr = S_OK;
  ((hr = FAILED(hr) ? hr : ReadArg<A>(call, kCount - 1 - I, std::get<I>(stored))), ...);
  if (FAILED(hr)) return hr;
  try {
    if constexpr (std::is_void_v<Result>) {
      (self.*Method)(ArgCodec<A>::Pass(std::get<I>(stored))...);
    } else {
      WriteResult(call.result, (self.*Method)(ArgCodec<A>::Pass(std::get<I>(stored))...));
    }
  } catch (const std::exception& e) {
    return ReportOperationFailure(call, e.what());
  } catch (...) {
    return ReportOperationFailure(call, "unknown error");
  }
  return S_OK;
}

template <auto Method, class Tuple>
struct RowRunner;
template <auto Method, class... A>
struct RowRunner<Method, std::tuple<A...>> {
  static HRESULT Run(typename MemberTraits<decltype(Method)>::Class& self, const InvokeArgs& call) {
    return RunRow<Method, A...>(self, call, std::index_sequence_for<A...>{});
  }
};

}  // namespace detail

template <class Self>
struct DispatchRow {
  DISPID id;
  HRESULT (*run)(Self& self, const InvokeArgs& call);
};

// A row calling `Method` (a virtual member, so overrides are reached).
template <auto Method, class Self = typename detail::MemberTraits<decltype(Method)>::Class>
constexpr DispatchRow<Self> Row(DISPID id) {
  using Traits = detail::MemberTraits<decltype(Method)>;
  return {id, &detail::RowRunner<Method, typename Traits::Args>::Run};
}

// Rows sorted by DISPID; lookup by binary search.
template <class Self, size_t N>
class DispatchTable {
 public:
  constexpr explicit DispatchTable(const std::array<DispatchRow<Self>, N>& rows) : rows_(rows) {
    std::sort(rows_.begin(), rows_.end(),
              [](const DispatchRow<Self>& a, const DispatchRow<Self>& b) { return a.id < b.id; });
  }

  const DispatchRow<Self>* Find(DISPID id) const {
    auto it = std::lower_bound(rows_.begin(), rows_.end(), id,
                               [](const DispatchRow<Self>& row, DISPID key) { return row.id < key; });
    if (it == rows_.end() || it->id != id) return nullptr;
    return &*it;
  }

  constexpr size_t Size() const { return N; }
  constexpr const DispatchRow<Self>& At(size_t i) const { return rows_[i]; }

 private:
  std::array<DispatchRow<Self>, N> rows_;
};

template <class Self, size_t N>
constexpr DispatchTable<Self, N> MakeDispatchTable(const DispatchRow<Self> (&rows)[N]) {
  std::array<DispatchRow<Self>, N> a{};
  for (size_t i = 0; i < N; ++i) a[i] = rows[i];
  return DispatchTable<Self, N>(a);
}

}  // namespace plugin

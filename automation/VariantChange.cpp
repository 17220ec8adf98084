// VariantChangeType for the Linux build, converting the way the Windows
// automation library does with en-US settings (the user default locale is
// taken as en-US).
//
// Every source is first reduced to a small intermediate (an integer as sign
// and magnitude, a double, a boolean, or text) and every target is produced
// from that, so the rules live in one place per target kind instead of in a
// function per pair of types. Types and their sizes come from kTypes.
#ifndef _WIN32

#include <algorithm>
#include <bit>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <string_view>

#include "automation/ComTypes.h"

namespace {

static_assert(std::endian::native == std::endian::little,
              "values are read from and stored into the VARIANT union through their low bytes");

using TextView = std::u16string_view;

// The localized-boolean flag; in en-US it spells booleans like VARIANT_ALPHABOOL.
constexpr uint16_t kLocalBool = 0x10;
constexpr DISPID kDispidValue = 0;
constexpr LCID kUserDefaultLocale = 0x400;

enum class Kind : uint8_t { Empty, Null, Signed, Unsigned, Real, Bool, String, Object };

struct TypeInfo {
  VARTYPE vt;
  Kind kind;
  uint8_t bytes;  // size of the value in the union, and what a reference points at
};

constexpr TypeInfo kTypes[] = {
    {VT_EMPTY, Kind::Empty, 0},
    {VT_NULL, Kind::Null, 0},
    {VT_I1, Kind::Signed, 1},
    {VT_I2, Kind::Signed, 2},
    {VT_I4, Kind::Signed, 4},
    {VT_INT, Kind::Signed, 4},
    {VT_I8, Kind::Signed, 8},
    {VT_UI1, Kind::Unsigned, 1},
    {VT_UI2, Kind::Unsigned, 2},
    {VT_UI4, Kind::Unsigned, 4},
    {VT_UINT, Kind::Unsigned, 4},
    {VT_UI8, Kind::Unsigned, 8},
    {VT_R4, Kind::Real, 4},
    {VT_R8, Kind::Real, 8},
    {VT_BOOL, Kind::Bool, 2},
    {VT_BSTR, Kind::String, sizeof(BSTR)},
    {VT_DISPATCH, Kind::Object, sizeof(IDispatch*)},
    {VT_UNKNOWN, Kind::Object, sizeof(IUnknown*)},
};

const TypeInfo* FindType(VARTYPE vt) {
  for (const TypeInfo& type : kTypes)
    if (type.vt == vt) return &type;
  return nullptr;
}

// Status for a type outside kTypes. Errors, nested variants, references and
// arrays never convert (a mismatch, as on Windows); anything else is reported
// as a bad type, which includes currency, dates and decimals: the module never
// exchanges them, so this build does not convert them.
HRESULT UnsupportedType(VARTYPE vt) {
  if ((vt & (VT_BYREF | VT_ARRAY)) || vt == VT_ERROR || vt == VT_VARIANT)
    return DISP_E_TYPEMISMATCH;
  return DISP_E_BADVARTYPE;
}

// ---------------------------------------------------------------------------
// The intermediate

struct Integer {
  bool negative = false;
  uint64_t magnitude = 0;
};

uint64_t TwosComplement(Integer value) {
  return value.negative ? 0 - value.magnitude : value.magnitude;
}

// A source value reduced to what the conversions need; text and objects are
// borrowed from the source.
struct Operand {
  Kind kind = Kind::Empty;
  uint8_t bytes = 0;  // integers: width of the source type
  Integer integer;
  double real = 0;
  int digits = 15;  // reals: significant digits when written as text
  VARIANT_BOOL boolean = VARIANT_FALSE;
  BSTR text = nullptr;
};

Operand ReadOperand(const TypeInfo& type, const VARIANT& value) {
  Operand operand;
  operand.kind = type.kind;
  operand.bytes = type.bytes;
  switch (type.kind) {
    case Kind::Signed: {
      uint64_t bits = 0;
      std::memcpy(&bits, &value.llVal, type.bytes);
      const unsigned unused = 64 - 8 * type.bytes;
      const auto signedValue = static_cast<int64_t>(bits << unused) >> unused;
      const auto bitsAsUnsigned = static_cast<uint64_t>(signedValue);
      operand.integer = {signedValue < 0, signedValue < 0 ? 0 - bitsAsUnsigned : bitsAsUnsigned};
      break;
    }
    case Kind::Unsigned:
      std::memcpy(&operand.integer.magnitude, &value.llVal, type.bytes);
      break;
    case Kind::Real:
      operand.real = type.bytes == sizeof(float) ? value.fltVal : value.dblVal;
      operand.digits = type.bytes == sizeof(float) ? 7 : 15;
      break;
    case Kind::Bool:
      operand.boolean = value.boolVal;
      break;
    case Kind::String:
      operand.text = value.bstrVal;
      break;
    default:
      break;
  }
  return operand;
}

// ---------------------------------------------------------------------------
// Numbers in text

bool IsBlank(char16_t c) {
  return c == u' ' || (c >= 0x09 && c <= 0x0D) || c == 0x85 || c == 0xA0 || c == 0x1680 ||
         (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F ||
         c == 0x205F || c == 0x3000;
}

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// Sign marks may stand before or after the digits: "-12", "12-", "(12)",
// "$12"; each kind once.
struct Signs {
  bool plus = false;
  bool minus = false;
  bool currency = false;
  bool openParen = false;
  bool closeParen = false;
};

bool TakeSign(char16_t c, bool leading, Signs& signs) {
  bool* mark = nullptr;
  if (c == u'+') mark = &signs.plus;
  if (c == u'-') mark = &signs.minus;
  if (c == u'$') mark = &signs.currency;
  if (c == u'(' && leading) mark = &signs.openParen;
  if (c == u')' && !leading && signs.openParen) mark = &signs.closeParen;
  if (!mark || *mark) return false;
  *mark = true;
  return true;
}

struct ParsedNumber {
  bool negative = false;
  bool radix = false;       // an "&H" (hexadecimal) or "&O" (octal) constant
  uint64_t radixValue = 0;  // its bits
  std::string digits;       // significant decimal digits, no leading or trailing zeros; empty for 0
  int64_t exponent = 0;     // value = digits * 10^exponent
};

// Larger exponents only decide between overflow and zero.
constexpr int64_t kExponentCap = 100000;

void AppendDigit(char16_t c, bool afterPoint, ParsedNumber& number) {
  if (afterPoint) --number.exponent;
  if (c == u'0' && number.digits.empty()) return;
  number.digits.push_back(static_cast<char>(c));
}

// Digits with thousands separators (accepted anywhere once a digit was seen,
// as the platform's library does) and one decimal point. False if there was
// no digit.
bool ReadMantissa(TextView text, size_t& i, ParsedNumber& number) {
  bool sawDigit = false;
  bool sawPoint = false;
  for (; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (IsDigit(c)) {
      AppendDigit(c, sawPoint, number);
      sawDigit = true;
    } else if (c == u',' && sawDigit) {
      continue;
    } else if (c == u'.' && !sawPoint) {
      sawPoint = true;
    } else {
      break;
    }
  }
  while (!number.digits.empty() && number.digits.back() == '0') {
    number.digits.pop_back();
    ++number.exponent;
  }
  return sawDigit;
}

bool ReadExponent(TextView text, size_t& i, ParsedNumber& number) {
  if (i == text.size() || (text[i] != u'e' && text[i] != u'E')) return true;
  ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
  const size_t first = i;
  int64_t value = 0;
  for (; i < text.size() && IsDigit(text[i]); ++i)
    value = std::min(value * 10 + (text[i] - u'0'), kExponentCap);
  number.exponent += negative ? -value : value;
  return i > first;
}

int RadixDigit(char16_t c, unsigned bitsPerDigit) {
  int digit = -1;
  if (IsDigit(c)) digit = c - u'0';
  if (c >= u'a' && c <= u'f') digit = c - u'a' + 10;
  if (c >= u'A' && c <= u'F') digit = c - u'A' + 10;
  return digit < (1 << bitsPerDigit) ? digit : -1;
}

bool StartsRadix(TextView text, size_t i) {
  if (i + 1 >= text.size() || text[i] != u'&') return false;
  const char16_t c = text[i + 1];
  return c == u'H' || c == u'h' || c == u'O' || c == u'o';
}

// "&H" and "&O" constants stand for a bit pattern, which the target reads as
// its own type ("&HFFFF" is -1 as VT_I2). Wine's library reads such a
// constant as positive whatever sign marks surround it ("-&H10" is 16); we
// refuse a negating mark instead of silently dropping it.
HRESULT ParseRadix(TextView text, size_t i, const Signs& signs, ParsedNumber& number) {
  if (signs.minus || signs.openParen || signs.currency) return DISP_E_TYPEMISMATCH;
  const unsigned bitsPerDigit = (text[i + 1] == u'H' || text[i + 1] == u'h') ? 4 : 3;
  i += 2;
  const size_t first = i;
  bool overflow = false;
  uint64_t value = 0;
  for (int digit; i < text.size() && (digit = RadixDigit(text[i], bitsPerDigit)) >= 0; ++i) {
    overflow |= (value >> (64 - bitsPerDigit)) != 0;
    value = (value << bitsPerDigit) | static_cast<uint64_t>(digit);
  }
  if (i == first) return DISP_E_TYPEMISMATCH;
  for (; i < text.size(); ++i)
    if (!IsBlank(text[i])) return DISP_E_TYPEMISMATCH;
  if (overflow) return DISP_E_OVERFLOW;
  number.radix = true;
  number.radixValue = value;
  return S_OK;
}

HRESULT ParseNumber(TextView text, ParsedNumber& number) {
  Signs signs;
  size_t i = 0;
  for (; i < text.size(); ++i)
    if (!IsBlank(text[i]) && !TakeSign(text[i], /*leading=*/true, signs)) break;
  if (StartsRadix(text, i)) return ParseRadix(text, i, signs, number);
  if (!ReadMantissa(text, i, number) || !ReadExponent(text, i, number)) return DISP_E_TYPEMISMATCH;
  for (; i < text.size(); ++i)
    if (!IsBlank(text[i]) && !TakeSign(text[i], /*leading=*/false, signs))
      return DISP_E_TYPEMISMATCH;
  if (signs.openParen != signs.closeParen) return DISP_E_TYPEMISMATCH;
  number.negative = signs.minus || signs.openParen;
  return S_OK;
}

// The text of a string as the parsers see it: up to its first zero
// character, as the platform's library reads it.
TextView ParsedText(BSTR text) {
  if (!text) return {};
  const TextView whole(text, SysStringLen(text));
  return whole.substr(0, whole.find(u'\0'));
}

// A decimal number rounded to an integer, half to even, computed on the
// digits themselves so "2.50000000000000001" rounds up as written.
HRESULT DecimalToInteger(const ParsedNumber& number, Integer& out) {
  const auto count = static_cast<int64_t>(number.digits.size());
  const int64_t whole = count + number.exponent;  // digits before the decimal point
  if (count == 0) {  // zero, whatever its exponent
    out = {number.negative, 0};
    return S_OK;
  }
  if (whole > 20) return DISP_E_OVERFLOW;
  uint64_t magnitude = 0;
  for (int64_t k = 0; k < whole; ++k) {
    const unsigned digit = k < count ? number.digits[k] - '0' : 0;
    if (magnitude > (UINT64_MAX - digit) / 10) return DISP_E_OVERFLOW;
    magnitude = magnitude * 10 + digit;
  }
  if (whole >= 0 && whole < count) {
    const char first = number.digits[whole];
    const bool moreFollow = whole + 1 < count;  // trailing zeros were dropped
    if (first > '5' || (first == '5' && (moreFollow || (magnitude & 1)))) {
      if (magnitude == UINT64_MAX) return DISP_E_OVERFLOW;
      ++magnitude;
    }
  }
  out = {number.negative, magnitude};
  return S_OK;
}

HRESULT DecimalToReal(const ParsedNumber& number, double& out) {
  const double sign = number.negative ? -1.0 : 1.0;
  const int64_t scale = static_cast<int64_t>(number.digits.size()) + number.exponent;
  if (number.digits.empty() || scale < -400) {
    out = sign * 0.0;
    return S_OK;
  }
  if (scale > 400) return DISP_E_OVERFLOW;
  // No decimal point in this text, so strtod reads it the same in any locale.
  const std::string text = number.digits + 'e' + std::to_string(number.exponent);
  const double magnitude = std::strtod(text.c_str(), nullptr);
  if (std::isinf(magnitude)) return DISP_E_OVERFLOW;
  out = sign * magnitude;
  return S_OK;
}

// Reals and booleans read an "&H"/"&O" constant the way VT_I4 does.
HRESULT RadixToReal(uint64_t bits, double& out) {
  if (bits > UINT32_MAX) return DISP_E_OVERFLOW;
  out = static_cast<int32_t>(static_cast<uint32_t>(bits));
  return S_OK;
}

HRESULT TextToReal(BSTR text, double& out) {
  ParsedNumber number;
  if (const HRESULT hr = ParseNumber(ParsedText(text), number); FAILED(hr)) return hr;
  return number.radix ? RadixToReal(number.radixValue, out) : DecimalToReal(number, out);
}

// ---------------------------------------------------------------------------
// Numbers as text

// A real as Windows writes it: `precision` significant digits (15 for
// VT_R8, 7 for VT_R4) rounded half away from zero, trailing zeros dropped,
// exponent form ("1E+20", "1E-05") below 1E-4 or from 10^precision up.
std::string FormatReal(double x, int precision) {
  if (x == 0) return "0";  // no sign on a negative zero
  if (std::isnan(x)) return "NAN";
  if (std::isinf(x)) return x < 0 ? "-INF" : "INF";
  // Every digit of the binary value (at most 767 are significant), so the
  // digit after the last one shown is exact and decides the rounding alone.
  char exact[800];
  const auto written =
      std::to_chars(exact, exact + sizeof exact, std::fabs(x), std::chars_format::scientific, 767);
  const std::string_view all(exact, written.ptr);
  const size_t e = all.find('e');
  int exponent = 0;
  std::from_chars(all.data() + e + 1 + (all[e + 1] == '+'), written.ptr, exponent);
  std::string digits = std::string(1, all[0]) + std::string(all.substr(2, precision - 1));
  if (all[precision + 1] >= '5') {
    size_t k = digits.size();
    while (k > 0 && digits[k - 1] == '9') digits[--k] = '0';
    if (k == 0) {
      digits.insert(digits.begin(), '1');
      digits.pop_back();
      ++exponent;
    } else {
      ++digits[k - 1];
    }
  }
  digits.erase(digits.find_last_not_of('0') + 1);

  std::string out = x < 0 ? "-" : "";
  if (exponent < -4 || exponent >= precision) {
    out += digits[0];
    if (digits.size() > 1) out += '.' + digits.substr(1);
    out += exponent < 0 ? "E-" : "E+";
    const int magnitude = std::abs(exponent);
    if (magnitude < 10) out += '0';
    return out + std::to_string(magnitude);
  }
  if (exponent < 0) return out + "0." + std::string(-exponent - 1, '0') + digits;
  const auto whole = static_cast<size_t>(exponent) + 1;
  if (digits.size() <= whole) return out + digits + std::string(whole - digits.size(), '0');
  return out + digits.substr(0, whole) + '.' + digits.substr(whole);
}

std::string FormatInteger(Integer value) {
  char text[24];
  const auto written = std::to_chars(text, text + sizeof text, value.magnitude);
  return (value.negative && value.magnitude ? "-" : "") + std::string(text, written.ptr);
}

BSTR AllocAscii(std::string_view ascii) {
  BSTR out = SysAllocStringLen(nullptr, static_cast<UINT>(ascii.size()));
  if (out) std::copy(ascii.begin(), ascii.end(), out);
  return out;
}

// ---------------------------------------------------------------------------
// Targets

// A real rounded to an integer, half to even: 2.5 -> 2, 3.5 -> 4, -2.5 -> -2.
HRESULT RoundReal(double x, Integer& out) {
  if (!std::isfinite(x)) return DISP_E_OVERFLOW;
  double rounded = std::round(x);
  if (std::fabs(x - std::trunc(x)) == 0.5) rounded = 2.0 * std::round(x / 2.0);
  if (std::fabs(rounded) >= 0x1p64) return DISP_E_OVERFLOW;
  out = {rounded < 0, static_cast<uint64_t>(std::fabs(rounded))};
  return S_OK;
}

HRESULT FitInteger(Integer value, const TypeInfo& to, uint64_t& bits) {
  const unsigned width = 8 * to.bytes;
  const uint64_t unsignedMax = width == 64 ? UINT64_MAX : (uint64_t{1} << width) - 1;
  const uint64_t highBit = uint64_t{1} << (width - 1);
  const bool isSigned = to.kind == Kind::Signed;
  const uint64_t positiveLimit = isSigned ? highBit - 1 : unsignedMax;
  const uint64_t limit = value.negative ? (isSigned ? highBit : 0) : positiveLimit;
  if (value.magnitude > limit) return DISP_E_OVERFLOW;
  bits = TwosComplement(value);
  return S_OK;
}

HRESULT TextToIntegerBits(BSTR text, const TypeInfo& to, uint64_t& bits) {
  ParsedNumber number;
  if (const HRESULT hr = ParseNumber(ParsedText(text), number); FAILED(hr)) return hr;
  if (number.radix) {
    if (to.bytes < 8 && (number.radixValue >> (8 * to.bytes)) != 0) return DISP_E_OVERFLOW;
    bits = number.radixValue;
    return S_OK;
  }
  Integer value;
  if (const HRESULT hr = DecimalToInteger(number, value); FAILED(hr)) return hr;
  return FitInteger(value, to, bits);
}

// The bits of an integer target; only its low `to.bytes` bytes are stored.
HRESULT ToIntegerBits(const Operand& from, const TypeInfo& to, uint64_t& bits) {
  switch (from.kind) {
    case Kind::Empty:
      bits = 0;
      return S_OK;
    case Kind::Bool:  // true sets every bit: 255 as VT_UI1
      bits = static_cast<uint64_t>(int64_t{from.boolean});
      return S_OK;
    case Kind::Signed:
    case Kind::Unsigned:
      // A signed and an unsigned type of the same size pass the bits on
      // unchanged (VT_I4 -1 is VT_UI4 4294967295), as the platform's library does.
      if (from.bytes == to.bytes && from.kind != to.kind) {
        bits = TwosComplement(from.integer);
        return S_OK;
      }
      return FitInteger(from.integer, to, bits);
    case Kind::Real: {
      Integer rounded;
      if (const HRESULT hr = RoundReal(from.real, rounded); FAILED(hr)) return hr;
      return FitInteger(rounded, to, bits);
    }
    case Kind::String:
      return TextToIntegerBits(from.text, to, bits);
    default:
      return DISP_E_TYPEMISMATCH;
  }
}

HRESULT ToReal(const Operand& from, double& out) {
  switch (from.kind) {
    case Kind::Empty:
      out = 0;
      return S_OK;
    case Kind::Bool:
      out = from.boolean;
      return S_OK;
    case Kind::Signed:
    case Kind::Unsigned: {
      const auto magnitude = static_cast<double>(from.integer.magnitude);
      out = from.integer.negative ? -magnitude : magnitude;
      return S_OK;
    }
    case Kind::Real:
      out = from.real;
      return S_OK;
    case Kind::String:
      return TextToReal(from.text, out);
    default:
      return DISP_E_TYPEMISMATCH;
  }
}

HRESULT ToFloat(const Operand& from, float& out) {
  if (from.kind == Kind::Signed || from.kind == Kind::Unsigned) {
    // Straight from the integer: going through a double could round twice.
    const auto magnitude = static_cast<float>(from.integer.magnitude);
    out = from.integer.negative ? -magnitude : magnitude;
    return S_OK;
  }
  double real = 0;
  if (const HRESULT hr = ToReal(from, real); FAILED(hr)) return hr;
  out = static_cast<float>(real);
  if (std::isinf(out) && std::isfinite(real)) return DISP_E_OVERFLOW;
  return S_OK;
}

bool EqualsIgnoringCase(TextView text, std::string_view lowerAscii) {
  if (text.size() != lowerAscii.size()) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i] >= u'A' && text[i] <= u'Z' ? text[i] - u'A' + u'a' : text[i];
    if (c != static_cast<char16_t>(lowerAscii[i])) return false;
  }
  return true;
}

HRESULT ToBool(const Operand& from, VARIANT_BOOL& out) {
  switch (from.kind) {
    case Kind::Empty:
      out = VARIANT_FALSE;
      return S_OK;
    case Kind::Bool:
      out = from.boolean;
      return S_OK;
    case Kind::Signed:
    case Kind::Unsigned:
      out = from.integer.magnitude ? VARIANT_TRUE : VARIANT_FALSE;
      return S_OK;
    case Kind::Real:
      out = from.real != 0 ? VARIANT_TRUE : VARIANT_FALSE;
      return S_OK;
    case Kind::String: {
      const TextView text = ParsedText(from.text);
      if (EqualsIgnoringCase(text, "true") || EqualsIgnoringCase(text, "false")) {
        out = text.size() == 4 ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
      }
      double number = 0;
      if (const HRESULT hr = TextToReal(from.text, number); FAILED(hr)) return hr;
      out = number != 0 ? VARIANT_TRUE : VARIANT_FALSE;
      return S_OK;
    }
    default:
      return DISP_E_TYPEMISMATCH;
  }
}

HRESULT ToText(const Operand& from, uint16_t flags, BSTR& out) {
  switch (from.kind) {
    case Kind::Empty:
      out = AllocAscii("");
      break;
    case Kind::Bool:
      if (flags & (VARIANT_ALPHABOOL | kLocalBool))
        out = AllocAscii(from.boolean ? "True" : "False");
      else
        out = AllocAscii(FormatInteger(
            {from.boolean < 0, static_cast<uint64_t>(std::abs(from.boolean))}));
      break;
    case Kind::Signed:
    case Kind::Unsigned:
      out = AllocAscii(FormatInteger(from.integer));
      break;
    case Kind::Real:
      out = AllocAscii(FormatReal(from.real, from.digits));
      break;
    case Kind::String:
      out = SysAllocStringLen(from.text, SysStringLen(from.text));
      break;
    default:
      return DISP_E_TYPEMISMATCH;
  }
  return out ? S_OK : E_OUTOFMEMORY;
}

HRESULT ToValue(const Operand& from, uint16_t flags, const TypeInfo& to, VARIANT& out) {
  HRESULT hr = DISP_E_TYPEMISMATCH;
  switch (to.kind) {
    case Kind::Signed:
    case Kind::Unsigned: {
      uint64_t bits = 0;
      hr = ToIntegerBits(from, to, bits);
      std::memcpy(&out.llVal, &bits, to.bytes);
      break;
    }
    case Kind::Real:
      hr = to.bytes == sizeof(float) ? ToFloat(from, out.fltVal) : ToReal(from, out.dblVal);
      break;
    case Kind::Bool:
      hr = ToBool(from, out.boolVal);
      break;
    case Kind::String:
      hr = ToText(from, flags, out.bstrVal);
      break;
    default:
      break;
  }
  if (SUCCEEDED(hr)) out.vt = to.vt;
  return hr;
}

// ---------------------------------------------------------------------------
// References and objects

// The value a source holds: a reference is followed once, a reference to a
// VARIANT once more into that VARIANT (which may itself hold a reference to
// a value, but not to another VARIANT). The result borrows from the source.
HRESULT Dereference(const VARIANT& src, VARIANT& plain) {
  if (!(src.vt & VT_BYREF)) {
    plain = src;
    return S_OK;
  }
  if (!src.byref) return DISP_E_TYPEMISMATCH;
  const auto base = static_cast<VARTYPE>(src.vt & ~VT_BYREF);
  if (base == VT_VARIANT) {
    if (src.pvarVal->vt == (VT_VARIANT | VT_BYREF)) return E_INVALIDARG;
    return Dereference(*src.pvarVal, plain);
  }
  const TypeInfo* type = FindType(base);
  if (!type || type->bytes == 0) return DISP_E_BADVARTYPE;
  VariantInit(&plain);
  plain.vt = base;
  std::memcpy(&plain.llVal, src.byref, type->bytes);
  return S_OK;
}

HRESULT ToObject(const VARIANT& value, VARTYPE to, VARIANT& out) {
  if (value.vt != VT_DISPATCH && value.vt != VT_UNKNOWN) return DISP_E_TYPEMISMATCH;
  IUnknown* object = value.punkVal;
  void* result = object;
  if (object && value.vt == to) {
    object->AddRef();
  } else if (object) {
    const GUID& iid = to == VT_DISPATCH ? automation::kIID_IDispatch : automation::kIID_IUnknown;
    if (const HRESULT hr = object->QueryInterface(iid, &result); FAILED(hr)) return hr;
  }
  out.vt = to;
  out.byref = result;
  return S_OK;
}

struct ClearOnExit {
  VARIANT& v;
  ~ClearOnExit() { VariantClear(&v); }
};

HRESULT Convert(const VARIANT& src, uint16_t flags, VARTYPE to, VARIANT& out);

// An object converts to a value through its value property (DISPID 0); a
// bare IUnknown has none.
HRESULT FromObject(const VARIANT& value, uint16_t flags, VARTYPE to, VARIANT& out) {
  if (value.vt != VT_DISPATCH) return DISP_E_TYPEMISMATCH;
  if (!value.pdispVal) return DISP_E_BADVARTYPE;  // what the platform reports for a null object
  if (flags & VARIANT_NOVALUEPROP) return DISP_E_TYPEMISMATCH;
  VARIANT property;
  VariantInit(&property);
  ClearOnExit clear{property};
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  if (FAILED(value.pdispVal->Invoke(kDispidValue, automation::kIID_NULL, kUserDefaultLocale,
                                    DISPATCH_PROPERTYGET, &none, &property, nullptr, nullptr)))
    return DISP_E_TYPEMISMATCH;
  // A value that is itself an object is not followed further.
  return Convert(property, flags | VARIANT_NOVALUEPROP, to, out);
}

HRESULT Convert(const VARIANT& src, uint16_t flags, VARTYPE to, VARIANT& out) {
  const TypeInfo* target = FindType(to);
  if (!target) return UnsupportedType(to);
  VARIANT value;
  if (const HRESULT hr = Dereference(src, value); FAILED(hr)) return hr;
  const TypeInfo* source = FindType(value.vt);
  if (!source) return UnsupportedType(value.vt);

  if (target->kind == Kind::Null) {  // anything may become null
    out.vt = VT_NULL;
    return S_OK;
  }
  if (source->kind == Kind::Null) return DISP_E_TYPEMISMATCH;
  if (target->kind == Kind::Empty) {  // anything else may become empty
    out.vt = VT_EMPTY;
    return S_OK;
  }
  if (target->kind == Kind::Object) return ToObject(value, to, out);
  if (source->kind == Kind::Object) return FromObject(value, flags, to, out);
  return ToValue(ReadOperand(*source, value), flags, *target, out);
}

}  // namespace

// The result is built apart from `dest`, so a failure leaves `dest` as it
// was, and `dest` may be `src`: its old value is cleared only on success.
HRESULT VariantChangeType(VARIANTARG* dest, const VARIANTARG* src, uint16_t flags, VARTYPE vt) {
  if (!dest || !src) return E_INVALIDARG;
  VARIANT result;
  VariantInit(&result);
  try {
    if (const HRESULT hr = Convert(*src, flags, vt, result); FAILED(hr)) return hr;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  VariantClear(dest);
  *dest = result;
  return S_OK;
}

#endif  // !_WIN32

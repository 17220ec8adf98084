#include "plugin/ParameterList.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <type_traits>

#include "automation/WideText.h"
#include "plugin/SupportService.h"

namespace plugin {
namespace {

bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= 32; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool AllOf(std::string_view text, bool (*predicate)(char)) {
  return std::all_of(text.begin(), text.end(), predicate);
}

bool SameName(std::string_view stored, std::string_view asked) {
  return SameText(stored, TrimBlanksAndControls(asked));
}

// ---- Integers ---------------------------------------------------------------

bool IsHexDigit(char c) {
  return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// What follows a "$" or "0x" prefix; none when the text has neither.
std::optional<std::string_view> HexDigitsAfterPrefix(std::string_view text) {
  if (text.starts_with('$')) return text.substr(1);
  if (text.starts_with("0x") || text.starts_with("0X")) return text.substr(2);
  return std::nullopt;
}

template <typename Unsigned>
std::optional<Unsigned> ParseUnsignedDigits(std::string_view digits, int base) {
  Unsigned result = 0;
  const char* end = digits.data() + digits.size();
  const auto [stop, error] = std::from_chars(digits.data(), end, result, base);
  if (error != std::errc() || stop != end) return std::nullopt;
  return result;
}

// Decimal with an optional sign, or hexadecimal after "$" or "0x"; the
// whole text must be the number.
template <typename Signed>
std::optional<Signed> ParseInteger(std::string_view text) {
  using Unsigned = std::make_unsigned_t<Signed>;

  if (const auto hexDigits = HexDigitsAfterPrefix(text)) {
    if (hexDigits->empty() || !AllOf(*hexDigits, IsHexDigit)) return std::nullopt;
    // A hexadecimal text is the bit pattern of the value.
    const auto bits = ParseUnsignedDigits<Unsigned>(*hexDigits, 16);
    if (!bits) return std::nullopt;
    return static_cast<Signed>(*bits);
  }

  const bool negative = text.starts_with('-');
  if (negative || text.starts_with('+')) text.remove_prefix(1);
  if (text.empty() || !AllOf(text, IsDigit)) return std::nullopt;
  const auto magnitude = ParseUnsignedDigits<Unsigned>(text, 10);
  if (!magnitude) return std::nullopt;

  const auto largestPositive = static_cast<Unsigned>(std::numeric_limits<Signed>::max());
  if (!negative) {
    if (*magnitude > largestPositive) return std::nullopt;
    return static_cast<Signed>(*magnitude);
  }
  if (*magnitude > largestPositive + 1) return std::nullopt;
  return static_cast<Signed>(Unsigned(0) - *magnitude);
}

// ---- Reals -------------------------------------------------------------------

// The shape of a decimal real: [sign] digits [. digits] [e [sign] digits],
// with at least one mantissa digit on either side of the point.
struct DecimalRealShape {
  bool valid = false;
  bool negative = false;
  // Decimal exponent of the first significant digit (0 for "1", -1 for
  // "0.1"), saturated; meaningful only when the mantissa is not zero.
  int64_t leadingExponent = 0;
};

size_t CountDigits(std::string_view text, size_t from) {
  size_t end = from;
  while (end < text.size() && IsDigit(text[end])) ++end;
  return end - from;
}

int64_t SaturatedExponent(std::string_view digits, bool negative) {
  constexpr int64_t kLimit = 1'000'000'000;
  int64_t result = 0;
  for (char c : digits) result = std::min(kLimit, result * 10 + (c - '0'));
  return negative ? -result : result;
}

DecimalRealShape ScanDecimalReal(std::string_view text) {
  DecimalRealShape shape;
  size_t at = 0;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
    shape.negative = text[at] == '-';
    ++at;
  }
  const size_t integerStart = at;
  const size_t integerDigits = CountDigits(text, at);
  at += integerDigits;
  size_t fractionStart = at;
  size_t fractionDigits = 0;
  if (at < text.size() && text[at] == '.') {
    fractionStart = ++at;
    fractionDigits = CountDigits(text, at);
    at += fractionDigits;
  }
  if (integerDigits + fractionDigits == 0) return shape;

  int64_t exponent = 0;
  if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
    ++at;
    bool exponentNegative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
      exponentNegative = text[at] == '-';
      ++at;
    }
    const size_t exponentDigits = CountDigits(text, at);
    if (exponentDigits == 0) return shape;
    exponent = SaturatedExponent(text.substr(at, exponentDigits), exponentNegative);
    at += exponentDigits;
  }
  if (at != text.size()) return shape;

  const std::string_view integerPart = text.substr(integerStart, integerDigits);
  const size_t firstSignificant = integerPart.find_first_not_of('0');
  if (firstSignificant != std::string_view::npos) {
    shape.leadingExponent = static_cast<int64_t>(integerDigits - firstSignificant - 1) + exponent;
  } else {
    const std::string_view fraction = text.substr(fractionStart, fractionDigits);
    const size_t leadingZeros = std::min(fraction.find_first_not_of('0'), fraction.size());
    shape.leadingExponent = -static_cast<int64_t>(leadingZeros) - 1 + exponent;
  }
  shape.valid = true;
  return shape;
}

// The words FormatParameterDouble writes for values that have no digits.
std::optional<double> ParseNonFiniteWord(std::string_view text) {
  if (SameText(text, "NAN")) return std::numeric_limits<double>::quiet_NaN();
  if (SameText(text, "INF") || SameText(text, "+INF")) return std::numeric_limits<double>::infinity();
  if (SameText(text, "-INF")) return -std::numeric_limits<double>::infinity();
  return std::nullopt;
}

// A decimal real with "." as separator, whatever the process locale says.
// Too small for a double reads as zero; too large does not convert.
std::optional<double> ParseDecimalReal(std::string_view text) {
  if (const auto word = ParseNonFiniteWord(text)) return word;
  const DecimalRealShape shape = ScanDecimalReal(text);
  if (!shape.valid) return std::nullopt;

  if (text.starts_with('+')) text.remove_prefix(1);  // from_chars takes no "+"
  double result = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, result);
  if (error == std::errc::result_out_of_range && shape.leadingExponent < 0)
    return shape.negative ? -0.0 : 0.0;
  if (error != std::errc() || stop != end) return std::nullopt;
  return result;
}

// ---- Doubles as text ---------------------------------------------------------

// "1.5e+07" -> "1.5E7", "1e-05" -> "1E-5".
std::string WithPlainExponent(std::string_view text) {
  const size_t mark = text.find('e');
  if (mark == std::string_view::npos) return std::string(text);
  std::string result(text.substr(0, mark));
  result += 'E';
  std::string_view exponent = text.substr(mark + 1);
  if (exponent.starts_with('-')) result += '-';
  if (exponent.starts_with('-') || exponent.starts_with('+')) exponent.remove_prefix(1);
  const size_t firstNonZero = exponent.find_first_not_of('0');
  result += firstNonZero == std::string_view::npos ? "0" : exponent.substr(firstNonZero);
  return result;
}

// ---- The list's text ---------------------------------------------------------

void AppendPair(std::string& text, const TParameter& parameter) {
  if (!text.empty()) text += '|';
  text += parameter.Name();
  text += '=';
  // An empty value is written as one blank; readers trim it away again.
  text += parameter.Value().empty() ? std::string_view(" ") : parameter.Value();
}

// ---- Wide copies for callers that want a plain pointer -----------------------

constexpr OLECHAR kSharedEmptyText[1] = {0};

OLECHAR* NewZeroTerminatedCopy(std::string_view utf8) {
  const automation::OleString wide = automation::ToOle(utf8);
  auto* copy = new OLECHAR[wide.size() + 1];
  std::copy(wide.begin(), wide.end(), copy);
  copy[wide.size()] = 0;
  return copy;
}

// ---- The lookup cache --------------------------------------------------------

// GetParameterFromText is called over and over with the same message or
// process-parameter text and a different name each time; keeping the last
// text with its parsed list means that text is read once, not once per name.
// Only the host's calling thread uses it, one call at a time, so it has no
// lock. Created on first use, it lives until the module is unloaded.
struct LastParsedText {
  std::string text;
  TParameterList parameters;
};

LastParsedText& LastParsedTextCache() {
  static LastParsedText cache;
  return cache;
}

const TParameterList& ParametersOf(std::string_view text) {
  LastParsedText& cache = LastParsedTextCache();
  if (cache.text == text) return cache.parameters;
  // Build the new pair aside, so a failure part way leaves the old pair
  // intact rather than a list that does not match its text.
  std::string newText(text);
  TParameterList newParameters;
  newParameters.SetState(newText);
  cache.text = std::move(newText);
  cache.parameters = std::move(newParameters);
  return cache.parameters;
}

}  // namespace

// ---- Text helpers --------------------------------------------------------------

std::string_view TrimBlanksAndControls(std::string_view text) {
  while (!text.empty() && IsBlankOrControl(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlankOrControl(text.back())) text.remove_suffix(1);
  return text;
}

bool SameTrimmedText(std::string_view a, std::string_view b) {
  return SameText(TrimBlanksAndControls(a), TrimBlanksAndControls(b));
}

EParameterConversionError::EParameterConversionError(std::string_view name,
                                                     std::string_view value)
    : std::invalid_argument("parameter \"" + std::string(name) + "\": \"" + std::string(value) +
                            "\" is not a valid floating-point value") {}

std::string FormatParameterDouble(double value) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  char buffer[64];  // holds any double in either form below
  auto written =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
  const std::string text = WithPlainExponent(std::string_view(buffer, written.ptr - buffer));
  if (ParseDecimalReal(text)) return text;
  // Within a hair of the largest double, rounding to 15 digits goes past it
  // and the text would no longer read back; write the exact shortest form.
  written = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general);
  return WithPlainExponent(std::string_view(buffer, written.ptr - buffer));
}

void FreeParameterText(const OLECHAR* text) {
  if (text == nullptr || text == kSharedEmptyText) return;
  delete[] text;
}

// ---- TParameter ----------------------------------------------------------------

TParameter::TParameter(std::string_view name, std::string_view value)
    : name_(TrimBlanksAndControls(name)), value_(TrimBlanksAndControls(value)) {}

void TParameter::SetName(std::string_view name) { name_ = TrimBlanksAndControls(name); }

void TParameter::SetValue(std::string_view value) { value_ = TrimBlanksAndControls(value); }

// ---- TParameterList: reading and writing ---------------------------------------

void TParameterList::SetState(std::string_view text) {
  ClearAllParameters();
  bool inValue = false;
  size_t segmentStart = 0;
  std::string_view name;
  for (size_t at = 0; at <= text.size(); ++at) {
    const bool atEnd = at == text.size();
    const char c = atEnd ? '|' : text[at];
    if (c == '=' && !inValue) {
      name = text.substr(segmentStart, at - segmentStart);
      inValue = true;
      segmentStart = at + 1;
      continue;
    }
    if (c != '|') continue;
    // A segment without "=" (still expecting a name) adds nothing.
    if (inValue) SetState_AddParameter(name, text.substr(segmentStart, at - segmentStart));
    inValue = false;
    segmentStart = at + 1;
  }
}

void TParameterList::SetState_FromString(std::string_view text) { SetState(text); }

std::string TParameterList::GetState() const {
  std::string text;
  for (const auto& parameter : items_) AppendPair(text, *parameter);
  return text;
}

std::string TParameterList::GetState_ToString() const { return GetState(); }

// ---- TParameterList: building ----------------------------------------------------

void TParameterList::SetState_AddParameter(std::string_view name, std::string_view value) {
  if (TrimBlanksAndControls(name).empty()) return;
  items_.push_back(std::make_unique<TParameter>(name, value));
}

void TParameterList::SetState_AddParameterAsString(std::string_view name, std::string_view value) {
  SetState_AddParameter(name, value);
}

void TParameterList::SetState_AddParameterAsBoolean(std::string_view name, bool value) {
  SetState_AddParameter(name, value ? "True" : "False");
}

void TParameterList::SetState_AddParameterAsInteger(std::string_view name, int32_t value) {
  SetState_AddParameter(name, std::to_string(value));
}

void TParameterList::SetState_AddParameterAsInt64(std::string_view name, int64_t value) {
  SetState_AddParameter(name, std::to_string(value));
}

void TParameterList::SetState_AddParameterAsDouble(std::string_view name, double value) {
  SetState_AddParameter(name, FormatParameterDouble(value));
}

TParameterList::Items::const_iterator TParameterList::FindByName(std::string_view name) const {
  return std::find_if(items_.begin(), items_.end(), [name](const auto& parameter) {
    return SameName(parameter->Name(), name);
  });
}

TParameter* TParameterList::GetState_ParameterByName(std::string_view name) {
  const auto found = FindByName(name);
  return found == items_.end() ? nullptr : found->get();
}

const TParameter* TParameterList::GetState_ParameterByName(std::string_view name) const {
  const auto found = FindByName(name);
  return found == items_.end() ? nullptr : found->get();
}

bool TParameterList::SetState_RemoveByName(std::string_view name) {
  const auto found = FindByName(name);
  if (found == items_.end()) return false;
  items_.erase(found);
  return true;
}

void TParameterList::ClearAllParameters() { items_.clear(); }

// ---- TParameterList: typed getters -----------------------------------------------

bool TParameterList::GetState_ParameterAsString(std::string_view name, std::string& value) const {
  const TParameter* parameter = GetState_ParameterByName(name);
  value = parameter ? parameter->Value() : std::string();
  return parameter != nullptr;
}

bool TParameterList::GetState_ParameterAsPChar(std::string_view name,
                                               const OLECHAR*& value) const {
  const TParameter* parameter = GetState_ParameterByName(name);
  value = parameter ? NewZeroTerminatedCopy(parameter->Value()) : kSharedEmptyText;
  return parameter != nullptr;
}

bool TParameterList::GetState_ParameterAsLongInt(std::string_view name, int32_t& value) const {
  const TParameter* parameter = GetState_ParameterByName(name);
  if (!parameter) return false;
  const auto number = ParseInteger<int32_t>(parameter->Value());
  if (!number) return false;
  value = *number;
  return true;
}

bool TParameterList::GetState_ParameterAsInteger(std::string_view name, int32_t& value) const {
  return GetState_ParameterAsLongInt(name, value);
}

bool TParameterList::GetState_ParameterAsSmallInt(std::string_view name, int16_t& value) const {
  int32_t wide = 0;
  if (!GetState_ParameterAsLongInt(name, wide)) return false;
  value = static_cast<int16_t>(wide);
  return true;
}

bool TParameterList::GetState_ParameterAsWord(std::string_view name, uint16_t& value) const {
  int32_t wide = 0;
  if (!GetState_ParameterAsLongInt(name, wide)) return false;
  value = static_cast<uint16_t>(wide);
  return true;
}

bool TParameterList::GetState_ParameterAsByte(std::string_view name, uint8_t& value) const {
  int32_t wide = 0;
  if (!GetState_ParameterAsLongInt(name, wide)) return false;
  value = static_cast<uint8_t>(wide);
  return true;
}

bool TParameterList::GetState_ParameterAsInt64(std::string_view name, int64_t& value) const {
  const TParameter* parameter = GetState_ParameterByName(name);
  if (!parameter) return false;
  const auto number = ParseInteger<int64_t>(parameter->Value());
  if (!number) return false;
  value = *number;
  return true;
}

bool TParameterList::GetState_ParameterAsReal(std::string_view name, float& value) const {
  const TParameter* parameter = GetState_ParameterByName(name);
  if (!parameter) return false;
  const auto number = ParseDecimalReal(parameter->Value());
  if (!number) return false;
  if (std::isfinite(*number) && std::fabs(*number) > std::numeric_limits<float>::max())
    return false;  // beyond the range of a 32-bit real
  value = static_cast<float>(*number);
  return true;
}

bool TParameterList::GetState_ParameterAsDouble(std::string_view name, double& value) const {
  const TParameter* parameter = GetState_ParameterByName(name);
  if (!parameter) return false;
  const auto number = ParseDecimalReal(parameter->Value());
  if (!number) throw EParameterConversionError(parameter->Name(), parameter->Value());
  value = *number;
  return true;
}

bool TParameterList::GetState_ParameterAsBoolean(std::string_view name, bool& value) const {
  const TParameter* parameter = GetState_ParameterByName(name);
  if (!parameter) return false;
  value = SameTrimmedText(parameter->Value(), "True");
  return true;
}

bool TParameterList::GetState_ParameterAsWordBool(std::string_view name, int16_t& value) const {
  bool flag = false;
  if (!GetState_ParameterAsBoolean(name, flag)) return false;
  value = flag ? int16_t(-1) : int16_t(0);
  return true;
}

// ---- One-call helpers ------------------------------------------------------------

bool GetParameterFromText(std::string_view text, std::string_view name, std::string& value) {
  value.clear();
  if (text.empty()) return false;
  return ParametersOf(text).GetState_ParameterAsString(name, value);
}

void SetParameterInText(std::string& text, std::string_view name, std::string_view value) {
  TParameterList parameters;
  parameters.SetState(text);
  if (TParameter* existing = parameters.GetState_ParameterByName(name)) {
    existing->SetValue(value);
  } else {
    parameters.SetState_AddParameter(name, value);
  }
  text = parameters.GetState_ToString();
}

}  // namespace plugin

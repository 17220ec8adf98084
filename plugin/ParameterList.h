// Parameter strings: several named values carried in one text as
// «Name=Value|Name=Value». Messages, process parameters and option keys
// cross the host boundary in this form, so the format is fixed exactly,
// quirks included: texts written here are read by the host and the other
// way round.
//
// Format:
//  - pairs are joined by "|"; the first "=" of a pair separates name and
//    value, later ones belong to the value;
//  - names and values are trimmed of every leading and trailing character
//    whose code is 32 or less;
//  - a pair without "=" or with an empty name is skipped;
//  - there is no escape: a value cannot hold "|", a name cannot hold "=";
//  - an empty value is written as a single space («N= ») and trimmed away
//    again when read.
//
// Names compare without regard to ASCII letter case. Duplicates are kept in
// order; every lookup finds the first.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "automation/ComTypes.h"

namespace plugin {

// The text without its leading and trailing blanks and control characters
// (codes 0..32).
std::string_view TrimBlanksAndControls(std::string_view text);

// Equal without regard to ASCII letter case once both texts are trimmed.
bool SameTrimmedText(std::string_view a, std::string_view b);

// Raised by TParameterList::GetState_ParameterAsDouble for a value that is
// not a number.
class EParameterConversionError : public std::invalid_argument {
 public:
  EParameterConversionError(std::string_view name, std::string_view value);
};

class TParameter {
 public:
  TParameter(std::string_view name, std::string_view value);

  const std::string& Name() const { return name_; }
  const std::string& Value() const { return value_; }
  void SetName(std::string_view name);
  void SetValue(std::string_view value);

 private:
  std::string name_;   // always trimmed
  std::string value_;  // always trimmed
};

class TParameterList {
 public:
  TParameterList() = default;
  TParameterList(TParameterList&&) = default;
  TParameterList& operator=(TParameterList&&) = default;

  // Clears the list, then reads the pairs of `text`. Never fails: malformed
  // pairs are skipped.
  void SetState(std::string_view text);
  void SetState_FromString(std::string_view text);

  // The list written out; the empty text for an empty list.
  std::string GetState() const;
  std::string GetState_ToString() const;

  // Appends (trimmed name, trimmed value); does nothing when the trimmed name
  // is empty.
  void SetState_AddParameter(std::string_view name, std::string_view value);
  void SetState_AddParameterAsString(std::string_view name, std::string_view value);
  void SetState_AddParameterAsBoolean(std::string_view name, bool value);  // "True"/"False"
  void SetState_AddParameterAsInteger(std::string_view name, int32_t value);
  void SetState_AddParameterAsInt64(std::string_view name, int64_t value);
  // See FormatParameterDouble for the text.
  void SetState_AddParameterAsDouble(std::string_view name, double value);

  // The first parameter whose name matches the trimmed `name`; null when none
  // does. The pointer stays valid until that parameter is removed or the
  // list is cleared or re-read.
  TParameter* GetState_ParameterByName(std::string_view name);
  const TParameter* GetState_ParameterByName(std::string_view name) const;
  // Removes the first match; false when there was none.
  bool SetState_RemoveByName(std::string_view name);
  void ClearAllParameters();

  size_t Count() const { return items_.size(); }
  const TParameter& Item(size_t index) const { return *items_.at(index); }

  // Typed getters. Unless stated otherwise: true and `value` set when the
  // parameter exists and its whole value converts; otherwise false and
  // `value` left as it was.

  // Not found: `value` becomes empty.
  bool GetState_ParameterAsString(std::string_view name, std::string& value) const;
  // Found: a new zero-terminated UTF-16 copy that the caller releases with
  // FreeParameterText. Not found: the shared empty text (FreeParameterText
  // ignores it).
  bool GetState_ParameterAsPChar(std::string_view name, const OLECHAR*& value) const;

  // Integers: decimal with an optional sign, or hexadecimal after "$" or
  // "0x". A hexadecimal value is a bit pattern of the target width, so
  // "$FFFFFFFF" reads as -1; a decimal value must lie in the signed range.
  bool GetState_ParameterAsLongInt(std::string_view name, int32_t& value) const;
  bool GetState_ParameterAsInteger(std::string_view name, int32_t& value) const;
  // The low 16 or 8 bits of the 32-bit reading, without range check
  // ("300" as a byte is 44).
  bool GetState_ParameterAsSmallInt(std::string_view name, int16_t& value) const;
  bool GetState_ParameterAsWord(std::string_view name, uint16_t& value) const;
  bool GetState_ParameterAsByte(std::string_view name, uint8_t& value) const;
  bool GetState_ParameterAsInt64(std::string_view name, int64_t& value) const;

  // Reals: "." as separator, optional exponent; the texts that
  // SetState_AddParameterAsDouble writes for infinities and NaN read back.
  bool GetState_ParameterAsReal(std::string_view name, float& value) const;
  // Unlike every other getter, a value that is not a number raises
  // EParameterConversionError; a missing parameter is false.
  bool GetState_ParameterAsDouble(std::string_view name, double& value) const;

  // Found: true, and `value` is true exactly when the value is "True" in any
  // letter case ("1" and "Yes" are false).
  bool GetState_ParameterAsBoolean(std::string_view name, bool& value) const;
  // As GetState_ParameterAsBoolean, with -1 for true and 0 for false.
  bool GetState_ParameterAsWordBool(std::string_view name, int16_t& value) const;

 private:
  // Owned through pointers so that GetState_ParameterByName results stay put
  // while the list grows.
  using Items = std::vector<std::unique_ptr<TParameter>>;

  Items::const_iterator FindByName(std::string_view name) const;

  Items items_;
};

// Releases a text from GetState_ParameterAsPChar. Null and the shared empty
// text are ignored.
void FreeParameterText(const OLECHAR* text);

// General format with up to 15 significant digits, "." as separator, no
// thousands separator, trailing zeros dropped. Exponent form when the
// decimal exponent is 15 or more or below -4, written without "+" and
// without leading zeros: 0.0001, 1E-5, 123456789012345, 1E15, -2.5E-7.
// Infinities and NaN are "INF", "-INF" and "NAN".
std::string FormatParameterDouble(double value);

// One-call lookup: the value of the first parameter called `name` in `text`.
// `value` becomes empty first; false for an empty text or a missing name.
// Repeated lookups in the same text read it only once.
bool GetParameterFromText(std::string_view text, std::string_view name, std::string& value);

// Sets `name` to the trimmed `value` in `text`, keeping its position, or
// appends the pair when the name is missing; `text` is then the list written
// out again (so malformed pairs are dropped and blanks trimmed).
void SetParameterInText(std::string& text, std::string_view name, std::string_view value);

}  // namespace plugin

// The syntax of a BSDL file (the VHDL subset of IEEE 1149.1): one entity
// with its generic, its port list, use clauses, constants and attribute
// specifications. The parser checks the structure and keeps the parts as
// written, with their locations; TBsdlReader gives them meaning.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "bsdl/BsdlLexer.h"

namespace bsdl {

enum class TPortMode { In, Out, InOut, Buffer, Linkage };

struct TPortDeclaration {
  std::string name;
  TPortMode mode = TPortMode::In;
  bool isVector = false;
  int64_t left = 0;  // bit_vector(left to|downto right)
  int64_t right = 0;
  TTextLocation at;

  // Elements of a vector, left to right.
  int64_t Width() const { return (left <= right ? right - left : left - right) + 1; }
  int64_t IndexAt(int64_t position) const {
    return left <= right ? left + position : left - position;
  }
};

// A value: concatenated strings, a number, a name or a parenthesised list.
struct TBsdlValue {
  enum class Kind { String, Number, Identifier, List };
  Kind kind = Kind::String;
  std::string text;      // the number or name as written
  TLocatedText content;  // strings
  std::vector<TBsdlValue> items;
  TTextLocation at;
};

struct TConstantDeclaration {
  std::string name;
  std::string typeName;
  TBsdlValue value;
  TTextLocation at;
};

struct TAttributeSpecification {
  std::string name;         // as written
  std::string target;       // the entity or port it is given for
  std::string entityClass;  // "entity", "signal", ...
  TBsdlValue value;         // empty list for attributes whose value is not read
  bool valueRead = false;
  TTextLocation at;
};

struct TBsdlSyntax {
  std::string file;
  std::string entityName;
  TTextLocation entityAt;
  std::string physicalPinMap;  // default of the PHYSICAL_PIN_MAP generic
  TTextLocation physicalPinMapAt;
  bool hasPhysicalPinMap = false;
  std::vector<TPortDeclaration> ports;
  std::vector<std::string> usePackages;
  std::vector<TConstantDeclaration> constants;
  std::vector<TAttributeSpecification> attributes;
};

// Parses `text`; `file` names the text in error messages. Throws
// EBsdlSyntax at the first error.
TBsdlSyntax ParseBsdl(std::string_view text, const std::string& file);

}  // namespace bsdl

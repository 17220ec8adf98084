#include "bsdl/BsdlParser.h"

#include <array>
#include <charconv>

#include "bsdl/BsdlText.h"

namespace bsdl {

namespace {

// Lists inside values nest only a level or two in real descriptions; the
// limit keeps hostile input from driving the recursion deep.
constexpr int kMaxValueDepth = 8;
// Vector bounds beyond this are refused (no package has that many pins).
constexpr int64_t kMaxVectorBound = 1'000'000;

// Attributes whose values the reader uses or checks; the values of all
// others (vendor extensions and the like) are skipped unread.
constexpr std::array<std::string_view, 17> kReadAttributes = {
    "COMPONENT_CONFORMANCE", "PIN_MAP",
    "TAP_SCAN_IN",           "TAP_SCAN_OUT",
    "TAP_SCAN_MODE",         "TAP_SCAN_CLOCK",
    "TAP_SCAN_RESET",        "INSTRUCTION_LENGTH",
    "INSTRUCTION_OPCODE",    "INSTRUCTION_CAPTURE",
    "IDCODE_REGISTER",       "USERCODE_REGISTER",
    "REGISTER_ACCESS",       "BOUNDARY_LENGTH",
    "BOUNDARY_REGISTER",     "DESIGN_WARNING",
    "COMPLIANCE_PATTERNS"};

bool IsReadAttribute(std::string_view name) {
  for (std::string_view known : kReadAttributes)
    if (SameName(name, known)) return true;
  return false;
}

class Parser {
 public:
  Parser(std::string_view text, const std::string& file) : lexer_(text, file) {
    syntax_.file = file;
    Take();
  }

  TBsdlSyntax Run() {
    while (token_.IsWord("library") || token_.IsWord("use")) SkipStatement("a context clause");
    ExpectWord("entity", "at the start of the description");
    syntax_.entityAt = token_.at;
    syntax_.entityName = ExpectIdentifier("as the entity name");
    ExpectWord("is", "after the entity name");
    if (token_.IsWord("generic")) ParseGeneric();
    if (token_.IsWord("port")) ParsePorts();
    while (!token_.IsWord("end")) ParseEntityItem();
    Take();
    if (token_.IsWord("entity")) Take();
    if (token_.kind == TTokenKind::Identifier) {
      if (!SameName(token_.text, syntax_.entityName))
        Fail(token_.at, "'end " + token_.text + "' does not close entity " + syntax_.entityName);
      Take();
    }
    ExpectSymbol(";", "after 'end'");
    if (token_.kind != TTokenKind::End)
      Fail(token_.at, "expected the end of the text after the entity, found " + token_.Describe());
    return std::move(syntax_);
  }

 private:
  [[noreturn]] void Fail(TTextLocation at, const std::string& message) const {
    throw EBsdlSyntax(syntax_.file, at, message);
  }
  [[noreturn]] void Expected(const std::string& what, const std::string& context) const {
    Fail(token_.at, "expected " + what + " " + context + ", found " + token_.Describe());
  }

  void Take() { token_ = lexer_.Next(); }

  void ExpectSymbol(std::string_view symbol, const std::string& context) {
    if (!token_.IsSymbol(symbol)) Expected("'" + std::string(symbol) + "'", context);
    Take();
  }

  void ExpectWord(std::string_view word, const std::string& context) {
    if (!token_.IsWord(word)) Expected("'" + std::string(word) + "'", context);
    Take();
  }

  std::string ExpectIdentifier(const std::string& context) {
    if (token_.kind != TTokenKind::Identifier) Expected("a name", context);
    std::string name = std::move(token_.text);
    Take();
    return name;
  }

  int64_t ExpectInteger(const std::string& context) {
    if (token_.kind != TTokenKind::Number) Expected("a whole number", context);
    int64_t value = 0;
    const std::string& text = token_.text;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || value > kMaxVectorBound)
      Fail(token_.at, "expected a whole number up to " + std::to_string(kMaxVectorBound) + " " +
                          context + ", found " + token_.Describe());
    Take();
    return value;
  }

  // Skips a statement up to and including its ';'.
  void SkipStatement(const std::string& what) {
    const TTextLocation start = token_.at;
    while (!token_.IsSymbol(";")) {
      if (token_.kind == TTokenKind::End) Fail(start, "expected ';' to end " + what);
      Take();
    }
    Take();
  }

  void ParseGeneric() {
    Take();
    ExpectSymbol("(", "after 'generic'");
    for (;;) {
      std::vector<TToken> names;
      do {
        if (!names.empty()) Take();
        if (token_.kind != TTokenKind::Identifier)
          Expected("a generic name", "in the generic list");
        names.push_back(token_);
        Take();
      } while (token_.IsSymbol(","));
      ExpectSymbol(":", "after the generic name");
      ExpectIdentifier("as the generic's type");
      if (token_.IsSymbol(":=")) {
        Take();
        const TBsdlValue value = ParseValue(0);
        for (const TToken& name : names) {
          if (!SameName(name.text, "PHYSICAL_PIN_MAP")) continue;
          if (value.kind != TBsdlValue::Kind::String)
            Fail(value.at, "expected a string as the default of PHYSICAL_PIN_MAP");
          syntax_.physicalPinMap = value.content.Text();
          syntax_.physicalPinMapAt = value.at;
          syntax_.hasPhysicalPinMap = true;
        }
      }
      if (!token_.IsSymbol(";")) break;
      Take();
    }
    ExpectSymbol(")", "to close the generic list");
    ExpectSymbol(";", "after the generic list");
  }

  void ParsePorts() {
    Take();
    ExpectSymbol("(", "after 'port'");
    for (;;) {
      ParsePortGroup();
      if (!token_.IsSymbol(";")) break;
      Take();
    }
    ExpectSymbol(")", "to close the port list");
    ExpectSymbol(";", "after the port list");
  }

  void ParsePortGroup() {
    std::vector<TPortDeclaration> group;
    do {
      if (!group.empty()) Take();
      TPortDeclaration port;
      port.at = token_.at;
      port.name = ExpectIdentifier("as a port name");
      group.push_back(std::move(port));
    } while (token_.IsSymbol(","));
    ExpectSymbol(":", "after the port name");
    const TPortMode mode = ParseMode();
    bool isVector = false;
    int64_t left = 0, right = 0;
    if (token_.IsWord("bit_vector")) {
      Take();
      isVector = true;
      ExpectSymbol("(", "after 'bit_vector'");
      left = ExpectInteger("as the first bound of the vector");
      if (!token_.IsWord("to") && !token_.IsWord("downto"))
        Expected("'to' or 'downto'", "in the vector range");
      const bool ascending = token_.IsWord("to");
      Take();
      right = ExpectInteger("as the second bound of the vector");
      if (ascending ? left > right : left < right)
        Fail(group.front().at, "the range of port " + group.front().name + " is empty");
      ExpectSymbol(")", "to close the vector range");
    } else {
      ExpectWord("bit", "as the port type (bit or bit_vector)");
    }
    for (TPortDeclaration& port : group) {
      port.mode = mode;
      port.isVector = isVector;
      port.left = left;
      port.right = right;
      syntax_.ports.push_back(std::move(port));
    }
  }

  TPortMode ParseMode() {
    static constexpr std::pair<std::string_view, TPortMode> kModes[] = {
        {"in", TPortMode::In},
        {"out", TPortMode::Out},
        {"inout", TPortMode::InOut},
        {"buffer", TPortMode::Buffer},
        {"linkage", TPortMode::Linkage}};
    for (const auto& [word, mode] : kModes) {
      if (!token_.IsWord(word)) continue;
      Take();
      return mode;
    }
    Expected("a port mode (in, out, inout, buffer or linkage)", "after ':'");
  }

  void ParseEntityItem() {
    if (token_.IsWord("use")) return ParseUse();
    if (token_.IsWord("attribute")) return ParseAttribute();
    if (token_.IsWord("constant")) return ParseConstant();
    if (token_.kind == TTokenKind::End) Expected("'end'", "to close entity " + syntax_.entityName);
    Expected("'attribute', 'constant', 'use' or 'end'", "in the entity");
  }

  void ParseUse() {
    Take();
    syntax_.usePackages.push_back(ExpectIdentifier("as the package name after 'use'"));
    while (token_.IsSymbol(".")) {
      Take();
      ExpectIdentifier("after '.'");
    }
    ExpectSymbol(";", "after the use clause");
  }

  void ParseAttribute() {
    TAttributeSpecification attribute;
    Take();
    attribute.at = token_.at;
    attribute.name = ExpectIdentifier("as the attribute name");
    if (token_.IsSymbol(":")) return SkipStatement("the attribute declaration");
    ExpectWord("of", "after the attribute name");
    attribute.target = ExpectIdentifier("as the name the attribute is given for");
    ExpectSymbol(":", "after the attribute's target");
    attribute.entityClass = ExpectIdentifier("as the class of the attribute's target");
    ExpectWord("is", "before the attribute's value");
    if (!IsReadAttribute(attribute.name)) return SkipStatement("the attribute " + attribute.name);
    attribute.value = ParseValue(0);
    attribute.valueRead = true;
    ExpectSymbol(";", "after the value of " + attribute.name);
    syntax_.attributes.push_back(std::move(attribute));
  }

  void ParseConstant() {
    TConstantDeclaration constant;
    Take();
    constant.at = token_.at;
    constant.name = ExpectIdentifier("as the constant name");
    ExpectSymbol(":", "after the constant name");
    constant.typeName = ExpectIdentifier("as the constant's type");
    ExpectSymbol(":=", "before the constant's value");
    constant.value = ParseValue(0);
    ExpectSymbol(";", "after the value of constant " + constant.name);
    syntax_.constants.push_back(std::move(constant));
  }

  // value := term { '&' term }; only strings are joined.
  TBsdlValue ParseValue(int depth) {
    TBsdlValue value = ParseTerm(depth);
    while (token_.IsSymbol("&")) {
      const TTextLocation joinAt = token_.at;
      Take();
      const TBsdlValue next = ParseTerm(depth);
      if (value.kind != TBsdlValue::Kind::String || next.kind != TBsdlValue::Kind::String)
        Fail(joinAt, "only strings can be joined with '&'");
      value.content.Append(next.content);
    }
    return value;
  }

  TBsdlValue ParseTerm(int depth) {
    TBsdlValue value;
    value.at = token_.at;
    switch (token_.kind) {
      case TTokenKind::String:
        value.kind = TBsdlValue::Kind::String;
        value.content = std::move(token_.content);
        Take();
        return value;
      case TTokenKind::Number:
        value.kind = TBsdlValue::Kind::Number;
        value.text = std::move(token_.text);
        Take();
        return value;
      case TTokenKind::Identifier:
        value.kind = TBsdlValue::Kind::Identifier;
        value.text = std::move(token_.text);
        Take();
        return value;
      default:
        break;
    }
    if (!token_.IsSymbol("(")) Expected("a value", "here");
    if (depth >= kMaxValueDepth) Fail(token_.at, "values are nested too deeply");
    Take();
    value.kind = TBsdlValue::Kind::List;
    for (;;) {
      value.items.push_back(ParseValue(depth + 1));
      if (!token_.IsSymbol(",")) break;
      Take();
    }
    ExpectSymbol(")", "to close the list");
    return value;
  }

  TBsdlLexer lexer_;
  TToken token_;
  TBsdlSyntax syntax_;
};

}  // namespace

TBsdlSyntax ParseBsdl(std::string_view text, const std::string& file) {
  return Parser(text, file).Run();
}

}  // namespace bsdl

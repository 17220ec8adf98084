#include "bsdl/BsdlReader.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <fstream>
#include <map>
#include <set>
#include <stdexcept>
#include <utility>
#include <vector>

#include "bsdl/BoundaryCell.h"
#include "bsdl/BsdlLexer.h"
#include "bsdl/BsdlParser.h"
#include "bsdl/BsdlPaths.h"
#include "bsdl/BsdlText.h"
#include "bsdl/InstructionOpCode.h"
#include "bsdl/PinMapping.h"
#include "bsdl/RegisterAssociation.h"
#include "bsdl/ScanPin.h"
#include "hostsdk/Utf8Path.h"

namespace bsdl {

namespace {

constexpr size_t kMaxFileSize = 64u << 20;
constexpr int64_t kMaxInstructionLength = 4096;
constexpr int64_t kMaxBoundaryLength = 1'000'000;
constexpr int64_t kMaxRegisterLength = 0x7FFFFFFF;
// Each pin, opcode and register entry costs far more memory than the few
// characters that name it; these bounds, far above any real description,
// keep a hostile file from turning into gigabytes of objects.
constexpr size_t kMaxPins = 1'000'000;
constexpr size_t kMaxOpcodes = 65'536;
constexpr size_t kMaxRegisterEntries = 65'536;

template <class T>
struct Named {
  std::string_view name;
  T value;
};

constexpr Named<TCellKind> kCellKinds[] = {
    {"BC_0", eCellKind_BC_0}, {"BC_1", eCellKind_BC_1},  {"BC_2", eCellKind_BC_2},
    {"BC_3", eCellKind_BC_3}, {"BC_4", eCellKind_BC_4},  {"BC_5", eCellKind_BC_5},
    {"BC_6", eCellKind_BC_6}, {"BC_7", eCellKind_BC_7},  {"BC_8", eCellKind_BC_8},
    {"BC_9", eCellKind_BC_9}, {"BC_10", eCellKind_BC_10}};

constexpr Named<TCellFunction> kCellFunctions[] = {{"INPUT", eCellFunction_Input},
                                                   {"CLOCK", eCellFunction_Clock},
                                                   {"OUTPUT2", eCellFunction_Output2},
                                                   {"OUTPUT3", eCellFunction_Output3},
                                                   {"CONTROL", eCellFunction_Control},
                                                   {"CONTROLR", eCellFunction_ControlR},
                                                   {"INTERNAL", eCellFunction_Internal},
                                                   {"BIDIR", eCellFunction_BiDir},
                                                   {"OBSERVE_ONLY", eCellFunction_ObserveOnly}};

constexpr Named<TBitValue> kSafeBits[] = {{"0", eBit_0}, {"1", eBit_1}, {"X", eBit_X}};
constexpr Named<TBitValue> kDisableValues[] = {{"0", eBit_0}, {"1", eBit_1}};

constexpr Named<TDisableResult> kDisableResults[] = {
    {"Z", eDisableResult_HiZ},       {"WEAK0", eDisableResult_Weak0},
    {"WEAK1", eDisableResult_Weak1}, {"PULL0", eDisableResult_Pull0},
    {"PULL1", eDisableResult_Pull1}, {"KEEPER", eDisableResult_Keeper}};

constexpr Named<TScanClockHaltMode> kHaltModes[] = {{"LOW", eScanClockHaltMode_Low},
                                                    {"BOTH", eScanClockHaltMode_Both}};

// The TAP attributes, the pin kind each gives and where the entity keeps
// the pin.
struct TapAttribute {
  std::string_view name;
  TScanPinKind kind;
  void (TBSDLEntity::*set)(TScanPin*);
  TScanPin* (TBSDLEntity::*get)() const;
};
constexpr TapAttribute kTapAttributes[] = {
    {"TAP_SCAN_IN", eScanPinKind_TDI, &TBSDLEntity::SetTAP_TDI, &TBSDLEntity::TAP_TDI},
    {"TAP_SCAN_OUT", eScanPinKind_TDO, &TBSDLEntity::SetTAP_TDO, &TBSDLEntity::TAP_TDO},
    {"TAP_SCAN_MODE", eScanPinKind_TMS, &TBSDLEntity::SetTAP_TMS, &TBSDLEntity::TAP_TMS},
    {"TAP_SCAN_CLOCK", eScanPinKind_TCK, &TBSDLEntity::SetTAP_TCK, &TBSDLEntity::TAP_TCK},
    {"TAP_SCAN_RESET", eScanPinKind_TRST, &TBSDLEntity::SetTAP_TRST, &TBSDLEntity::TAP_TRST}};

// The instructions the entity keeps an opcode field for.
struct StandardInstruction {
  std::string_view name;
  void (TBSDLEntity::*set)(uint32_t);
};
constexpr StandardInstruction kStandardInstructions[] = {
    {"BYPASS", &TBSDLEntity::SetInstruction_BYPASS},
    {"EXTEST", &TBSDLEntity::SetInstruction_EXTEST},
    {"SAMPLE", &TBSDLEntity::SetInstruction_SAMPLE},
    {"IDCODE", &TBSDLEntity::SetInstruction_IDCODE},
    {"USERCODE", &TBSDLEntity::SetInstruction_USERCODE},
    {"CLAMP", &TBSDLEntity::SetInstruction_CLAMP},
    {"HIGHZ", &TBSDLEntity::SetInstruction_HIGHZ}};

// Attributes given for the entity itself rather than for a port.
constexpr std::string_view kEntityAttributes[] = {
    "COMPONENT_CONFORMANCE", "PIN_MAP",           "INSTRUCTION_LENGTH", "INSTRUCTION_OPCODE",
    "INSTRUCTION_CAPTURE",   "IDCODE_REGISTER",   "USERCODE_REGISTER",  "REGISTER_ACCESS",
    "BOUNDARY_LENGTH",       "BOUNDARY_REGISTER", "DESIGN_WARNING",     "COMPLIANCE_PATTERNS"};

template <class T, size_t N>
const T* FindNamed(const Named<T> (&table)[N], std::string_view name) {
  for (const Named<T>& entry : table)
    if (SameName(entry.name, name)) return &entry.value;
  return nullptr;
}

template <class T, size_t N>
std::string NamesOf(const Named<T> (&table)[N]) {
  std::string names;
  for (size_t i = 0; i < N; ++i)
    names += (i == 0 ? "" : i + 1 == N ? " or " : ", ") + std::string(table[i].name);
  return names;
}

bool StartsWithName(std::string_view name, std::string_view prefix) {
  return name.size() >= prefix.size() && SameName(name.substr(0, prefix.size()), prefix);
}

bool IsPowerName(std::string_view name) {
  return StartsWithName(name, "VCC") || StartsWithName(name, "VDD") || StartsWithName(name, "VPP");
}

bool IsGroundName(std::string_view name) {
  return StartsWithName(name, "GND") || StartsWithName(name, "VSS");
}

bool IsBitPattern(std::string_view text, std::string_view allowed) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [&](char c) {
    return allowed.find(c) != std::string_view::npos;
  });
}

// A cursor over the tokens of one attribute string; errors name the
// attribute and point into the file.
class StringCursor {
 public:
  StringCursor(const TLocatedText& text, const std::string& file, std::string where)
      : lexer_(text, file), where_(std::move(where)) {
    Take();
  }

  const TToken& Token() const { return token_; }
  bool AtEnd() const { return token_.kind == TTokenKind::End; }
  void Take() { token_ = lexer_.Next(); }

  [[noreturn]] void Fail(TTextLocation at, const std::string& message) const {
    throw EBsdlSyntax(lexer_.File(), at, message + " " + where_);
  }
  [[noreturn]] void Expected(const std::string& what) const {
    Fail(token_.at, "expected " + what + ", found " + token_.Describe() + ",");
  }

  bool TakeSymbol(std::string_view symbol) {
    if (!token_.IsSymbol(symbol)) return false;
    Take();
    return true;
  }
  void ExpectSymbol(std::string_view symbol, const std::string& context) {
    if (!TakeSymbol(symbol)) Expected("'" + std::string(symbol) + "' " + context);
  }
  TToken ExpectWord(const std::string& what) {
    if (token_.kind != TTokenKind::Word) Expected(what);
    TToken word = token_;
    Take();
    return word;
  }
  // A word of digits between `min` and `max`.
  int64_t ExpectNumber(const std::string& what, int64_t min, int64_t max) {
    const TToken word = ExpectWord(what);
    int64_t value = 0;
    const auto [end, error] =
        std::from_chars(word.text.data(), word.text.data() + word.text.size(), value);
    if (error != std::errc{} || end != word.text.data() + word.text.size() || value < min ||
        value > max)
      Fail(word.at, "expected " + what + " (" + std::to_string(min) + " to " + std::to_string(max) +
                        "), found '" + word.text + "'");
    return value;
  }
  // After an item of a list: ',' and more items, or the end of the string.
  bool NextItem(const std::string& item) {
    if (AtEnd()) return false;
    ExpectSymbol(",", "or the end of the string after " + item);
    return true;
  }

 private:
  TStringLexer lexer_;
  std::string where_;
  TToken token_;
};

class Builder {
 public:
  explicit Builder(const TBsdlSyntax& syntax)
      : syntax_(syntax), entity_(std::make_unique<TBSDLEntity>()) {}

  std::unique_ptr<TBSDLEntity> Run() {
    entity_->SetName(syntax_.entityName);
    entity_->SetFilename(FileNamePart(syntax_.file));
    CheckAttributes();
    DeclarePorts();
    BuildPins();
    ReadTapAttributes();
    ReadTexts();
    ReadInstructions();
    ReadIdCode();
    ReadRegisterAccess();
    ReadBoundaryRegister();
    return std::move(entity_);
  }

 private:
  struct Port {
    const TPortDeclaration* declaration;
    std::vector<std::string> pinNumbers;  // from the pin map, left to right
    bool mapped = false;
    std::vector<TScanPin*> pins;
  };

  [[noreturn]] void Fail(TTextLocation at, const std::string& message) const {
    throw EBsdlSyntax(syntax_.file, at, message);
  }

  const TAttributeSpecification* Attribute(std::string_view name) const {
    for (const TAttributeSpecification& attribute : syntax_.attributes)
      if (SameName(attribute.name, name)) return &attribute;
    return nullptr;
  }

  const TLocatedText& StringValue(const TAttributeSpecification& attribute) const {
    if (attribute.value.kind != TBsdlValue::Kind::String)
      Fail(attribute.value.at, "expected a string as the value of " + attribute.name);
    return attribute.value.content;
  }

  int64_t NumberValue(const TAttributeSpecification& attribute, int64_t min, int64_t max) const {
    const TBsdlValue& value = attribute.value;
    int64_t number = 0;
    const bool whole =
        value.kind == TBsdlValue::Kind::Number &&
        std::from_chars(value.text.data(), value.text.data() + value.text.size(), number).ptr ==
            value.text.data() + value.text.size();
    if (!whole || number < min || number > max)
      Fail(value.at, "expected a whole number from " + std::to_string(min) + " to " +
                         std::to_string(max) + " as the value of " + attribute.name);
    return number;
  }

  // Each attribute once per target; entity attributes for this entity.
  void CheckAttributes() const {
    // Looked up by name and target: a file may give thousands of attributes.
    std::map<std::string, const TAttributeSpecification*> given;
    for (const TAttributeSpecification& attribute : syntax_.attributes) {
      const auto [earlier, added] = given.emplace(
          UpperAscii(attribute.name) + " " + UpperAscii(attribute.target), &attribute);
      if (!added)
        Fail(attribute.at, attribute.name + " of " + attribute.target +
                               " is given twice (first on line " +
                               std::to_string(earlier->second->at.line) + ")");
      const bool forEntity =
          std::any_of(std::begin(kEntityAttributes), std::end(kEntityAttributes),
                      [&](std::string_view name) { return SameName(name, attribute.name); });
      if (forEntity && !SameName(attribute.target, syntax_.entityName))
        Fail(attribute.at, attribute.name + " is given for '" + attribute.target +
                               "', but the entity is " + syntax_.entityName);
    }
  }

  void DeclarePorts() {
    for (const TPortDeclaration& declaration : syntax_.ports) {
      const std::string key = UpperAscii(declaration.name);
      if (portIndex_.count(key))
        Fail(declaration.at, "port " + declaration.name + " is declared twice");
      portIndex_[key] = ports_.size();
      ports_.push_back(Port{&declaration, {}, false, {}});
    }
  }

  Port* FindPort(std::string_view name) {
    const auto found = portIndex_.find(UpperAscii(name));
    return found == portIndex_.end() ? nullptr : &ports_[found->second];
  }

  // The pin map the description selects: the constant the PIN_MAP
  // attribute names, else the one the PHYSICAL_PIN_MAP generic names, else
  // the only PIN_MAP_STRING constant.
  const TConstantDeclaration* ChoosePinMap() const {
    std::vector<const TConstantDeclaration*> maps;
    for (const TConstantDeclaration& constant : syntax_.constants)
      if (SameName(constant.typeName, "PIN_MAP_STRING")) maps.push_back(&constant);
    const auto named = [&](std::string_view name) -> const TConstantDeclaration* {
      for (const TConstantDeclaration* map : maps)
        if (SameName(map->name, name)) return map;
      return nullptr;
    };
    if (const TAttributeSpecification* pinMap = Attribute("PIN_MAP");
        pinMap && pinMap->value.kind == TBsdlValue::Kind::Identifier) {
      if (const TConstantDeclaration* map = named(pinMap->value.text)) return map;
    }
    if (syntax_.hasPhysicalPinMap) {
      if (const TConstantDeclaration* map = named(syntax_.physicalPinMap)) return map;
      Fail(syntax_.physicalPinMapAt, "PHYSICAL_PIN_MAP names \"" + syntax_.physicalPinMap +
                                         "\", but no PIN_MAP_STRING constant has that name");
    }
    if (maps.size() > 1)
      Fail(maps[1]->at,
           "there are several PIN_MAP_STRING constants and no PHYSICAL_PIN_MAP default to choose "
           "one");
    return maps.empty() ? nullptr : maps.front();
  }

  void BuildPins() {
    const TConstantDeclaration* map = ChoosePinMap();
    if (!map) {
      if (!ports_.empty())
        Fail(ports_.front().declaration->at,
             "the ports have no pin map (a PIN_MAP_STRING constant)");
      return;
    }
    if (map->value.kind != TBsdlValue::Kind::String)
      Fail(map->value.at, "expected a string as the value of pin map " + map->name);
    ReadPinMap(map->value.content, "in pin map " + map->name);
    for (Port& port : ports_) {
      if (!port.mapped)
        Fail(port.declaration->at,
             "port " + port.declaration->name + " is not in pin map " + map->name);
      CreatePins(port);
    }
  }

  // port ':' pin | port ':' '(' pin {',' pin} ')', separated by ','.
  void ReadPinMap(const TLocatedText& text, const std::string& where) {
    StringCursor cursor(text, syntax_.file, where);
    std::map<std::string, std::string> pinOwners;
    do {
      if (cursor.AtEnd()) break;
      const TToken name = cursor.ExpectWord("a port name");
      Port* port = FindPort(name.text);
      if (!port) cursor.Fail(name.at, "port '" + name.text + "' is not declared");
      if (port->mapped) cursor.Fail(name.at, "port " + name.text + " is mapped twice");
      cursor.ExpectSymbol(":", "after port " + name.text);
      std::vector<TToken> pins;
      const TPortDeclaration& declaration = *port->declaration;
      const int64_t expected = declaration.isVector ? declaration.Width() : 1;
      const bool list = cursor.TakeSymbol("(");
      do {
        // A list longer than the port is refused before it is all kept.
        if (static_cast<int64_t>(pins.size()) == expected)
          cursor.Fail(cursor.Token().at, "port " + name.text + " has " +
                                             std::to_string(expected) +
                                             " element(s), but the pin map gives a longer list");
        pins.push_back(cursor.ExpectWord("a pin number for port " + name.text));
      } while (list && cursor.TakeSymbol(","));
      if (list) cursor.ExpectSymbol(")", "to close the pins of port " + name.text);
      if (list != declaration.isVector || static_cast<int64_t>(pins.size()) != expected)
        cursor.Fail(name.at, "port " + name.text + " has " + std::to_string(expected) +
                                 " element(s), but the pin map gives " +
                                 (list ? "a list of " + std::to_string(pins.size())
                                       : std::string("one pin")));
      for (const TToken& pin : pins) {
        if (pinOwners.size() == kMaxPins)
          cursor.Fail(pin.at, "more than " + std::to_string(kMaxPins) + " pins are mapped");
        const auto [owner, added] = pinOwners.emplace(UpperAscii(pin.text), name.text);
        if (!added)
          cursor.Fail(pin.at, "pin " + pin.text + " is mapped to both " + owner->second + " and " +
                                  name.text);
        port->pinNumbers.push_back(pin.text);
      }
      port->mapped = true;
    } while (cursor.NextItem("a port's pins"));
  }

  static std::string ElementName(const TPortDeclaration& declaration, int64_t position) {
    if (!declaration.isVector || declaration.mode == TPortMode::Linkage) return declaration.name;
    return declaration.name + "(" + std::to_string(declaration.IndexAt(position)) + ")";
  }

  static void SetElectrical(TScanPin& pin, TPortMode mode) {
    switch (mode) {
      case TPortMode::In:
        pin.SetDirection(eElectricInput);
        return;
      case TPortMode::Out:
      case TPortMode::Buffer:
        pin.SetDirection(eElectricOutput);
        return;
      case TPortMode::InOut:
        pin.SetDirection(eElectricIO);
        return;
      case TPortMode::Linkage:
        break;
    }
    if (IsPowerName(pin.PinName()) || IsGroundName(pin.PinName())) {
      pin.SetKind(IsPowerName(pin.PinName()) ? eScanPinKind_Power : eScanPinKind_Ground);
      pin.SetDirection(eElectricPower);
    } else {
      pin.SetDirection(eElectricPassive);
    }
  }

  void CreatePins(Port& port) {
    const TPortDeclaration& declaration = *port.declaration;
    for (size_t position = 0; position < port.pinNumbers.size(); ++position) {
      TScanPin* pin = entity_->Create<TScanPin>();
      pin->SetPinName(ElementName(declaration, static_cast<int64_t>(position)));
      pin->SetPinNumber(port.pinNumbers[position]);
      SetElectrical(*pin, declaration.mode);
      TPinMapping* mapping = entity_->Create<TPinMapping>();
      mapping->SetPinName(pin->PinName());
      mapping->SetPinNumber(pin->PinNumber());
      mapping->SetScanPin(pin);
      pin->SetPinMapping(mapping);
      entity_->AddPin(pin);
      entity_->AddPinMapping(mapping);
      port.pins.push_back(pin);
    }
  }

  TScanPin* ScalarPin(const TAttributeSpecification& attribute) {
    Port* port = FindPort(attribute.target);
    if (!port)
      Fail(attribute.at,
           attribute.name + " is given for '" + attribute.target + "', which is not a port");
    if (port->declaration->mode == TPortMode::Linkage)
      Fail(attribute.at, attribute.name + " is given for linkage port " + attribute.target);
    if (port->declaration->isVector)
      Fail(attribute.at, attribute.name + " is given for vector port " + attribute.target +
                             "; a TAP port is a single bit");
    return port->pins.front();
  }

  void ReadTapAttributes() {
    for (const TAttributeSpecification& attribute : syntax_.attributes) {
      for (const TapAttribute& tap : kTapAttributes) {
        if (!SameName(attribute.name, tap.name)) continue;
        if ((entity_.get()->*tap.get)())
          Fail(attribute.at, std::string(tap.name) + " is given for a second port");
        TScanPin* pin = ScalarPin(attribute);
        for (const TapAttribute& other : kTapAttributes)
          if ((entity_.get()->*other.get)() == pin)
            Fail(attribute.at, "port " + attribute.target + " is already the " +
                                   std::string(other.name) + " port");
        if (tap.kind == eScanPinKind_TCK)
          ReadScanClock(attribute);
        else if (attribute.value.kind != TBsdlValue::Kind::Identifier ||
                 !SameName(attribute.value.text, "true"))
          Fail(attribute.value.at, "expected 'true' as the value of " + attribute.name);
        pin->SetKind(tap.kind);
        (entity_.get()->*tap.set)(pin);
      }
    }
  }

  // (frequency in Hz, LOW | BOTH)
  void ReadScanClock(const TAttributeSpecification& attribute) {
    const TBsdlValue& value = attribute.value;
    if (value.kind != TBsdlValue::Kind::List || value.items.size() != 2 ||
        value.items[0].kind != TBsdlValue::Kind::Number ||
        value.items[1].kind != TBsdlValue::Kind::Identifier)
      Fail(value.at, "expected (frequency, LOW or BOTH) as the value of TAP_SCAN_CLOCK");
    const std::string& text = value.items[0].text;
    double frequency = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), frequency);
    if (error != std::errc{} || end != text.data() + text.size() || !std::isfinite(frequency))
      Fail(value.items[0].at, "expected a frequency in Hz in TAP_SCAN_CLOCK, found " + text);
    const TScanClockHaltMode* mode = FindNamed(kHaltModes, value.items[1].text);
    if (!mode)
      Fail(value.items[1].at,
           "expected LOW or BOTH as the halt mode in TAP_SCAN_CLOCK, found " + value.items[1].text);
    entity_->SetScanClockMaxSpeed(frequency);
    entity_->SetScanClockHaltMode(*mode);
  }

  void ReadTexts() {
    if (const auto* a = Attribute("COMPONENT_CONFORMANCE"))
      entity_->SetConformanceStatement(StringValue(*a).Text());
    if (const auto* a = Attribute("COMPLIANCE_PATTERNS"))
      entity_->SetCompliancePattern(StringValue(*a).Text());
    if (const auto* a = Attribute("DESIGN_WARNING"))
      entity_->SetDesignWarning(StringValue(*a).Text());
  }

  void ReadInstructions() {
    if (const auto* length = Attribute("INSTRUCTION_LENGTH"))
      entity_->SetInstructionLength(
          static_cast<int32_t>(NumberValue(*length, 1, kMaxInstructionLength)));
    if (const auto* opcodes = Attribute("INSTRUCTION_OPCODE")) ReadOpcodes(*opcodes);
    if (const auto* capture = Attribute("INSTRUCTION_CAPTURE"))
      CheckPattern(*capture, entity_->InstructionLength(), "01xX");
  }

  // The single word of a bit-pattern attribute, checked; the word joined
  // from all words when `length` is 0.
  std::string CheckPattern(const TAttributeSpecification& attribute, int64_t length,
                           std::string_view bits) {
    StringCursor cursor(StringValue(attribute), syntax_.file, "in " + attribute.name);
    std::string pattern;
    const TTextLocation at = cursor.Token().at;
    while (!cursor.AtEnd()) pattern += cursor.ExpectWord("bits").text;
    if (!IsBitPattern(pattern, bits) ||
        (length > 0 && static_cast<int64_t>(pattern.size()) != length))
      cursor.Fail(at, "expected " + (length > 0 ? std::to_string(length) + " " : std::string()) +
                          "bits of " + std::string(bits) + ", found \"" + pattern + "\"");
    return pattern;
  }

  // NAME '(' pattern {',' pattern} ')', separated by ','.
  void ReadOpcodes(const TAttributeSpecification& attribute) {
    StringCursor cursor(StringValue(attribute), syntax_.file, "in INSTRUCTION_OPCODE");
    std::map<std::string, TTextLocation> seen;
    size_t patternLength =
        entity_->InstructionLength() > 0 ? static_cast<size_t>(entity_->InstructionLength()) : 0;
    do {
      if (cursor.AtEnd()) break;
      const TToken name = cursor.ExpectWord("an instruction name");
      if (!seen.emplace(UpperAscii(name.text), name.at).second)
        cursor.Fail(name.at, "instruction " + name.text + " is listed twice");
      cursor.ExpectSymbol("(", "after instruction " + name.text);
      do {
        if (entity_->InstructionOpCodes().size() == kMaxOpcodes)
          cursor.Fail(cursor.Token().at,
                      "there are more than " + std::to_string(kMaxOpcodes) + " opcodes");
        const TToken pattern = cursor.ExpectWord("an opcode of 0 and 1 for " + name.text);
        if (!IsBitPattern(pattern.text, "01"))
          cursor.Fail(pattern.at, "opcode \"" + pattern.text + "\" of " + name.text +
                                      " is not made of 0 and 1");
        if (patternLength == 0) patternLength = pattern.text.size();
        if (pattern.text.size() != patternLength)
          cursor.Fail(pattern.at, "opcode \"" + pattern.text + "\" of " + name.text + " is not " +
                                      std::to_string(patternLength) + " bits long");
        AddOpcode(name.text, pattern.text);
      } while (cursor.TakeSymbol(","));
      cursor.ExpectSymbol(")", "to close the opcodes of " + name.text);
    } while (cursor.NextItem("an instruction"));
  }

  void AddOpcode(const std::string& name, const std::string& pattern) {
    TInstructionOpCode* opcode = entity_->Create<TInstructionOpCode>();
    opcode->SetInstructionName(name);
    opcode->SetOpCodePattern(pattern);
    entity_->AddInstructionOpCode(opcode);
    opcodesByName_[UpperAscii(name)].push_back(opcode);
    if (pattern.size() > 32) return;
    for (const StandardInstruction& standard : kStandardInstructions) {
      if (!SameName(standard.name, name) || standardSet_.count(standard.name)) continue;
      (entity_.get()->*standard.set)(static_cast<uint32_t>(std::stoull(pattern, nullptr, 2)));
      standardSet_.insert(standard.name);
    }
  }

  void ReadIdCode() {
    if (const auto* idcode = Attribute("IDCODE_REGISTER")) {
      const std::string bits = CheckPattern(*idcode, 32, "01xX");
      uint32_t value = 0;
      for (char bit : bits) value = (value << 1) | (bit == '1' ? 1u : 0u);
      entity_->SetIdCode(value);
    }
    if (const auto* usercode = Attribute("USERCODE_REGISTER")) CheckPattern(*usercode, 32, "01xX");
  }

  // REGISTER ['[' length ']'] '(' instruction {',' instruction} ')', separated by ','.
  void ReadRegisterAccess() {
    const TAttributeSpecification* attribute = Attribute("REGISTER_ACCESS");
    if (!attribute) return;
    StringCursor cursor(StringValue(*attribute), syntax_.file, "in REGISTER_ACCESS");
    size_t entries = 0;
    do {
      if (cursor.AtEnd()) break;
      const TToken name = cursor.ExpectWord("a register name");
      int32_t length = 0;
      if (cursor.TakeSymbol("[")) {
        length = static_cast<int32_t>(
            cursor.ExpectNumber("the length of " + name.text, 1, kMaxRegisterLength));
        cursor.ExpectSymbol("]", "after the length of " + name.text);
      }
      TRegisterAssociation* association = Association(name.text, length);
      if (association->RegisterLength() != length)
        cursor.Fail(name.at, "register " + name.text + " is given two different lengths");
      cursor.ExpectSymbol("(", "after register " + name.text);
      do {
        const TToken instruction = cursor.ExpectWord("an instruction name for " + name.text);
        if (++entries > kMaxRegisterEntries)
          cursor.Fail(instruction.at, "there are more than " +
                                          std::to_string(kMaxRegisterEntries) +
                                          " register-instruction pairs");
        AddInstructionTo(*association, instruction.text);
      } while (cursor.TakeSymbol(","));
      cursor.ExpectSymbol(")", "to close the instructions of " + name.text);
    } while (cursor.NextItem("a register"));
  }

  TRegisterAssociation* Association(const std::string& name, int32_t length) {
    TRegisterAssociation*& association = associations_[UpperAscii(name)];
    if (association) return association;
    association = entity_->Create<TRegisterAssociation>();
    association->SetRegisterName(name);
    association->SetRegisterLength(length);
    entity_->AddRegisterAssociation(association);
    return association;
  }

  void AddInstructionTo(TRegisterAssociation& association, const std::string& instruction) {
    const std::string key = UpperAscii(instruction);
    if (!listed_.emplace(&association, key).second) return;  // listed before
    const auto opcodes = opcodesByName_.find(key);
    if (opcodes == opcodesByName_.end()) return association.AddInstructionName(instruction);
    for (TInstructionOpCode* opcode : opcodes->second) association.AddOpCode(opcode);
  }

  struct CellLink {
    TBoundaryCell* cell;
    TTextLocation at;
  };

  void ReadBoundaryRegister() {
    const TAttributeSpecification* lengthAttribute = Attribute("BOUNDARY_LENGTH");
    const TAttributeSpecification* registerAttribute = Attribute("BOUNDARY_REGISTER");
    const int64_t length =
        lengthAttribute ? NumberValue(*lengthAttribute, 0, kMaxBoundaryLength) : -1;
    if (!registerAttribute) {
      if (length > 0)
        Fail(lengthAttribute->at, "BOUNDARY_LENGTH is " + std::to_string(length) +
                                      ", but there is no BOUNDARY_REGISTER");
      entity_->SetBoundaryLength(length > 0 ? static_cast<int32_t>(length) : 0);
      return;
    }
    std::vector<CellLink> cells;
    StringCursor cursor(StringValue(*registerAttribute), syntax_.file, "in BOUNDARY_REGISTER");
    const int64_t capacity = length >= 0 ? length : kMaxBoundaryLength;
    do {
      if (cursor.AtEnd()) break;
      // Cells past the register's length are refused before they are made.
      if (static_cast<int64_t>(cells.size()) == capacity)
        cursor.Fail(cursor.Token().at, "more than " + std::to_string(capacity) + " cells" +
                                           (length >= 0 ? " (the BOUNDARY_LENGTH)" : "") +
                                           " are listed");
      cells.push_back(ReadCell(cursor, length >= 0 ? length - 1 : kMaxBoundaryLength - 1));
    } while (cursor.NextItem("a cell"));

    const size_t count = cells.size();
    if (length >= 0 && static_cast<int64_t>(count) != length)
      Fail(registerAttribute->at, "BOUNDARY_REGISTER lists " + std::to_string(count) +
                                      " cells, but BOUNDARY_LENGTH is " + std::to_string(length));
    std::vector<CellLink> byNumber(count, CellLink{nullptr, {}});
    for (const CellLink& link : cells) {
      const auto number = static_cast<size_t>(link.cell->CellNumber());
      if (number >= count)
        Fail(link.at, "cell number " + std::to_string(number) + " is outside 0 to " +
                          std::to_string(count - 1));
      if (byNumber[number].cell)
        Fail(link.at, "cell " + std::to_string(number) + " is listed twice");
      byNumber[number] = link;
    }
    entity_->SetBoundaryLength(static_cast<int32_t>(count));
    for (const CellLink& link : byNumber) {
      TBoundaryCell* cell = link.cell;
      entity_->AddBoundaryCell(cell);
      if (cell->Pin()) cell->Pin()->AddBoundaryCell(cell);
      if (cell->ControlCellNumber() < 0) continue;
      const auto control = static_cast<size_t>(cell->ControlCellNumber());
      if (control >= count)
        Fail(link.at, "cell " + std::to_string(cell->CellNumber()) + " names control cell " +
                          std::to_string(control) + ", which is not in the register");
      cell->SetControlCell(byNumber[control].cell);
      if (!byNumber[control].cell->TargetCell()) byNumber[control].cell->SetTargetCell(cell);
    }
  }

  template <class T, size_t N>
  T ExpectNamed(StringCursor& cursor, const Named<T> (&table)[N], const std::string& what) {
    const TToken word = cursor.ExpectWord(what);
    const T* value = FindNamed(table, word.text);
    if (!value)
      cursor.Fail(word.at,
                  "expected " + what + " (" + NamesOf(table) + "), found '" + word.text + "'");
    return *value;
  }

  // num '(' cell ',' port ',' function ',' safe [',' ccell ',' disval ',' rslt] ')'
  CellLink ReadCell(StringCursor& cursor, int64_t maxNumber) {
    const TTextLocation at = cursor.Token().at;
    const int64_t number = cursor.ExpectNumber("a cell number", 0, std::max<int64_t>(maxNumber, 0));
    const std::string cellName = "cell " + std::to_string(number);
    TBoundaryCell* cell = entity_->Create<TBoundaryCell>();
    cell->SetCellNumber(static_cast<int32_t>(number));
    cursor.ExpectSymbol("(", "after the number of " + cellName);
    cell->SetCellKind(ExpectNamed(cursor, kCellKinds, "the cell kind of " + cellName));
    cursor.ExpectSymbol(",", "after the cell kind of " + cellName);
    ReadCellPort(cursor, *cell, cellName);
    cursor.ExpectSymbol(",", "after the port of " + cellName);
    cell->SetCellFunction(ExpectNamed(cursor, kCellFunctions, "the function of " + cellName));
    cursor.ExpectSymbol(",", "after the function of " + cellName);
    cell->SetSafeBit(ExpectNamed(cursor, kSafeBits, "the safe bit of " + cellName));
    if (cursor.TakeSymbol(",")) {
      cell->SetControlCellNumber(static_cast<int32_t>(
          cursor.ExpectNumber("the control cell of " + cellName, 0, kMaxBoundaryLength - 1)));
      cursor.ExpectSymbol(",", "after the control cell of " + cellName);
      cell->SetDisableValue(
          ExpectNamed(cursor, kDisableValues, "the disable value of " + cellName));
      cursor.ExpectSymbol(",", "after the disable value of " + cellName);
      cell->SetDisableResult(
          ExpectNamed(cursor, kDisableResults, "the disable result of " + cellName));
    }
    cursor.ExpectSymbol(")", "to close " + cellName);
    return CellLink{cell, at};
  }

  // '*' | port | port '(' index ')'
  void ReadCellPort(StringCursor& cursor, TBoundaryCell& cell, const std::string& cellName) {
    if (cursor.TakeSymbol("*")) return;
    const TToken name = cursor.ExpectWord("a port name or '*' for " + cellName);
    Port* port = FindPort(name.text);
    if (!port)
      cursor.Fail(name.at, cellName + " names port '" + name.text + "', which is not declared");
    const TPortDeclaration& declaration = *port->declaration;
    if (declaration.mode == TPortMode::Linkage)
      cursor.Fail(name.at, cellName + " names linkage port " + declaration.name);
    int64_t position = 0;
    if (declaration.isVector) {
      cursor.ExpectSymbol("(", "and an index after vector port " + declaration.name);
      const int64_t index = cursor.ExpectNumber("an index of port " + declaration.name,
                                                std::min(declaration.left, declaration.right),
                                                std::max(declaration.left, declaration.right));
      cursor.ExpectSymbol(")", "after the index of port " + declaration.name);
      position = declaration.left <= declaration.right ? index - declaration.left
                                                       : declaration.left - index;
    }
    TScanPin* pin = port->pins[static_cast<size_t>(position)];
    cell.SetPortId(pin->PinName());
    cell.SetPin(pin);
  }

  const TBsdlSyntax& syntax_;
  std::unique_ptr<TBSDLEntity> entity_;
  std::vector<Port> ports_;
  std::map<std::string, size_t> portIndex_;
  std::set<std::string_view> standardSet_;  // standard instructions already given
  // Upper-case names to objects, so that long lists are read in n log n.
  std::map<std::string, std::vector<TInstructionOpCode*>> opcodesByName_;
  std::map<std::string, TRegisterAssociation*> associations_;
  std::set<std::pair<const TRegisterAssociation*, std::string>> listed_;
};

}  // namespace

std::unique_ptr<TBSDLEntity> ReadBsdlText(std::string_view text, const std::string& fileName) {
  const TBsdlSyntax syntax = ParseBsdl(text, fileName);
  return Builder(syntax).Run();
}

std::unique_ptr<TBSDLEntity> ReadBsdlFile(const std::string& path) {
  std::ifstream file(hostsdk::PathFromUtf8(path), std::ios::binary);
  if (!file) throw std::runtime_error("cannot open BSDL file " + path);
  std::string text;
  char chunk[1 << 16];
  while (file.read(chunk, sizeof chunk) || file.gcount() > 0) {
    text.append(chunk, static_cast<size_t>(file.gcount()));
    if (text.size() > kMaxFileSize)
      throw std::runtime_error("BSDL file " + path + " is larger than " +
                               std::to_string(kMaxFileSize) + " bytes");
  }
  if (file.bad()) throw std::runtime_error("cannot read BSDL file " + path);
  return ReadBsdlText(text, path);
}

}  // namespace bsdl

#include "bsdl/BsdlWriter.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <optional>
#include <set>
#include <system_error>
#include <vector>

#include "bsdl/BoundaryCell.h"
#include "bsdl/BsdlText.h"
#include "bsdl/InstructionOpCode.h"
#include "bsdl/RegisterAssociation.h"
#include "bsdl/ScanPin.h"
#include "hostsdk/AtomicFile.h"
#include "hostsdk/Utf8Path.h"

namespace bsdl {

namespace {

constexpr size_t kLineWidth = 72;
constexpr std::string_view kPinMapGeneric = "PHYSICAL_PIN_MAP";
constexpr std::string_view kPinMapConstant = "DEVICE_PACKAGE";
constexpr std::string_view kDefaultPackage = "STD_1149_1_2001";

// Words a port or instruction name must not be: VHDL's reserved words.
constexpr std::string_view kReservedWords[] = {
    "ABS",          "ACCESS",     "AFTER",      "ALIAS",     "ALL",       "AND",
    "ARCHITECTURE", "ARRAY",      "ASSERT",     "ATTRIBUTE", "BEGIN",     "BLOCK",
    "BODY",         "BUFFER",     "BUS",        "CASE",      "COMPONENT", "CONFIGURATION",
    "CONSTANT",     "DISCONNECT", "DOWNTO",     "ELSE",      "ELSIF",     "END",
    "ENTITY",       "EXIT",       "FILE",       "FOR",       "FUNCTION",  "GENERATE",
    "GENERIC",      "GROUP",      "GUARDED",    "IF",        "IMPURE",    "IN",
    "INERTIAL",     "INOUT",      "IS",         "LABEL",     "LIBRARY",   "LINKAGE",
    "LITERAL",      "LOOP",       "MAP",        "MOD",       "NAND",      "NEW",
    "NEXT",         "NOR",        "NOT",        "NULL",      "OF",        "ON",
    "OPEN",         "OR",         "OTHERS",     "OUT",       "PACKAGE",   "PORT",
    "POSTPONED",    "PROCEDURE",  "PROCESS",    "PURE",      "RANGE",     "RECORD",
    "REGISTER",     "REJECT",     "REM",        "REPORT",    "RETURN",    "ROL",
    "ROR",          "SELECT",     "SEVERITY",   "SIGNAL",    "SHARED",    "SLA",
    "SLL",          "SRA",        "SRL",        "SUBTYPE",   "THEN",      "TO",
    "TRANSPORT",    "TYPE",       "UNAFFECTED", "UNITS",     "UNTIL",     "USE",
    "VARIABLE",     "WAIT",       "WHEN",       "WHILE",     "WITH",      "XNOR",
    "XOR",          "BIT",        "BIT_VECTOR", "STRING",    "TRUE",      "FALSE"};

enum class Mode { In, Out, InOut, Linkage };

std::string_view ModeWord(Mode mode) {
  switch (mode) {
    case Mode::In:
      return "in";
    case Mode::Out:
      return "out";
    case Mode::InOut:
      return "inout";
    case Mode::Linkage:
      return "linkage";
  }
  return "inout";
}

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsAlnum(char c) { return IsLetter(c) || IsDigit(c); }

bool IsReserved(std::string_view upper) {
  return std::find(std::begin(kReservedWords), std::end(kReservedWords), upper) !=
         std::end(kReservedWords);
}

// The nearest VHDL identifier: other characters become '_', runs of '_'
// shrink to one, a leading digit gets a letter in front.
std::string Identifier(std::string_view name, std::string_view fallback) {
  std::string id;
  for (char c : name) {
    if (IsAlnum(c))
      id.push_back(c);
    else if (!id.empty() && id.back() != '_')
      id.push_back('_');
  }
  while (!id.empty() && id.back() == '_') id.pop_back();
  if (id.empty()) return std::string(fallback);
  if (IsDigit(id.front())) id = "P_" + id;
  if (IsReserved(UpperAscii(id))) id += "_P";
  return id;
}

// Hands out identifiers that no other name of the file uses.
class NamePool {
 public:
  void Reserve(std::string_view name) { used_.insert(UpperAscii(name)); }
  std::string Unique(std::string id) {
    std::string candidate = id;
    for (int n = 2; used_.count(UpperAscii(candidate)); ++n)
      candidate = id + "_" + std::to_string(n);
    used_.insert(UpperAscii(candidate));
    return candidate;
  }

 private:
  std::set<std::string> used_;
};

// "D(3)" as base "D" and index 3.
std::optional<std::pair<std::string, int64_t>> SplitIndexed(std::string_view name) {
  const size_t open = name.find('(');
  if (open == std::string_view::npos || open == 0 || name.back() != ')') return std::nullopt;
  const std::string_view digits = name.substr(open + 1, name.size() - open - 2);
  int64_t index = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), index);
  if (error != std::errc{} || end != digits.data() + digits.size() || index < 0 ||
      index > 1'000'000)
    return std::nullopt;
  return std::make_pair(std::string(name.substr(0, open)), index);
}

bool IsPinWord(std::string_view text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return IsAlnum(c) || c == '_'; });
}

// Text as a literal or a comment can hold it: control characters (a line
// break would end a comment or a literal early) become blanks.
std::string Blanked(std::string_view text) {
  std::string blanked(text);
  for (char& c : blanked)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  return blanked;
}

std::string QuotesDoubled(std::string_view text) {
  std::string doubled;
  for (char c : text) doubled += c == '"' ? std::string("\"\"") : std::string(1, c);
  return doubled;
}

// `pieces` as concatenated literals, one or more per line; a piece too long
// for a line is broken after a blank or, without one, at the width.
std::string Concatenation(const std::vector<std::string>& pieces, std::string_view indent) {
  std::vector<std::string> literals;
  for (const std::string& original : pieces) {
    const std::string blanked = Blanked(original);
    std::string_view piece = blanked;
    while (piece.size() > kLineWidth) {
      size_t cut = piece.rfind(' ', kLineWidth - 1);
      cut = (cut == std::string_view::npos || cut == 0) ? kLineWidth : cut + 1;
      literals.emplace_back(piece.substr(0, cut));
      piece.remove_prefix(cut);
    }
    if (!piece.empty()) literals.emplace_back(piece);
  }
  if (literals.empty()) literals.emplace_back();
  std::string text;
  for (size_t i = 0; i < literals.size(); ++i) {
    text += std::string(indent) + "\"" + QuotesDoubled(literals[i]) + "\"";
    text += i + 1 < literals.size() ? " &\n" : "";
  }
  return text;
}

std::string Frequency(double hertz) {
  if (!std::isfinite(hertz) || hertz < 0) hertz = 0;
  char buffer[64];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, hertz, std::chars_format::scientific);
  std::string text(buffer, result.ptr);
  const size_t exponent = text.find('e');
  if (text.find('.') == std::string::npos) text.insert(exponent, ".0");
  return text;
}

std::string CellNumberText(const TBoundaryCell& cell) {
  return "cell " + std::to_string(cell.CellNumber());
}

class Writer {
 public:
  explicit Writer(const TBSDLEntity& entity) : entity_(entity) {}

  std::string Run() {
    names_.Reserve(kPinMapGeneric);
    names_.Reserve(kPinMapConstant);
    name_ = Identifier(entity_.Name(), "UNNAMED_DEVICE");
    CollectPins();
    GroupPorts();
    NameInstructions();
    std::string text;
    text += "-- Boundary-scan description of " + name_ + "\n";
    if (!entity_.Filename().empty()) text += "-- File: " + Blanked(entity_.Filename()) + "\n";
    text += "\nentity " + name_ + " is\n\n";
    text += "  generic (" + std::string(kPinMapGeneric) + " : string := \"" +
            std::string(kPinMapConstant) + "\");\n\n";
    text += PortList();
    text += "  use " + UsePackage() + ".all;\n\n";
    text += EntityAttribute("COMPONENT_CONFORMANCE", entity_.ConformanceStatement());
    text +=
        "  attribute PIN_MAP of " + name_ + " : entity is " + std::string(kPinMapGeneric) + ";\n\n";
    text += PinMap();
    text += TapAttributes();
    text += EntityAttribute("COMPLIANCE_PATTERNS", entity_.CompliancePattern());
    text += Instructions();
    text += IdCode();
    text += RegisterAccess();
    text += BoundaryRegister();
    text += EntityAttribute("DESIGN_WARNING", entity_.DesignWarning());
    text += "end " + name_ + ";\n";
    return text;
  }

 private:
  struct Port {
    std::string name;
    Mode mode = Mode::InOut;
    bool isVector = false;
    bool descending = false;
    int64_t first = 1;                  // index of the first pin
    std::vector<const TScanPin*> pins;  // in range order
  };

  bool IsTap(const TScanPin* pin) const {
    return pin == entity_.TAP_TDI() || pin == entity_.TAP_TDO() || pin == entity_.TAP_TMS() ||
           pin == entity_.TAP_TCK() || pin == entity_.TAP_TRST();
  }

  static Mode ModeOf(const TScanPin& pin) {
    switch (pin.Kind()) {
      case eScanPinKind_TDI:
      case eScanPinKind_TMS:
      case eScanPinKind_TCK:
      case eScanPinKind_TRST:
        return Mode::In;
      case eScanPinKind_TDO:
        return Mode::Out;
      case eScanPinKind_Power:
      case eScanPinKind_Ground:
        return Mode::Linkage;
      default:
        break;
    }
    switch (pin.Direction()) {
      case eElectricInput:
        return Mode::In;
      case eElectricOutput:
      case eElectricOpenCollector:
      case eElectricOpenEmitter:
        return Mode::Out;
      case eElectricIO:
        return Mode::InOut;
      default:
        return Mode::Linkage;
    }
  }

  // TAP pins by their role; a pin no boundary cell serves is outside the
  // scan (linkage), as a description must declare it; a served pin is never
  // linkage.
  Mode PortModeOf(const TScanPin* pin, bool served) const {
    if (IsTap(pin)) return pin == entity_.TAP_TDO() ? Mode::Out : Mode::In;
    if (!served) return Mode::Linkage;
    const Mode mode = ModeOf(*pin);
    return mode == Mode::Linkage ? Mode::InOut : mode;
  }

  // The pins in list order, each once, with usable and distinct numbers.
  void CollectPins() {
    std::map<std::string, const TScanPin*> numbers;
    for (const TScanPin* pin : entity_.Pins()) {
      if (!pinSet_.insert(pin).second) continue;
      if (!IsPinWord(pin->PinNumber()))
        throw EBsdlWrite("pin " + pin->PinName() + " has the number \"" + pin->PinNumber() +
                         "\", which a pin map cannot hold (letters, digits and '_' only)");
      const auto [other, added] = numbers.emplace(UpperAscii(pin->PinNumber()), pin);
      if (!added)
        throw EBsdlWrite("pins " + other->second->PinName() + " and " + pin->PinName() +
                         " share the number " + pin->PinNumber());
      pins_.push_back(pin);
    }
  }

  // The pin a cell serves: its own pin when that is written, else the pin
  // its port names; none for a cell without a port.
  const TScanPin* CellPin(const TBoundaryCell& cell) const {
    if (cell.PortId() == "*") return nullptr;
    if (cell.Pin() && pinSet_.count(cell.Pin())) return cell.Pin();
    for (const TScanPin* pin : pins_)
      if (SameName(pin->PinName(), cell.PortId())) return pin;
    throw EBsdlWrite(CellNumberText(cell) + " serves port " + cell.PortId() +
                     ", which no pin of the entity has");
  }

  void GroupPorts() {
    std::set<const TScanPin*> served;
    for (const TBoundaryCell* cell : entity_.BoundaryCells())
      if (const TScanPin* pin = CellPin(*cell)) served.insert(pin);

    struct Group {
      std::string base;
      bool indexed = false;
      std::vector<std::pair<const TScanPin*, int64_t>> members;
      std::set<Mode> modes;
    };
    std::vector<Group> groups;
    std::map<std::string, size_t> byKey;
    for (const TScanPin* pin : pins_) {
      const Mode mode = PortModeOf(pin, served.count(pin) > 0);
      const auto split = IsTap(pin) ? std::nullopt : SplitIndexed(pin->PinName());
      const std::string base = split ? split->first : pin->PinName();
      // Elements of a linkage vector all carry the bare port name, so a
      // linkage group keeps no indices: "D(0)".."D(3)" become D(1 to 4).
      const bool indexed = split && mode != Mode::Linkage;
      std::string key = UpperAscii(base) + (indexed ? "#indexed" : "") +
                        (mode == Mode::Linkage ? "#linkage" : "");
      if (IsTap(pin)) key = "#tap#" + std::to_string(groups.size());
      const auto [found, added] = byKey.emplace(key, groups.size());
      if (added) groups.push_back(Group{base, indexed, {}, {}});
      Group& group = groups[found->second];
      group.members.emplace_back(pin, indexed ? split->second : 0);
      group.modes.insert(mode);
    }
    for (Group& group : groups)
      ports_.push_back(MakePort(group.base, group.indexed, group.members, group.modes));
  }

  // Whether the indices of `members`, in their order, step by `step`.
  template <class Members>
  static bool Steps(const Members& members, int64_t step) {
    for (size_t i = 1; i < members.size(); ++i)
      if (members[i].second != members[i - 1].second + step) return false;
    return true;
  }

  // A vector keeps the order of its pins when their indices run up or down
  // without gaps; otherwise they are put in index order, and pins whose
  // indices still leave gaps or repeat are numbered from 1.
  template <class Members>
  Port MakePort(const std::string& base, bool indexed, Members members,
                const std::set<Mode>& modes) {
    Port port;
    port.name = names_.Unique(Identifier(base, "PIN"));
    port.mode = modes.size() == 1 ? *modes.begin() : Mode::InOut;
    bool contiguous = false;
    if (indexed) {
      port.descending = members.size() > 1 && Steps(members, -1);
      if (!port.descending && !Steps(members, 1))
        std::stable_sort(members.begin(), members.end(),
                         [](const auto& a, const auto& b) { return a.second < b.second; });
      contiguous = port.descending || Steps(members, 1);
    }
    port.isVector = contiguous || members.size() > 1;
    port.first = contiguous ? members.front().second : 1;
    const int64_t step = port.descending ? -1 : 1;
    for (size_t i = 0; i < members.size(); ++i) {
      const TScanPin* pin = members[i].first;
      port.pins.push_back(pin);
      const bool bare = !port.isVector || port.mode == Mode::Linkage;
      const int64_t index = port.first + step * static_cast<int64_t>(i);
      elementName_[pin] = bare ? port.name : port.name + "(" + std::to_string(index) + ")";
    }
    return port;
  }

  void NameInstructions() {
    for (const TInstructionOpCode* opcode : entity_.InstructionOpCodes()) {
      const std::string key = UpperAscii(opcode->InstructionName());
      if (instructionNames_.count(key)) continue;
      instructionNames_[key] =
          instructionPool_.Unique(Identifier(opcode->InstructionName(), "INSTRUCTION"));
      instructionOrder_.push_back(key);
    }
  }

  std::string InstructionName(const std::string& name) {
    const std::string key = UpperAscii(name);
    auto found = instructionNames_.find(key);
    if (found == instructionNames_.end())
      found =
          instructionNames_.emplace(key, instructionPool_.Unique(Identifier(name, "INSTRUCTION")))
              .first;
    return found->second;
  }

  std::string EntityAttribute(std::string_view attribute, const std::string& value) const {
    if (value.empty()) return {};
    return "  attribute " + std::string(attribute) + " of " + name_ + " : entity is\n" +
           Concatenation({value}, "    ") + ";\n\n";
  }

  std::string UsePackage() const {
    const std::string& conformance = entity_.ConformanceStatement();
    if (StartsWithStd(conformance) && Identifier(conformance, "") == conformance)
      return conformance;
    return std::string(kDefaultPackage);
  }

  static bool StartsWithStd(const std::string& text) {
    return SameName(text.substr(0, std::min<size_t>(text.size(), 11)), "STD_1149_1_");
  }

  std::string PortList() const {
    if (ports_.empty()) return {};
    std::string text = "  port (\n";
    for (size_t i = 0; i < ports_.size(); ++i) {
      const Port& port = ports_[i];
      text += "    " + Pad(port.name, 12) + " : " + Pad(ModeWord(port.mode), 7) + " ";
      const int64_t last =
          port.first + (port.descending ? -1 : 1) * (static_cast<int64_t>(port.pins.size()) - 1);
      if (port.isVector)
        text += "bit_vector(" + std::to_string(port.first) +
                (port.descending ? " downto " : " to ") + std::to_string(last) + ")";
      else
        text += "bit";
      text += i + 1 < ports_.size() ? ";\n" : "\n";
    }
    return text + "  );\n\n";
  }

  std::string PinMap() const {
    std::vector<std::string> pieces;
    for (size_t i = 0; i < ports_.size(); ++i) {
      const Port& port = ports_[i];
      std::string piece = port.name + " : ";
      if (port.isVector) piece += "(";
      for (size_t p = 0; p < port.pins.size(); ++p)
        piece += (p ? ", " : "") + port.pins[p]->PinNumber();
      if (port.isVector) piece += ")";
      pieces.push_back(piece + (i + 1 < ports_.size() ? ", " : ""));
    }
    return "  constant " + std::string(kPinMapConstant) + " : PIN_MAP_STRING :=\n" +
           Concatenation(pieces, "    ") + ";\n\n";
  }

  std::string TapAttributes() const {
    const std::pair<std::string_view, const TScanPin*> taps[] = {
        {"TAP_SCAN_IN", entity_.TAP_TDI()},
        {"TAP_SCAN_OUT", entity_.TAP_TDO()},
        {"TAP_SCAN_MODE", entity_.TAP_TMS()},
        {"TAP_SCAN_CLOCK", entity_.TAP_TCK()},
        {"TAP_SCAN_RESET", entity_.TAP_TRST()}};
    std::string text;
    std::set<const TScanPin*> written;
    for (const auto& [attribute, pin] : taps) {
      // A port takes one TAP role; a pin the entity gives two keeps the first.
      if (!pin || !pinSet_.count(pin) || !written.insert(pin).second) continue;
      text +=
          "  attribute " + std::string(attribute) + " of " + elementName_.at(pin) + " : signal is ";
      if (attribute == "TAP_SCAN_CLOCK")
        text += "(" + Frequency(entity_.ScanClockMaxSpeed()) + ", " +
                (entity_.ScanClockHaltMode() == eScanClockHaltMode_Low ? "LOW" : "BOTH") + ");\n";
      else
        text += "true;\n";
    }
    return text.empty() ? text : text + "\n";
  }

  int32_t InstructionLength() const {
    if (entity_.InstructionLength() > 0) return entity_.InstructionLength();
    const auto& opcodes = entity_.InstructionOpCodes();
    return opcodes.empty() ? 0
                           : static_cast<int32_t>(std::min<size_t>(
                                 opcodes.front()->OpCodePattern().size(), 0x7FFFFFFF));
  }

  std::string Instructions() {
    const int32_t length = InstructionLength();
    if (length <= 0) return {};
    std::string text = "  attribute INSTRUCTION_LENGTH of " + name_ + " : entity is " +
                       std::to_string(length) + ";\n";
    std::vector<std::string> pieces;
    for (const std::string& key : instructionOrder_) {
      std::string piece = instructionNames_.at(key) + " (";
      bool first = true;
      for (const TInstructionOpCode* opcode : entity_.InstructionOpCodes()) {
        if (UpperAscii(opcode->InstructionName()) != key) continue;
        const std::string& pattern = opcode->OpCodePattern();
        if (static_cast<int64_t>(pattern.size()) != length ||
            pattern.find_first_not_of("01") != std::string::npos)
          throw EBsdlWrite("the opcode \"" + pattern + "\" of " + opcode->InstructionName() +
                           " is not " + std::to_string(length) + " bits of 0 and 1");
        piece += (first ? "" : ", ") + pattern;
        first = false;
      }
      pieces.push_back(piece + ")" + (&key != &instructionOrder_.back() ? ", " : ""));
    }
    if (!pieces.empty())
      text += "  attribute INSTRUCTION_OPCODE of " + name_ + " : entity is\n" +
              Concatenation(pieces, "    ") + ";\n";
    // The standard wants the two bits nearest TDO to capture 01.
    const std::string capture =
        length >= 2 ? std::string(static_cast<size_t>(length) - 2, 'x') + "01" : "1";
    text += "  attribute INSTRUCTION_CAPTURE of " + name_ + " : entity is \"" + capture + "\";\n\n";
    return text;
  }

  std::string IdCode() const {
    if (entity_.IdCode() == 0) return {};
    std::string bits;
    for (int bit = 31; bit >= 0; --bit) bits.push_back((entity_.IdCode() >> bit) & 1u ? '1' : '0');
    return "  attribute IDCODE_REGISTER of " + name_ + " : entity is\n    \"" + bits.substr(0, 4) +
           "\" &  -- version\n    \"" + bits.substr(4, 16) + "\" &  -- part number\n    \"" +
           bits.substr(20, 11) + "\" &  -- manufacturer\n    \"" + bits.substr(31) + "\";\n\n";
  }

  std::string RegisterAccess() {
    std::vector<std::string> pieces;
    for (const TRegisterAssociation* association : entity_.RegisterAssociations()) {
      if (association->InstructionOpCodes().empty()) continue;
      std::string base = association->RegisterName();
      int64_t length = association->RegisterLength();
      if (const auto bracket = base.find('['); bracket != std::string::npos && base.back() == ']') {
        int64_t inName = 0;
        const std::string digits = base.substr(bracket + 1, base.size() - bracket - 2);
        if (std::from_chars(digits.data(), digits.data() + digits.size(), inName).ptr ==
                digits.data() + digits.size() &&
            length <= 0)
          length = inName;
        base.resize(bracket);
      }
      std::string piece = Identifier(base, "REGISTER");
      if (length > 0) piece += "[" + std::to_string(length) + "]";
      piece += " (";
      // An instruction with several opcodes has an entry for each; the
      // description names it once.
      std::vector<std::string> listed;
      for (const auto& entry : association->InstructionOpCodes()) {
        const std::string name = InstructionName(entry.instructionName);
        if (std::find(listed.begin(), listed.end(), name) == listed.end()) listed.push_back(name);
      }
      for (size_t i = 0; i < listed.size(); ++i) piece += (i ? ", " : "") + listed[i];
      pieces.push_back(piece + ")");
    }
    if (pieces.empty()) return {};
    for (size_t i = 0; i + 1 < pieces.size(); ++i) pieces[i] += ", ";
    return "  attribute REGISTER_ACCESS of " + name_ + " : entity is\n" +
           Concatenation(pieces, "    ") + ";\n\n";
  }

  std::string CellTuple(const TBoundaryCell& cell) const {
    const std::string what = CellNumberText(cell);
    if (cell.CellKind() == eCellKind_Undefined || CellKindName(cell.CellKind()).empty())
      throw EBsdlWrite(what + " has no cell kind");
    if (cell.CellFunction() == eCellFunction_Undefined ||
        CellFunctionName(cell.CellFunction()).empty())
      throw EBsdlWrite(what + " has no function");
    if (BitValueName(cell.SafeBit()).empty()) throw EBsdlWrite(what + " has no safe bit");
    const TScanPin* pin = CellPin(cell);
    std::string function = UpperAscii(CellFunctionName(cell.CellFunction()));
    if (cell.CellFunction() == eCellFunction_ObserveOnly) function = "OBSERVE_ONLY";
    std::string tuple = std::to_string(cell.CellNumber()) + " (" +
                        std::string(CellKindName(cell.CellKind())) + ", " +
                        (pin ? elementName_.at(pin) : "*") + ", " + function + ", " +
                        std::string(BitValueName(cell.SafeBit()));
    if (cell.ControlCellNumber() >= 0) {
      if (cell.DisableValue() != eBit_0 && cell.DisableValue() != eBit_1)
        throw EBsdlWrite(what + " has a control cell but no disable value of 0 or 1");
      if (cell.DisableResult() == eDisableResult_Undefined ||
          DisableResultName(cell.DisableResult()).empty())
        throw EBsdlWrite(what + " has a control cell but no disable result");
      tuple += ", " + std::to_string(cell.ControlCellNumber()) + ", " +
               std::string(BitValueName(cell.DisableValue())) + ", " +
               UpperAscii(DisableResultName(cell.DisableResult()));
    }
    return tuple + ")";
  }

  std::string BoundaryRegister() const {
    const auto& cells = entity_.BoundaryCells();
    for (size_t i = 0; i < cells.size(); ++i)
      if (cells[i]->CellNumber() != static_cast<int32_t>(i))
        throw EBsdlWrite("boundary cell " + std::to_string(i) + " of the list has the number " +
                         std::to_string(cells[i]->CellNumber()) +
                         "; cells must be listed by number from 0");
    for (const TBoundaryCell* cell : cells)
      if (cell->ControlCellNumber() >= static_cast<int64_t>(cells.size()))
        throw EBsdlWrite(CellNumberText(*cell) + " names control cell " +
                         std::to_string(cell->ControlCellNumber()) +
                         ", which is not in the register");
    std::string text = "  attribute BOUNDARY_LENGTH of " + name_ + " : entity is " +
                       std::to_string(cells.size()) + ";\n";
    if (cells.empty()) return text + "\n";
    std::vector<std::string> pieces;
    for (size_t i = 0; i < cells.size(); ++i)
      pieces.push_back(CellTuple(*cells[i]) + (i + 1 < cells.size() ? ", " : ""));
    return text + "  attribute BOUNDARY_REGISTER of " + name_ + " : entity is\n" +
           "    -- num (cell, port, function, safe [, ccell, disval, rslt])\n" +
           Concatenation(pieces, "    ") + ";\n\n";
  }

  const TBSDLEntity& entity_;
  std::string name_;
  NamePool names_;            // ports and the pin map's own names
  NamePool instructionPool_;  // instructions, which live inside strings
  std::vector<const TScanPin*> pins_;
  std::set<const TScanPin*> pinSet_;
  std::vector<Port> ports_;
  std::map<const TScanPin*, std::string> elementName_;
  std::map<std::string, std::string> instructionNames_;  // upper-case name -> written name
  std::vector<std::string> instructionOrder_;
};

}  // namespace

std::string WriteBsdlText(const TBSDLEntity& entity) { return Writer(entity).Run(); }

void WriteBsdlFile(const TBSDLEntity& entity, const std::string& path) {
  const std::string text = WriteBsdlText(entity);
  const std::filesystem::path target = hostsdk::PathFromUtf8(path);
  const std::filesystem::path temporary = hostsdk::WriteTempFileBeside(target, text);
  std::error_code error;
  if (hostsdk::ReplaceFile(temporary, target, error)) return;
  std::error_code ignored;
  std::filesystem::remove(temporary, ignored);
  throw std::system_error(error, "cannot write BSDL file " + path);
}

}  // namespace bsdl

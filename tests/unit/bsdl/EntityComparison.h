// Field-by-field comparison of two boundary-scan entities, links included:
// a link is compared as the position of its target in the entity's lists,
// so two entities built apart compare equal when they describe the same
// chip. Returns the differences, one line each; empty when equal.
#pragma once

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "bsdl/BSDLEntity.h"
#include "bsdl/BoundaryCell.h"
#include "bsdl/InstructionOpCode.h"
#include "bsdl/PinMapping.h"
#include "bsdl/RegisterAssociation.h"
#include "bsdl/ScanPin.h"

namespace testsupport {

class EntityComparison {
 public:
  EntityComparison(const bsdl::TBSDLEntity& a, const bsdl::TBSDLEntity& b) : a_(a), b_(b) {}

  std::vector<std::string> Differences() {
    Field("Name", a_.Name(), b_.Name());
    Field("InstructionLength", a_.InstructionLength(), b_.InstructionLength());
    Field("IdCode", a_.IdCode(), b_.IdCode());
    Field("DesignWarning", a_.DesignWarning(), b_.DesignWarning());
    Field("Instruction_BYPASS", a_.Instruction_BYPASS(), b_.Instruction_BYPASS());
    Field("Instruction_EXTEST", a_.Instruction_EXTEST(), b_.Instruction_EXTEST());
    Field("Instruction_SAMPLE", a_.Instruction_SAMPLE(), b_.Instruction_SAMPLE());
    Field("Instruction_IDCODE", a_.Instruction_IDCODE(), b_.Instruction_IDCODE());
    Field("Instruction_USERCODE", a_.Instruction_USERCODE(), b_.Instruction_USERCODE());
    Field("Instruction_CLAMP", a_.Instruction_CLAMP(), b_.Instruction_CLAMP());
    Field("Instruction_HIGHZ", a_.Instruction_HIGHZ(), b_.Instruction_HIGHZ());
    Field("BoundaryLength", a_.BoundaryLength(), b_.BoundaryLength());
    Field("ScanClockMaxSpeed", a_.ScanClockMaxSpeed(), b_.ScanClockMaxSpeed());
    Field("ScanClockHaltMode", int(a_.ScanClockHaltMode()), int(b_.ScanClockHaltMode()));
    Field("ConformanceStatement", a_.ConformanceStatement(), b_.ConformanceStatement());
    Field("CompliancePattern", a_.CompliancePattern(), b_.CompliancePattern());
    Field("Filename", a_.Filename(), b_.Filename());
    Field("TAP_TDI", PinIndex(a_, a_.TAP_TDI()), PinIndex(b_, b_.TAP_TDI()));
    Field("TAP_TDO", PinIndex(a_, a_.TAP_TDO()), PinIndex(b_, b_.TAP_TDO()));
    Field("TAP_TMS", PinIndex(a_, a_.TAP_TMS()), PinIndex(b_, b_.TAP_TMS()));
    Field("TAP_TCK", PinIndex(a_, a_.TAP_TCK()), PinIndex(b_, b_.TAP_TCK()));
    Field("TAP_TRST", PinIndex(a_, a_.TAP_TRST()), PinIndex(b_, b_.TAP_TRST()));
    ComparePins();
    ComparePinMappings();
    CompareCells();
    CompareOpCodes();
    CompareRegisters();
    return differences_;
  }

 private:
  template <class List, class T>
  static int IndexIn(const List& list, const T* item) {
    if (!item) return -1;
    const auto found = std::find(list.begin(), list.end(), item);
    return found == list.end() ? -2 : static_cast<int>(found - list.begin());
  }
  static int PinIndex(const bsdl::TBSDLEntity& e, const bsdl::TScanPin* p) {
    return IndexIn(e.Pins(), p);
  }
  static int CellIndex(const bsdl::TBSDLEntity& e, const bsdl::TBoundaryCell* c) {
    return IndexIn(e.BoundaryCells(), c);
  }
  static int OpCodeIndex(const bsdl::TBSDLEntity& e, const bsdl::TInstructionOpCode* o) {
    return IndexIn(e.InstructionOpCodes(), o);
  }

  template <class T>
  void Field(const std::string& what, const T& a, const T& b) {
    if (a == b) return;
    std::ostringstream line;
    line << what << ": " << a << " != " << b;
    differences_.push_back(line.str());
  }

  template <class List>
  bool SameSize(const std::string& what, const List& a, const List& b) {
    Field(what + " count", a.size(), b.size());
    return a.size() == b.size();
  }

  void ComparePins() {
    if (!SameSize("Pins", a_.Pins(), b_.Pins())) return;
    for (size_t i = 0; i < a_.Pins().size(); ++i) {
      const bsdl::TScanPin& x = *a_.Pins()[i];
      const bsdl::TScanPin& y = *b_.Pins()[i];
      const std::string at = "Pins[" + std::to_string(i) + "] (" + x.PinName() + ").";
      Field(at + "Direction", int(x.Direction()), int(y.Direction()));
      Field(at + "PinName", x.PinName(), y.PinName());
      Field(at + "PinNumber", x.PinNumber(), y.PinNumber());
      Field(at + "Kind", int(x.Kind()), int(y.Kind()));
      Field(at + "CurrentValue", x.CurrentValue(), y.CurrentValue());
      Field(at + "PinMapping", x.PinMapping() != nullptr, y.PinMapping() != nullptr);
      if (x.PinMapping() && y.PinMapping()) {
        Field(at + "PinMapping.PinName", x.PinMapping()->PinName(), y.PinMapping()->PinName());
        Field(at + "PinMapping.PinNumber", x.PinMapping()->PinNumber(),
              y.PinMapping()->PinNumber());
        Field(at + "PinMapping.ScanPin", PinIndex(a_, x.PinMapping()->ScanPin()),
              PinIndex(b_, y.PinMapping()->ScanPin()));
      }
      if (!SameSize(at + "BoundaryCells", x.BoundaryCells(), y.BoundaryCells())) continue;
      for (size_t c = 0; c < x.BoundaryCells().size(); ++c)
        Field(at + "BoundaryCells[" + std::to_string(c) + "]", CellIndex(a_, x.BoundaryCells()[c]),
              CellIndex(b_, y.BoundaryCells()[c]));
    }
  }

  void ComparePinMappings() {
    if (!SameSize("PinMappings", a_.PinMappings(), b_.PinMappings())) return;
    for (size_t i = 0; i < a_.PinMappings().size(); ++i) {
      const bsdl::TPinMapping& x = *a_.PinMappings()[i];
      const bsdl::TPinMapping& y = *b_.PinMappings()[i];
      const std::string at = "PinMappings[" + std::to_string(i) + "].";
      Field(at + "PinName", x.PinName(), y.PinName());
      Field(at + "PinNumber", x.PinNumber(), y.PinNumber());
      Field(at + "ScanPin", PinIndex(a_, x.ScanPin()), PinIndex(b_, y.ScanPin()));
    }
  }

  void CompareCells() {
    if (!SameSize("BoundaryCells", a_.BoundaryCells(), b_.BoundaryCells())) return;
    for (size_t i = 0; i < a_.BoundaryCells().size(); ++i) {
      const bsdl::TBoundaryCell& x = *a_.BoundaryCells()[i];
      const bsdl::TBoundaryCell& y = *b_.BoundaryCells()[i];
      const std::string at = "BoundaryCells[" + std::to_string(i) + "].";
      Field(at + "CellNumber", x.CellNumber(), y.CellNumber());
      Field(at + "CellKind", int(x.CellKind()), int(y.CellKind()));
      Field(at + "PortId", x.PortId(), y.PortId());
      Field(at + "SafeBit", int(x.SafeBit()), int(y.SafeBit()));
      Field(at + "ControlCellNumber", x.ControlCellNumber(), y.ControlCellNumber());
      Field(at + "DisableValue", int(x.DisableValue()), int(y.DisableValue()));
      Field(at + "DisableResult", int(x.DisableResult()), int(y.DisableResult()));
      Field(at + "Pin", PinIndex(a_, x.Pin()), PinIndex(b_, y.Pin()));
      Field(at + "ControlCell", CellIndex(a_, x.ControlCell()), CellIndex(b_, y.ControlCell()));
      Field(at + "TargetCell", CellIndex(a_, x.TargetCell()), CellIndex(b_, y.TargetCell()));
      Field(at + "CellFunction", int(x.CellFunction()), int(y.CellFunction()));
      Field(at + "CurrentValue", x.CurrentValue(), y.CurrentValue());
    }
  }

  void CompareOpCodes() {
    if (!SameSize("InstructionOpCodes", a_.InstructionOpCodes(), b_.InstructionOpCodes())) return;
    for (size_t i = 0; i < a_.InstructionOpCodes().size(); ++i) {
      const std::string at = "InstructionOpCodes[" + std::to_string(i) + "].";
      Field(at + "InstructionName", a_.InstructionOpCodes()[i]->InstructionName(),
            b_.InstructionOpCodes()[i]->InstructionName());
      Field(at + "OpCodePattern", a_.InstructionOpCodes()[i]->OpCodePattern(),
            b_.InstructionOpCodes()[i]->OpCodePattern());
    }
  }

  void CompareRegisters() {
    if (!SameSize("RegisterAssociations", a_.RegisterAssociations(), b_.RegisterAssociations()))
      return;
    for (size_t i = 0; i < a_.RegisterAssociations().size(); ++i) {
      const bsdl::TRegisterAssociation& x = *a_.RegisterAssociations()[i];
      const bsdl::TRegisterAssociation& y = *b_.RegisterAssociations()[i];
      const std::string at = "RegisterAssociations[" + std::to_string(i) + "].";
      Field(at + "RegisterName", x.RegisterName(), y.RegisterName());
      Field(at + "RegisterLength", x.RegisterLength(), y.RegisterLength());
      if (!SameSize(at + "InstructionOpCodes", x.InstructionOpCodes(), y.InstructionOpCodes()))
        continue;
      for (size_t k = 0; k < x.InstructionOpCodes().size(); ++k) {
        const std::string entry = at + "InstructionOpCodes[" + std::to_string(k) + "].";
        Field(entry + "name", x.InstructionOpCodes()[k].instructionName,
              y.InstructionOpCodes()[k].instructionName);
        Field(entry + "opCode", OpCodeIndex(a_, x.InstructionOpCodes()[k].opCode),
              OpCodeIndex(b_, y.InstructionOpCodes()[k].opCode));
      }
    }
  }

  const bsdl::TBSDLEntity& a_;
  const bsdl::TBSDLEntity& b_;
  std::vector<std::string> differences_;
};

inline std::vector<std::string> EntityDifferences(const bsdl::TBSDLEntity& a,
                                                  const bsdl::TBSDLEntity& b) {
  return EntityComparison(a, b).Differences();
}

}  // namespace testsupport

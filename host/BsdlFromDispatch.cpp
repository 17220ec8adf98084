#include "host/BsdlFromDispatch.h"

#include <map>
#include <stdexcept>

#include "automation/HostCall.h"
#include "bsdl/BoundaryCell.h"
#include "bsdl/InstructionOpCode.h"
#include "bsdl/PinMapping.h"
#include "bsdl/RegisterAssociation.h"
#include "bsdl/ScanPin.h"

namespace host {

namespace {

using automation::ComPtr;
using automation::HostCall;
using automation::HostCallDispatch;
using automation::HostCallInt;
using automation::HostCallString;
using automation::Variant;

// IBSDLEntity.
constexpr DISPID kName = 503458, kInstructionLength = 503459, kIdCode = 503460,
                 kBoundaryLength = 503461, kGetPin = 503462, kGetBoundaryCell = 503464,
                 kGetInstructionOpcode = 503465, kGetRegisterAssociation = 503466, kPinCount = 503467,
                 kCellCount = 503469, kOpcodeCount = 503470, kRegisterCount = 503471,
                 kTDI = 503472, kTDO = 503473, kTMS = 503474, kTCK = 503475, kTRST = 503476,
                 kBypass = 503477, kExtest = 503478, kSample = 503479, kIdCodeOp = 503480,
                 kUserCode = 503481, kClamp = 503482, kHighZ = 503483, kMaxSpeed = 503484,
                 kHaltMode = 503485, kConformance = 503486, kCompliance = 503487,
                 kDesignWarning = 503488, kFilename = 503489;
// IScanPin.
constexpr DISPID kPinDirection = 503490, kPinName = 503491, kPinNumber = 503492, kPinKind = 503493,
                 kPinMapping = 503494, kPinCellCount = 503495, kPinCell = 503496;
// IPinMapping.
constexpr DISPID kMappingName = 503498, kMappingNumber = 503499;
// IBoundaryCell.
constexpr DISPID kCellNumber = 503501, kCellKind = 503502, kCellPort = 503503,
                 kCellFunction = 503504, kCellSafe = 503505, kCellControlNumber = 503506,
                 kCellDisableValue = 503507, kCellDisableResult = 503508, kCellPin = 503509,
                 kCellControl = 503510, kCellTarget = 503511;
// IInstructionOpCode and IRegisterAssociation.
constexpr DISPID kOpName = 503513, kOpPattern = 503514, kRegName = 503515, kRegLength = 503516,
                 kRegOpCount = 503517, kRegOp = 503518;

ComPtr<IDispatch> Element(IDispatch* from, DISPID id, int32_t index) {
  return HostCallDispatch(from, id, {Variant::Int(index)});
}

uint32_t Unsigned(IDispatch* from, DISPID id) { return static_cast<uint32_t>(HostCallInt(from, id)); }

template <class E>
E Enum(IDispatch* from, DISPID id) {
  return static_cast<E>(HostCallInt(from, id));
}

}  // namespace

std::unique_ptr<bsdl::TBSDLEntity> BsdlEntityFromDispatch(IDispatch* source) {
  if (!source) throw std::invalid_argument("no boundary-scan entity to read");
  auto entity = std::make_unique<bsdl::TBSDLEntity>();
  entity->SetName(HostCallString(source, kName));
  entity->SetInstructionLength(HostCallInt(source, kInstructionLength));
  entity->SetIdCode(Unsigned(source, kIdCode));
  entity->SetBoundaryLength(HostCallInt(source, kBoundaryLength));
  entity->SetScanClockMaxSpeed(automation::ToDouble(*HostCall(source, kMaxSpeed).Raw()));
  entity->SetScanClockHaltMode(Enum<bsdl::TScanClockHaltMode>(source, kHaltMode));
  entity->SetConformanceStatement(HostCallString(source, kConformance));
  entity->SetCompliancePattern(HostCallString(source, kCompliance));
  entity->SetDesignWarning(HostCallString(source, kDesignWarning));
  entity->SetFilename(HostCallString(source, kFilename));
  entity->SetInstruction_BYPASS(Unsigned(source, kBypass));
  entity->SetInstruction_EXTEST(Unsigned(source, kExtest));
  entity->SetInstruction_SAMPLE(Unsigned(source, kSample));
  entity->SetInstruction_IDCODE(Unsigned(source, kIdCodeOp));
  entity->SetInstruction_USERCODE(Unsigned(source, kUserCode));
  entity->SetInstruction_CLAMP(Unsigned(source, kClamp));
  entity->SetInstruction_HIGHZ(Unsigned(source, kHighZ));

  // Cells first (pins refer to them), by number.
  std::map<int32_t, bsdl::TBoundaryCell*> cells;
  std::vector<std::pair<ComPtr<IDispatch>, bsdl::TBoundaryCell*>> cellViews;
  const int32_t cellCount = HostCallInt(source, kCellCount);
  for (int32_t i = 0; i < cellCount; ++i) {
    ComPtr<IDispatch> view = Element(source, kGetBoundaryCell, i);
    if (!view) continue;
    auto* cell = entity->Create<bsdl::TBoundaryCell>();
    cell->SetCellNumber(HostCallInt(view.Get(), kCellNumber));
    cell->SetCellKind(Enum<bsdl::TCellKind>(view.Get(), kCellKind));
    cell->SetPortId(HostCallString(view.Get(), kCellPort));
    cell->SetCellFunction(Enum<bsdl::TCellFunction>(view.Get(), kCellFunction));
    cell->SetSafeBit(Enum<bsdl::TBitValue>(view.Get(), kCellSafe));
    cell->SetControlCellNumber(HostCallInt(view.Get(), kCellControlNumber));
    cell->SetDisableValue(Enum<bsdl::TBitValue>(view.Get(), kCellDisableValue));
    cell->SetDisableResult(Enum<bsdl::TDisableResult>(view.Get(), kCellDisableResult));
    cells[cell->CellNumber()] = cell;
    cellViews.emplace_back(std::move(view), cell);
    entity->AddBoundaryCell(cell);
  }
  auto cellOf = [&](IDispatch* view) -> bsdl::TBoundaryCell* {
    if (!view) return nullptr;
    auto it = cells.find(HostCallInt(view, kCellNumber));
    return it == cells.end() ? nullptr : it->second;
  };

  std::map<std::string, bsdl::TScanPin*> pins;
  const int32_t pinCount = HostCallInt(source, kPinCount);
  for (int32_t i = 0; i < pinCount; ++i) {
    ComPtr<IDispatch> view = Element(source, kGetPin, i);
    if (!view) continue;
    auto* pin = entity->Create<bsdl::TScanPin>();
    pin->SetDirection(Enum<bsdl::TPinElectrical>(view.Get(), kPinDirection));
    pin->SetPinName(HostCallString(view.Get(), kPinName));
    pin->SetPinNumber(HostCallString(view.Get(), kPinNumber));
    pin->SetKind(Enum<bsdl::TScanPinKind>(view.Get(), kPinKind));
    if (ComPtr<IDispatch> mappingView = HostCallDispatch(view.Get(), kPinMapping)) {
      auto* mapping = entity->Create<bsdl::TPinMapping>();
      mapping->SetPinName(HostCallString(mappingView.Get(), kMappingName));
      mapping->SetPinNumber(HostCallString(mappingView.Get(), kMappingNumber));
      mapping->SetScanPin(pin);
      pin->SetPinMapping(mapping);
    }
    const int32_t ownCells = HostCallInt(view.Get(), kPinCellCount);
    for (int32_t c = 0; c < ownCells; ++c)
      if (bsdl::TBoundaryCell* cell = cellOf(Element(view.Get(), kPinCell, c).Get()))
        pin->AddBoundaryCell(cell);
    pins[pin->PinNumber()] = pin;
    entity->AddPin(pin);
  }
  auto pinOf = [&](ComPtr<IDispatch> view) -> bsdl::TScanPin* {
    if (!view) return nullptr;
    auto it = pins.find(HostCallString(view.Get(), kPinNumber));
    return it == pins.end() ? nullptr : it->second;
  };
  entity->SetTAP_TDI(pinOf(HostCallDispatch(source, kTDI)));
  entity->SetTAP_TDO(pinOf(HostCallDispatch(source, kTDO)));
  entity->SetTAP_TMS(pinOf(HostCallDispatch(source, kTMS)));
  entity->SetTAP_TCK(pinOf(HostCallDispatch(source, kTCK)));
  entity->SetTAP_TRST(pinOf(HostCallDispatch(source, kTRST)));
  for (auto& [view, cell] : cellViews) {
    cell->SetPin(pinOf(HostCallDispatch(view.Get(), kCellPin)));
    cell->SetControlCell(cellOf(HostCallDispatch(view.Get(), kCellControl).Get()));
    cell->SetTargetCell(cellOf(HostCallDispatch(view.Get(), kCellTarget).Get()));
  }

  std::map<std::string, bsdl::TInstructionOpCode*> opCodes;
  const int32_t opCount = HostCallInt(source, kOpcodeCount);
  for (int32_t i = 0; i < opCount; ++i) {
    ComPtr<IDispatch> view = Element(source, kGetInstructionOpcode, i);
    if (!view) continue;
    auto* opCode = entity->Create<bsdl::TInstructionOpCode>();
    opCode->SetInstructionName(HostCallString(view.Get(), kOpName));
    opCode->SetOpCodePattern(HostCallString(view.Get(), kOpPattern));
    opCodes[opCode->InstructionName()] = opCode;
    entity->AddInstructionOpCode(opCode);
  }
  const int32_t registerCount = HostCallInt(source, kRegisterCount);
  for (int32_t i = 0; i < registerCount; ++i) {
    ComPtr<IDispatch> view = Element(source, kGetRegisterAssociation, i);
    if (!view) continue;
    auto* association = entity->Create<bsdl::TRegisterAssociation>();
    association->SetRegisterName(HostCallString(view.Get(), kRegName));
    association->SetRegisterLength(HostCallInt(view.Get(), kRegLength));
    const int32_t count = HostCallInt(view.Get(), kRegOpCount);
    for (int32_t o = 0; o < count; ++o) {
      ComPtr<IDispatch> opView = Element(view.Get(), kRegOp, o);
      if (!opView) continue;
      const std::string name = HostCallString(opView.Get(), kOpName);
      auto it = opCodes.find(name);
      if (it != opCodes.end())
        association->AddOpCode(it->second);
      else
        association->AddInstructionName(name);
    }
    entity->AddRegisterAssociation(association);
  }
  return entity;
}

}  // namespace host

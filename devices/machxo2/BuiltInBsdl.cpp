#include "devices/machxo2/BuiltInBsdl.h"

#include <algorithm>
#include <cctype>

#include "bsdl/BoundaryCell.h"
#include "bsdl/InstructionOpCode.h"
#include "bsdl/PinMapping.h"
#include "bsdl/RegisterAssociation.h"
#include "bsdl/ScanPin.h"
#include "plugin/SupportService.h"

namespace machxo2 {

namespace {

std::string Key(std::string_view text) {
  std::string key(text);
  std::transform(key.begin(), key.end(), key.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return key;
}

template <class T>
T* Find(const std::unordered_map<std::string, T*>& cache, std::string_view key) {
  auto it = cache.find(Key(key));
  return it == cache.end() ? nullptr : it->second;
}

bsdl::TBoundaryCell* FindCell(const TBsdlBuildCaches& caches, int32_t number) {
  return Find(caches.BoundaryCells, std::to_string(number));
}

void AddCells(const TBSDLParameters& record, bsdl::TBSDLEntity& entity, TBsdlBuildCaches& caches) {
  for (const TBoundaryCellParameters& r : record.BoundaryCells) {
    bsdl::TBoundaryCell* cell = FindCell(caches, r.CellNumber);
    if (!cell) {
      cell = entity.Create<bsdl::TBoundaryCell>();
      cell->SetCellNumber(r.CellNumber);
      cell->SetCellKind(r.CellKind);
      cell->SetPortId(std::string(r.PortId));
      cell->SetCellFunction(r.CellFunction);
      cell->SetSafeBit(r.SafeBit);
      cell->SetControlCellNumber(r.ControlCellNumber);
      cell->SetDisableValue(r.DisableValue);
      cell->SetDisableResult(r.DisableResult);
      caches.BoundaryCells[std::to_string(r.CellNumber)] = cell;
    }
    entity.AddBoundaryCell(cell);
  }
}

void AddPins(const TBSDLParameters& record, bsdl::TBSDLEntity& entity, TBsdlBuildCaches& caches) {
  for (const TScanPinParameters& r : record.Pins) {
    bsdl::TScanPin* pin = Find(caches.ScanPins, r.PinNumber);
    if (!pin) {
      pin = entity.Create<bsdl::TScanPin>();
      pin->SetDirection(r.Direction);
      pin->SetPinName(std::string(r.PinName));
      pin->SetPinNumber(std::string(r.PinNumber));
      pin->SetKind(r.Kind);
      bsdl::TPinMapping* mapping = Find(caches.PinMappings, r.PinNumber);
      if (!mapping) {
        mapping = entity.Create<bsdl::TPinMapping>();
        mapping->SetPinName(std::string(r.PinMapping.PinName));
        mapping->SetPinNumber(std::string(r.PinMapping.PinNumber));
        mapping->SetScanPin(pin);
        caches.PinMappings[Key(r.PinNumber)] = mapping;
      }
      pin->SetPinMapping(mapping);
      if (r.BoundaryCellCount == 1)
        if (bsdl::TBoundaryCell* cell = FindCell(caches, r.BoundaryCell)) pin->AddBoundaryCell(cell);
      caches.ScanPins[Key(r.PinNumber)] = pin;
    }
    entity.AddPin(pin);
  }
}

bsdl::TScanPin* TapPin(const TBsdlBuildCaches& caches, std::string_view number) {
  return number.empty() ? nullptr : Find(caches.ScanPins, number);
}

void LinkCells(const TBSDLParameters& record, TBsdlBuildCaches& caches) {
  for (const TBoundaryCellParameters& r : record.BoundaryCells) {
    bsdl::TBoundaryCell* cell = FindCell(caches, r.CellNumber);
    cell->SetPin(r.PinNumber.empty() ? nullptr : Find(caches.ScanPins, r.PinNumber));
    if (r.ControlCellNumber != -1) cell->SetControlCell(FindCell(caches, r.ControlCellNumber));
    if (r.TargetCellNumber != -1) cell->SetTargetCell(FindCell(caches, r.TargetCellNumber));
  }
}

void AddInstructions(const TBSDLParameters& record, bsdl::TBSDLEntity& entity,
                     TBsdlBuildCaches& caches) {
  for (const TOpCodeParameters& r : record.OpCodes) {
    bsdl::TInstructionOpCode* opCode = Find(caches.OpCodes, r.InstructionName);
    if (!opCode) {
      opCode = entity.Create<bsdl::TInstructionOpCode>();
      opCode->SetInstructionName(std::string(r.InstructionName));
      opCode->SetOpCodePattern(std::string(r.OpCodePattern));
      caches.OpCodes[Key(r.InstructionName)] = opCode;
    }
    entity.AddInstructionOpCode(opCode);
  }
  for (const TRegisterAssociationParameters& r : record.RegisterAssociations) {
    bsdl::TRegisterAssociation* association = Find(caches.RegisterAssociations, r.RegisterName);
    if (!association) {
      association = entity.Create<bsdl::TRegisterAssociation>();
      association->SetRegisterName(std::string(r.RegisterName));
      association->SetRegisterLength(r.RegisterLength);
      for (std::string_view name : r.InstructionNames)
        if (bsdl::TInstructionOpCode* opCode = Find(caches.OpCodes, name))
          association->AddOpCode(opCode);
      caches.RegisterAssociations[Key(r.RegisterName)] = association;
    }
    entity.AddRegisterAssociation(association);
  }
}

}  // namespace

const TBSDLParameters& BuiltInBsdlRecordFor(std::string_view fileName) {
  const auto records = BuiltInBsdlRecords();
  size_t chosen = 0;
  for (size_t i = 0; i < records.size(); ++i)
    if (plugin::SameText(records[i].Filename, fileName)) chosen = i;
  return records[chosen];
}

std::unique_ptr<bsdl::TBSDLEntity> BuildBsdlEntity(const TBSDLParameters& record,
                                                   TBsdlBuildCaches& caches) {
  auto entity = std::make_unique<bsdl::TBSDLEntity>();
  entity->SetName(std::string(record.Name));
  entity->SetBoundaryLength(record.BoundaryLength);
  entity->SetScanClockMaxSpeed(record.ScanClockMaxSpeed);
  entity->SetScanClockHaltMode(record.ScanClockHaltMode);
  entity->SetConformanceStatement(std::string(record.ConformanceStatement));
  entity->SetCompliancePattern(std::string(record.CompliancePattern));
  entity->SetFilename(std::string(record.Filename));
  entity->SetInstruction_SAMPLE(static_cast<uint32_t>(record.Instruction_SAMPLE));
  AddCells(record, *entity, caches);
  AddPins(record, *entity, caches);
  entity->SetTAP_TDI(TapPin(caches, record.PinNumber_TDI));
  entity->SetTAP_TDO(TapPin(caches, record.PinNumber_TDO));
  entity->SetTAP_TMS(TapPin(caches, record.PinNumber_TMS));
  entity->SetTAP_TCK(TapPin(caches, record.PinNumber_TCK));
  entity->SetTAP_TRST(TapPin(caches, record.PinNumber_TRST));
  LinkCells(record, caches);
  AddInstructions(record, *entity, caches);
  return entity;
}

TBsdlDataList::TBsdlDataList() {
  for (std::string_view name : BuiltInBsdlFileNames()) slots_.push_back({name, nullptr});
}

bsdl::TBSDLEntity* TBsdlDataList::EntityFor(const std::string& fileName) {
  auto slot = std::find_if(slots_.begin(), slots_.end(), [&](const Slot& s) {
    return plugin::SameText(s.fileName, fileName);
  });
  if (slot == slots_.end()) return nullptr;
  if (!slot->entity) {
    // Built against fresh caches and kept only when complete, so a failed
    // build leaves nothing behind that points into a discarded entity.
    TBsdlBuildCaches caches;
    slot->entity = BuildBsdlEntity(BuiltInBsdlRecordFor(fileName), caches);
    caches_ = std::move(caches);
  }
  return slot->entity.get();
}

}  // namespace machxo2

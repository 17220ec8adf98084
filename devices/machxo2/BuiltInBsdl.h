// The boundary-scan entity a MachXO2 driver hands the host, built from the
// built-in record of its BSDL file on the first request and kept for the
// driver's life.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "bsdl/BSDLEntity.h"
#include "devices/machxo2/BsdlRecords.h"

namespace machxo2 {

// Look-up caches keyed as the records refer to elements: pin number, cell
// number (in decimal), instruction name, register name; keys compare
// without regard to case.
struct TBsdlBuildCaches {
  std::unordered_map<std::string, bsdl::TScanPin*> ScanPins;
  std::unordered_map<std::string, bsdl::TBoundaryCell*> BoundaryCells;
  std::unordered_map<std::string, bsdl::TPinMapping*> PinMappings;
  std::unordered_map<std::string, bsdl::TInstructionOpCode*> OpCodes;
  std::unordered_map<std::string, bsdl::TRegisterAssociation*> RegisterAssociations;
};

// The record for a file name: the last of the 48 whose name equals it
// ignoring case, or the first record when none does.
const TBSDLParameters& BuiltInBsdlRecordFor(std::string_view fileName);

// Builds the entity of record `record` (the caches are filled as it goes).
std::unique_ptr<bsdl::TBSDLEntity> BuildBsdlEntity(const TBSDLParameters& record,
                                                   TBsdlBuildCaches& caches);

// The driver's list of the 48 built-in file names, each with a slot for the
// entity once built.
class TBsdlDataList {
 public:
  TBsdlDataList();
  // The entity for `fileName`: null when the name is not one of the 48,
  // else the cached entity, built now when this is the first request.
  bsdl::TBSDLEntity* EntityFor(const std::string& fileName);

 private:
  struct Slot {
    std::string_view fileName;
    std::unique_ptr<bsdl::TBSDLEntity> entity;
  };
  std::vector<Slot> slots_;
  TBsdlBuildCaches caches_;
};

}  // namespace machxo2

// The in-memory form of one chip's IEEE 1149.1 boundary-scan description:
// package pins, boundary cells, instructions with their opcodes, the data
// registers they select, the TAP pins, the scan clock limits and the
// conformance statement.
//
// The entity owns every element created through Create, whether or not an
// element also sits in one of its lists; the lists and the links between
// elements are plain references. The host sees the entity through its
// TBSDLEntity_Impl view, or through the entity's own IDispatch, which
// forwards to that view.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "bsdl/BSDLObject.h"
#include "bsdl/BsdlEnums.h"

namespace bsdl {

class TScanPin;
class TBoundaryCell;
class TPinMapping;
class TInstructionOpCode;
class TRegisterAssociation;

// An opcode field that holds no opcode.
inline constexpr uint32_t kNoOpCode = 0xFFFFFFFFu;

class TBSDLEntity : public TDispatchObjectNoRef {
 public:
  TBSDLEntity();
  ~TBSDLEntity() override;

  // A new element owned by this entity (not yet in any list).
  template <class Element>
  Element* Create() {
    auto element = std::make_unique<Element>(*this, TBSDLOwnerKey{});
    Element* raw = element.get();
    FOwned.push_back(std::move(element));
    return raw;
  }

  // Forwards every call to the Impl view.
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags,
                                   DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo,
                                   UINT* argErr) override;

  // The host-facing view (TBSDLEntity_Impl).
  IDispatch* GetImpl() const { return FImpl.dispatch.Get(); }

  const std::string& Name() const { return FName; }
  int32_t InstructionLength() const { return FInstructionLength; }
  uint32_t IdCode() const { return FIdCode; }
  const std::vector<TPinMapping*>& PinMappings() const { return FPinMappings; }
  const std::string& DesignWarning() const { return FDesignWarning; }
  uint32_t Instruction_BYPASS() const { return FInstruction_BYPASS; }
  uint32_t Instruction_EXTEST() const { return FInstruction_EXTEST; }
  uint32_t Instruction_IDCODE() const { return FInstruction_IDCODE; }
  uint32_t Instruction_USERCODE() const { return FInstruction_USERCODE; }
  uint32_t Instruction_CLAMP() const { return FInstruction_CLAMP; }
  uint32_t Instruction_HIGHZ() const { return FInstruction_HIGHZ; }
  const std::vector<TScanPin*>& Pins() const { return FPins; }
  const std::vector<TInstructionOpCode*>& InstructionOpCodes() const { return FInstructionOpCodes; }
  const std::vector<TRegisterAssociation*>& RegisterAssociations() const {
    return FRegisterAssociations;
  }
  // Indexed by cell number once the entity is complete.
  const std::vector<TBoundaryCell*>& BoundaryCells() const { return FBoundaryCells; }
  // Number of boundary cells.
  int32_t BoundaryLength() const { return FBoundaryLength; }
  // Maximum TCK frequency in Hz.
  double ScanClockMaxSpeed() const { return FScanClockMaxSpeed; }
  TScanClockHaltMode ScanClockHaltMode() const { return FScanClockHaltMode; }
  const std::string& ConformanceStatement() const { return FConformanceStatement; }
  const std::string& CompliancePattern() const { return FCompliancePattern; }
  // The description's file name ("lcmxo2_256hc_ucbga64.bsd").
  const std::string& Filename() const { return FFilename; }
  TScanPin* TAP_TDI() const { return FTAP_TDI; }
  TScanPin* TAP_TDO() const { return FTAP_TDO; }
  TScanPin* TAP_TMS() const { return FTAP_TMS; }
  TScanPin* TAP_TCK() const { return FTAP_TCK; }
  TScanPin* TAP_TRST() const { return FTAP_TRST; }
  uint32_t Instruction_SAMPLE() const { return FInstruction_SAMPLE; }

  void SetName(std::string value) { FName = std::move(value); }
  void SetInstructionLength(int32_t value) { FInstructionLength = value; }
  void SetIdCode(uint32_t value) { FIdCode = value; }
  void SetDesignWarning(std::string value) { FDesignWarning = std::move(value); }
  void SetInstruction_BYPASS(uint32_t value) { FInstruction_BYPASS = value; }
  void SetInstruction_EXTEST(uint32_t value) { FInstruction_EXTEST = value; }
  void SetInstruction_IDCODE(uint32_t value) { FInstruction_IDCODE = value; }
  void SetInstruction_USERCODE(uint32_t value) { FInstruction_USERCODE = value; }
  void SetInstruction_CLAMP(uint32_t value) { FInstruction_CLAMP = value; }
  void SetInstruction_HIGHZ(uint32_t value) { FInstruction_HIGHZ = value; }
  void SetInstruction_SAMPLE(uint32_t value) { FInstruction_SAMPLE = value; }
  void SetBoundaryLength(int32_t value) { FBoundaryLength = value; }
  void SetScanClockMaxSpeed(double value) { FScanClockMaxSpeed = value; }
  void SetScanClockHaltMode(TScanClockHaltMode value) { FScanClockHaltMode = value; }
  void SetConformanceStatement(std::string value) { FConformanceStatement = std::move(value); }
  void SetCompliancePattern(std::string value) { FCompliancePattern = std::move(value); }
  void SetFilename(std::string value) { FFilename = std::move(value); }
  void SetTAP_TDI(TScanPin* pin);
  void SetTAP_TDO(TScanPin* pin);
  void SetTAP_TMS(TScanPin* pin);
  void SetTAP_TCK(TScanPin* pin);
  void SetTAP_TRST(TScanPin* pin);

  // Each appends to its list; the element must have been created by this
  // entity.
  void AddPin(TScanPin* pin);
  void AddPinMapping(TPinMapping* mapping);
  void AddBoundaryCell(TBoundaryCell* cell);
  void AddInstructionOpCode(TInstructionOpCode* opCode);
  void AddRegisterAssociation(TRegisterAssociation* association);

  // Where a BSDL file named in a device description lives: a relative name
  // goes below LibraryFolder (by default the module's "Library" folder) as
  // BSDL/Vendor/Family/Name; an absolute name is returned unchanged.
  static std::string DetermineFullPath(const std::string& bsdlFileName,
                                       const std::string& deviceVendorName,
                                       const std::string& deviceFamilyName,
                                       const std::string& libraryFolder);
  // The path of a readable BSDL file for SourcePath: the file itself, else
  // its copy in the temporary folder, else the copy unpacked there from the
  // ".Zip" beside SourcePath; empty when there is none.
  static std::string FindFullBSDLPath(const std::string& sourcePath);
  // The same with an explicit temporary folder.
  static std::string FindFullBSDLPath(const std::string& sourcePath, const std::string& tempFolder);

 private:
  // `element` after checking that it is null or was created by this entity.
  template <class Element>
  Element* Own(Element* element) const;
  void RequireOwn(const TBSDLObject* element) const;

  TImplementator FImpl;
  std::string FName;
  int32_t FInstructionLength = 0;
  uint32_t FIdCode = 0;
  std::vector<TPinMapping*> FPinMappings;
  std::string FDesignWarning;
  uint32_t FInstruction_BYPASS = kNoOpCode;
  uint32_t FInstruction_EXTEST = kNoOpCode;
  uint32_t FInstruction_IDCODE = kNoOpCode;
  uint32_t FInstruction_USERCODE = kNoOpCode;
  uint32_t FInstruction_CLAMP = kNoOpCode;
  uint32_t FInstruction_HIGHZ = kNoOpCode;
  std::vector<TScanPin*> FPins;
  std::vector<TInstructionOpCode*> FInstructionOpCodes;
  std::vector<TRegisterAssociation*> FRegisterAssociations;
  std::vector<TBoundaryCell*> FBoundaryCells;
  int32_t FBoundaryLength = 0;
  double FScanClockMaxSpeed = 0.0;
  TScanClockHaltMode FScanClockHaltMode = eScanClockHaltMode_None;
  std::string FConformanceStatement;
  std::string FCompliancePattern;
  std::string FFilename;
  TScanPin* FTAP_TDI = nullptr;
  TScanPin* FTAP_TDO = nullptr;
  TScanPin* FTAP_TMS = nullptr;
  TScanPin* FTAP_TCK = nullptr;
  TScanPin* FTAP_TRST = nullptr;
  uint32_t FInstruction_SAMPLE = kNoOpCode;
  std::vector<std::unique_ptr<TBSDLObject>> FOwned;
};

}  // namespace bsdl

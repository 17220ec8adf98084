// A data register and the instructions that select it between TDI and TDO.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "bsdl/BSDLObject.h"

namespace bsdl {

class TInstructionOpCode;

class TRegisterAssociation : public TBSDLObject {
 public:
  // One selecting instruction: its name and its opcode object, which is
  // null when the description names an instruction without an opcode.
  struct Entry {
    std::string instructionName;
    TInstructionOpCode* opCode = nullptr;
  };

  TRegisterAssociation(TBSDLEntity& owner, TBSDLOwnerKey key);

  // "BOUNDARY", "ISC_DATA[504]" (a name may carry the length in brackets).
  const std::string& RegisterName() const { return FRegisterName; }
  // 0 when no length is given.
  int32_t RegisterLength() const { return FRegisterLength; }
  // In the order added.
  const std::vector<Entry>& InstructionOpCodes() const { return FInstructionOpCodes; }

  void SetRegisterName(std::string value) { FRegisterName = std::move(value); }
  void SetRegisterLength(int32_t value) { FRegisterLength = value; }
  // Adds the opcode under its instruction name.
  void AddOpCode(TInstructionOpCode* opCode);
  // Adds an instruction that has no opcode object.
  void AddInstructionName(std::string instructionName);

  // The register (and its length) followed by its instructions with their
  // patterns: «BYPASS     (CLAMP(01111000),BYPASS(11111111))».
  std::string Description() const override;
  std::string ShortDescription() const override;

 private:
  std::string FRegisterName;
  int32_t FRegisterLength = 0;
  std::vector<Entry> FInstructionOpCodes;
};

}  // namespace bsdl

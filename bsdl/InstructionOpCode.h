// One instruction of the TAP controller and its opcode.
#pragma once

#include <string>

#include "bsdl/BSDLObject.h"

namespace bsdl {

class TInstructionOpCode : public TBSDLObject {
 public:
  TInstructionOpCode(TBSDLEntity& owner, TBSDLOwnerKey key);

  // "SAMPLE", "BYPASS", ...
  const std::string& InstructionName() const { return FInstructionName; }
  // '0' and '1' characters, most significant bit first ("00011100").
  const std::string& OpCodePattern() const { return FOpCodePattern; }

  void SetInstructionName(std::string value) { FInstructionName = std::move(value); }
  void SetOpCodePattern(std::string value) { FOpCodePattern = std::move(value); }

  // InstructionName(OpCodePattern).
  std::string Description() const override;
  std::string ShortDescription() const override;

 private:
  std::string FInstructionName;
  std::string FOpCodePattern;
};

}  // namespace bsdl

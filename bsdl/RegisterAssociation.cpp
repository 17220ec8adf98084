#include "bsdl/RegisterAssociation.h"

#include <stdexcept>

#include "bsdl/BsdlText.h"
#include "bsdl/BsdlViews.h"
#include "bsdl/InstructionOpCode.h"

namespace bsdl {

TRegisterAssociation::TRegisterAssociation(TBSDLEntity& owner, TBSDLOwnerKey key)
    : TBSDLObject(owner, key) {
  auto* view = new TRegisterAssociation_Impl(*this);
  AddImplementator(view->AsDispatch(), view);
}

void TRegisterAssociation::AddOpCode(TInstructionOpCode* opCode) {
  if (!opCode) throw std::invalid_argument("no opcode to add to register " + FRegisterName);
  RequireSameEntity(opCode, "the opcode");
  FInstructionOpCodes.push_back(Entry{opCode->InstructionName(), opCode});
}

void TRegisterAssociation::AddInstructionName(std::string instructionName) {
  FInstructionOpCodes.push_back(Entry{std::move(instructionName), nullptr});
}

std::string TRegisterAssociation::Description() const {
  std::string text = Pad(FRegisterName, 10);
  if (FRegisterLength > 0) text += "[" + std::to_string(FRegisterLength) + "]";
  text += " (";
  for (size_t i = 0; i < FInstructionOpCodes.size(); ++i) {
    const Entry& entry = FInstructionOpCodes[i];
    if (i > 0) text += ",";
    text += entry.instructionName + "(" +
            (entry.opCode ? entry.opCode->OpCodePattern() : std::string("NoOpcode")) + ")";
  }
  return text + ")";
}

std::string TRegisterAssociation::ShortDescription() const { return Description(); }

}  // namespace bsdl

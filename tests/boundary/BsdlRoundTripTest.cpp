// Every built-in boundary-scan description, read through Invoke and written
// as BSDL text, reads back as the same chip: the same boundary register
// cell for cell, the same balls with their cells, instructions and
// registers. From then on the file is a fixed point of writing and reading.
// The reconstruction is never a dead end for a user who needs a file for
// another tool.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <map>
#include <set>
#include <sstream>

#include "automation/HostCall.h"
#include "bsdl/BoundaryCell.h"
#include "bsdl/BsdlReader.h"
#include "bsdl/BsdlWriter.h"
#include "bsdl/InstructionOpCode.h"
#include "bsdl/RegisterAssociation.h"
#include "bsdl/ScanPin.h"
#include "host/BsdlFromDispatch.h"
#include "tests/boundary/ModuleHost.h"
#include "tests/unit/bsdl/EntityComparison.h"

namespace boundary {
namespace {

// What a BSDL file states about a chip, in a form that does not depend on
// how ports are grouped or named in the file.
std::vector<std::string> ChipFacts(const bsdl::TBSDLEntity& entity) {
  std::vector<std::string> facts;
  for (const bsdl::TBoundaryCell* cell : entity.BoundaryCells()) {
    std::ostringstream line;
    line << "cell " << cell->CellNumber() << " kind " << int(cell->CellKind()) << " port "
         << (cell->Pin() ? cell->Pin()->PinNumber() : cell->PortId()) << " function "
         << int(cell->CellFunction()) << " safe " << int(cell->SafeBit()) << " control "
         << cell->ControlCellNumber();
    if (cell->ControlCellNumber() >= 0)
      line << " disable " << int(cell->DisableValue()) << "/" << int(cell->DisableResult());
    facts.push_back(line.str());
  }
  std::map<std::string, std::string> balls;
  for (const bsdl::TScanPin* pin : entity.Pins()) {
    std::ostringstream line;
    line << "kind " << int(pin->Kind()) << " cells";
    for (const bsdl::TBoundaryCell* cell : pin->BoundaryCells()) line << " " << cell->CellNumber();
    balls[pin->PinNumber()] = line.str();
  }
  for (const auto& [number, text] : balls) facts.push_back("ball " + number + " " + text);
  for (const bsdl::TInstructionOpCode* opCode : entity.InstructionOpCodes())
    facts.push_back("instruction " + opCode->InstructionName() + " " + opCode->OpCodePattern());
  for (const bsdl::TRegisterAssociation* association : entity.RegisterAssociations()) {
    // "ISC_DATA[504]" with no length given, or "ISC_DATA" of length 504:
    // one register either way.
    std::string line = "register " + association->RegisterName();
    if (association->RegisterLength() > 0)
      line += "[" + std::to_string(association->RegisterLength()) + "]";
    for (const auto& entry : association->InstructionOpCodes()) line += " " + entry.instructionName;
    facts.push_back(line);
  }
  for (const bsdl::TScanPin* tap : {entity.TAP_TDI(), entity.TAP_TDO(), entity.TAP_TMS(),
                                    entity.TAP_TCK(), entity.TAP_TRST()})
    facts.push_back("tap " + (tap ? tap->PinNumber() : std::string("none")));
  facts.push_back("boundary length " + std::to_string(entity.BoundaryLength()));
  return facts;
}

TEST(BsdlRoundTrip, AllBuiltInDescriptionsSurviveWritingAndReading) {
  std::set<std::string> files;
  for (int32_t kind = 0; kind < 420; ++kind) {
    auto driver = Driver(kind);
    const std::string file = automation::HostCallString(driver.Get(), 503405);
    if (!files.insert(file).second) continue;
    SCOPED_TRACE(file);
    auto source = automation::HostCallDispatch(driver.Get(), 503406);
    ASSERT_TRUE(source);
    auto built = host::BsdlEntityFromDispatch(source.Get());
    const std::string text = bsdl::WriteBsdlText(*built);
    auto read = bsdl::ReadBsdlText(text, file);
    const auto before = ChipFacts(*built), after = ChipFacts(*read);
    std::vector<std::string> lost, gained;
    std::set_difference(before.begin(), before.end(), after.begin(), after.end(),
                        std::back_inserter(lost));
    std::set_difference(after.begin(), after.end(), before.begin(), before.end(),
                        std::back_inserter(gained));
    EXPECT_EQ(lost, gained);
    auto again = bsdl::ReadBsdlText(bsdl::WriteBsdlText(*read), file);
    EXPECT_EQ(testsupport::EntityDifferences(*read, *again), std::vector<std::string>{});
  }
  EXPECT_EQ(files.size(), 48u);
}

}  // namespace
}  // namespace boundary

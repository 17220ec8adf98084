#include <gtest/gtest.h>

#include <string>

#include "bsdl/BSDLEntity.h"
#include "bsdl/BoundaryCell.h"
#include "bsdl/BsdlReader.h"
#include "bsdl/BsdlWriter.h"
#include "bsdl/InstructionOpCode.h"
#include "bsdl/PinMapping.h"
#include "bsdl/RegisterAssociation.h"
#include "bsdl/ScanPin.h"
#include "tests/unit/bsdl/EntityComparison.h"
#include "tests/unit/support/ScratchFolder.h"

namespace {

using namespace bsdl;
using testsupport::EntityDifferences;

std::string FixtureText() {
  return testsupport::ReadWholeFile(std::string(MXO2_FIXTURES_DIR) + "/bsdl/tinypld_q24.bsd");
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

TEST(BsdlWriterTest, FixtureSurvivesWritingAndReadingBack) {
  const auto original = ReadBsdlText(FixtureText(), "tinypld_q24.bsd");
  const std::string written = WriteBsdlText(*original);
  const auto reread = ReadBsdlText(written, "tinypld_q24.bsd");
  EXPECT_EQ(Joined(EntityDifferences(*original, *reread)), "") << written;
  // Writing is stable: the text of the copy is the text of the original.
  EXPECT_EQ(WriteBsdlText(*reread), written);
}

// Descriptions the writer must settle in one step: its copy of what it
// read writes as the same text (found by fuzzing the reader and writer).
TEST(BsdlWriterTest, CopiesOfSmallDescriptionsWriteAsTheSameText) {
  const std::string head =
      "entity E is port (A : inout bit; D : out bit_vector(3 downto 0));\n"
      "constant P : PIN_MAP_STRING := \"A:1, D:(2, 3, 4, 5)\";\n";
  const std::string cases[] = {
      // Pins without cells become linkage ports, whose elements share a name.
      head + "end E;",
      head +
          "attribute BOUNDARY_LENGTH of E : entity is 1;\n"
          "attribute BOUNDARY_REGISTER of E : entity is \"0 (BC_1, D(1), output2, X)\"; end E;",
      // Tabs and long runs of blanks in texts that are broken over lines.
      head + "attribute DESIGN_WARNING of E : entity is \"" + std::string(60, ' ') + "a\t\tb" +
          std::string(70, 'c') + "\"; end E;",
  };
  for (const std::string& text : cases) {
    SCOPED_TRACE(text);
    const std::string written = WriteBsdlText(*ReadBsdlText(text, "e.bsd"));
    EXPECT_EQ(WriteBsdlText(*ReadBsdlText(written, "e.bsd")), written);
  }
}

TEST(BsdlWriterTest, ComparisonSeesChangedFieldsAndLinks) {
  const auto a = ReadBsdlText(FixtureText(), "tinypld_q24.bsd");
  const auto b = ReadBsdlText(FixtureText(), "tinypld_q24.bsd");
  EXPECT_TRUE(EntityDifferences(*a, *b).empty());
  b->BoundaryCells()[9]->SetTargetCell(b->BoundaryCells()[11]);
  b->Pins()[3]->SetCurrentValue(1);
  b->SetTAP_TRST(nullptr);
  EXPECT_EQ(EntityDifferences(*a, *b).size(), 3u) << Joined(EntityDifferences(*a, *b));
}

// An entity built through the setters, as a driver builds one, in the form
// the reader gives: every field and link must come back.
std::unique_ptr<TBSDLEntity> BuildChip() {
  auto entity = std::make_unique<TBSDLEntity>();
  entity->SetName("HAND_MADE_7");
  entity->SetFilename("hand.bsd");
  entity->SetInstructionLength(4);
  entity->SetIdCode(0x0ABCD0C5);
  entity->SetScanClockMaxSpeed(12.5e6);
  entity->SetScanClockHaltMode(eScanClockHaltMode_Low);
  entity->SetConformanceStatement("STD_1149_1_1994");
  entity->SetCompliancePattern("(MODE0, MODE1) (01)");
  entity->SetDesignWarning("Say \"no\" to floating inputs; " + std::string(150, '-') + " end.");

  auto pin = [&](const std::string& name, const std::string& number, TPinElectrical direction,
                 TScanPinKind kind) {
    TScanPin* p = entity->Create<TScanPin>();
    p->SetPinName(name);
    p->SetPinNumber(number);
    p->SetDirection(direction);
    p->SetKind(kind);
    TPinMapping* m = entity->Create<TPinMapping>();
    m->SetPinName(name);
    m->SetPinNumber(number);
    m->SetScanPin(p);
    p->SetPinMapping(m);
    entity->AddPin(p);
    entity->AddPinMapping(m);
    return p;
  };
  entity->SetTAP_TCK(pin("TCK", "1", eElectricInput, eScanPinKind_TCK));
  entity->SetTAP_TMS(pin("TMS", "2", eElectricInput, eScanPinKind_TMS));
  entity->SetTAP_TDI(pin("TDI", "3", eElectricInput, eScanPinKind_TDI));
  entity->SetTAP_TDO(pin("TDO", "4", eElectricOutput, eScanPinKind_TDO));
  TScanPin* bus0 = pin("DQ(0)", "A1", eElectricIO, eScanPinKind_Normal);
  TScanPin* bus1 = pin("DQ(1)", "A2", eElectricIO, eScanPinKind_Normal);
  TScanPin* reset = pin("RESET_N", "A3", eElectricInput, eScanPinKind_Normal);
  pin("VDD", "B1", eElectricPower, eScanPinKind_Power);
  pin("VDD", "B2", eElectricPower, eScanPinKind_Power);
  pin("VSS", "B3", eElectricPower, eScanPinKind_Ground);
  pin("NC", "B4", eElectricPassive, eScanPinKind_Normal);

  auto cell = [&](TCellKind kind, TScanPin* p, TCellFunction function, TBitValue safe) {
    TBoundaryCell* c = entity->Create<TBoundaryCell>();
    c->SetCellNumber(static_cast<int32_t>(entity->BoundaryCells().size()));
    c->SetCellKind(kind);
    c->SetCellFunction(function);
    c->SetSafeBit(safe);
    if (p) {
      c->SetPortId(p->PinName());
      c->SetPin(p);
      p->AddBoundaryCell(c);
    }
    entity->AddBoundaryCell(c);
    return c;
  };
  auto controlled = [&](TBoundaryCell* c, TBoundaryCell* control, TBitValue value,
                        TDisableResult result) {
    c->SetControlCellNumber(control->CellNumber());
    c->SetControlCell(control);
    c->SetDisableValue(value);
    c->SetDisableResult(result);
    if (!control->TargetCell()) control->SetTargetCell(c);
  };
  TBoundaryCell* enable = cell(eCellKind_BC_2, nullptr, eCellFunction_ControlR, eBit_0);
  controlled(cell(eCellKind_BC_7, bus0, eCellFunction_BiDir, eBit_X), enable, eBit_1,
             eDisableResult_Weak0);
  controlled(cell(eCellKind_BC_1, bus1, eCellFunction_Output3, eBit_1), enable, eBit_1,
             eDisableResult_HiZ);
  cell(eCellKind_BC_4, bus1, eCellFunction_Input, eBit_X);
  cell(eCellKind_BC_0, reset, eCellFunction_ObserveOnly, eBit_X);
  cell(eCellKind_BC_10, nullptr, eCellFunction_Internal, eBit_1);
  entity->SetBoundaryLength(static_cast<int32_t>(entity->BoundaryCells().size()));

  auto opcode = [&](const std::string& name, const std::string& pattern) {
    TInstructionOpCode* op = entity->Create<TInstructionOpCode>();
    op->SetInstructionName(name);
    op->SetOpCodePattern(pattern);
    entity->AddInstructionOpCode(op);
    return op;
  };
  TInstructionOpCode* bypass = opcode("BYPASS", "1111");
  entity->SetInstruction_BYPASS(0xF);
  TInstructionOpCode* sample = opcode("SAMPLE", "0010");
  entity->SetInstruction_SAMPLE(0x2);
  TInstructionOpCode* dump1 = opcode("DUMP", "1000");
  TInstructionOpCode* dump2 = opcode("DUMP", "1001");
  auto association = [&](const std::string& name, int32_t length) {
    TRegisterAssociation* a = entity->Create<TRegisterAssociation>();
    a->SetRegisterName(name);
    a->SetRegisterLength(length);
    entity->AddRegisterAssociation(a);
    return a;
  };
  association("BYPASS", 0)->AddOpCode(bypass);
  TRegisterAssociation* boundary = association("BOUNDARY", 0);
  boundary->AddOpCode(sample);
  boundary->AddInstructionName("PRELOAD");  // named but without an opcode
  TRegisterAssociation* trace = association("TRACE", 4096);
  trace->AddOpCode(dump1);
  trace->AddOpCode(dump2);
  return entity;
}

TEST(BsdlWriterTest, HandBuiltEntitySurvivesWritingAndReadingBack) {
  const auto original = BuildChip();
  const std::string written = WriteBsdlText(*original);
  const auto reread = ReadBsdlText(written, "hand.bsd");
  EXPECT_EQ(Joined(EntityDifferences(*original, *reread)), "") << written;
}

TEST(BsdlWriterTest, WrittenFileReadsBack) {
  testsupport::ScratchFolder folder;
  const auto original = BuildChip();
  WriteBsdlFile(*original, folder.File("hand.bsd"));
  EXPECT_TRUE(EntityDifferences(*original, *ReadBsdlFile(folder.File("hand.bsd"))).empty());
}

// The instruction length comes from the opcodes when the entity has none,
// as an entity built from the driver's tables does.
TEST(BsdlWriterTest, InstructionLengthFollowsTheOpcodesWhenMissing) {
  auto entity = BuildChip();
  entity->SetInstructionLength(0);
  const auto reread = ReadBsdlText(WriteBsdlText(*entity), "hand.bsd");
  EXPECT_EQ(reread->InstructionLength(), 4);
  EXPECT_NE(WriteBsdlText(*entity).find("INSTRUCTION_CAPTURE of HAND_MADE_7 : entity is \"xx01\""),
            std::string::npos);
}

// Whatever the names and shapes, the writer produces a description the
// reader accepts.
TEST(BsdlWriterTest, AwkwardEntitiesStillGiveValidDescriptions) {
  TBSDLEntity entity;  // no name, nothing else
  EXPECT_EQ(ReadBsdlText(WriteBsdlText(entity), "x.bsd")->Name(), "UNNAMED_DEVICE");

  entity.SetName("7-segment driver");
  entity.SetDesignWarning("line one\nline two" + std::string(60, '.') + "\t\tend");
  entity.SetFilename("x.bsd\nentity X is");  // shown in a comment
  const char* names[] = {"in",   "I/O 1", "I/O 1",  "D(2)", "D(7)",
                         "D(2)", "",      "_x__y_", "PORT", "DEVICE_PACKAGE"};
  int number = 0;
  for (const char* name : names) {
    TScanPin* p = entity.Create<TScanPin>();
    p->SetPinName(name);
    p->SetPinNumber("P" + std::to_string(++number));
    p->SetDirection(number % 2 ? eElectricIO : eElectricHiZ);
    entity.AddPin(p);
  }
  entity.SetTAP_TDO(entity.Pins()[1]);  // a TAP pin whose name another pin shares
  entity.SetTAP_TCK(entity.Pins()[1]);  // and a pin in two TAP roles
  TBoundaryCell* c = entity.Create<TBoundaryCell>();
  c->SetCellNumber(0);
  c->SetCellKind(eCellKind_BC_1);
  c->SetCellFunction(eCellFunction_Input);
  c->SetPortId("d(7)");  // by name, in another letter case, without a pin link
  entity.AddBoundaryCell(c);
  TInstructionOpCode* op = entity.Create<TInstructionOpCode>();
  op->SetInstructionName("in");
  op->SetOpCodePattern("01");
  entity.AddInstructionOpCode(op);

  const std::string written = WriteBsdlText(entity);
  std::unique_ptr<TBSDLEntity> reread;
  ASSERT_NO_THROW(reread = ReadBsdlText(written, "x.bsd")) << written;
  EXPECT_EQ(reread->Pins().size(), entity.Pins().size());
  EXPECT_EQ(reread->DesignWarning(), "line one line two" + std::string(60, '.') + "  end");
  // The copy writes as the same text: blanks, breaks and names are settled.
  reread->SetFilename(entity.Filename());
  EXPECT_EQ(WriteBsdlText(*reread), written);
  ASSERT_NE(reread->TAP_TDO(), nullptr);
  EXPECT_EQ(reread->TAP_TCK(), nullptr);
  ASSERT_EQ(reread->BoundaryCells().size(), 1u);
  EXPECT_EQ(reread->BoundaryCells()[0]->Pin()->PinNumber(), "P5");
}

TEST(BsdlWriterTest, WhatNoDescriptionCanStateIsRefused) {
  const struct {
    const char* name;
    void (*spoil)(TBSDLEntity&);
    const char* message;
  } cases[] = {
      {"PinWithoutNumber", [](TBSDLEntity& e) { e.Pins()[4]->SetPinNumber(""); },
       "pin DQ(0) has the number \"\""},
      {"SharedPinNumber", [](TBSDLEntity& e) { e.Pins()[5]->SetPinNumber("A1"); },
       "share the number A1"},
      {"OpcodeOfOtherLength",
       [](TBSDLEntity& e) { e.InstructionOpCodes()[1]->SetOpCodePattern("010"); },
       "\"010\" of SAMPLE is not 4 bits"},
      {"CellWithoutKind",
       [](TBSDLEntity& e) { e.BoundaryCells()[2]->SetCellKind(eCellKind_Undefined); },
       "cell 2 has no cell kind"},
      {"CellsOutOfOrder", [](TBSDLEntity& e) { e.BoundaryCells()[3]->SetCellNumber(7); },
       "has the number 7"},
      {"CellOnUnknownPort", [](TBSDLEntity& e) { e.BoundaryCells()[5]->SetPortId("NOWHERE"); },
       "serves port NOWHERE"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto entity = BuildChip();
    c.spoil(*entity);
    try {
      WriteBsdlText(*entity);
      ADD_FAILURE() << "no error";
    } catch (const EBsdlWrite& e) {
      EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
    }
  }
}

}  // namespace

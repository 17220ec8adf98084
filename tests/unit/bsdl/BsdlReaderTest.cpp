#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bsdl/BSDLEntity.h"
#include "bsdl/BoundaryCell.h"
#include "bsdl/BsdlReader.h"
#include "bsdl/InstructionOpCode.h"
#include "bsdl/PinMapping.h"
#include "bsdl/RegisterAssociation.h"
#include "bsdl/ScanPin.h"
#include "tests/unit/support/ScratchFolder.h"

namespace {

using namespace bsdl;

const std::string kFixtureName = "tinypld_q24.bsd";

std::string FixtureText() {
  return testsupport::ReadWholeFile(std::string(MXO2_FIXTURES_DIR) + "/bsdl/" + kFixtureName);
}

const TScanPin* PinNamed(const TBSDLEntity& entity, const std::string& name, size_t nth = 0) {
  for (const TScanPin* pin : entity.Pins())
    if (pin->PinName() == name && nth-- == 0) return pin;
  return nullptr;
}

TEST(BsdlReaderTest, FixtureGivesPinsTapAndTexts) {
  const auto entity = ReadBsdlFile(std::string(MXO2_FIXTURES_DIR) + "/bsdl/" + kFixtureName);
  EXPECT_EQ(entity->Name(), "TINYPLD_Q24");
  EXPECT_EQ(entity->Filename(), kFixtureName);
  EXPECT_EQ(entity->ConformanceStatement(), "STD_1149_1_2001");
  EXPECT_EQ(entity->CompliancePattern(), "(PROG_N) (1)");
  EXPECT_EQ(entity->DesignWarning(),
            "Hold PROG_N high while using boundary scan; driving it low starts a configuration.");
  EXPECT_EQ(entity->IdCode(), 0x15A3C14Bu);
  EXPECT_EQ(entity->ScanClockMaxSpeed(), 20e6);
  EXPECT_EQ(entity->ScanClockHaltMode(), eScanClockHaltMode_Both);

  ASSERT_EQ(entity->Pins().size(), 25u);
  ASSERT_EQ(entity->PinMappings().size(), 25u);
  struct PinCase {
    std::string name;
    size_t nth;
    std::string number;
    TPinElectrical direction;
    TScanPinKind kind;
  };
  const PinCase pins[] = {
      {"TDI", 0, "13", eElectricInput, eScanPinKind_TDI},
      {"TDO", 0, "14", eElectricOutput, eScanPinKind_TDO},
      {"TRST_N", 0, "10", eElectricInput, eScanPinKind_TRST},
      {"LED", 0, "2", eElectricOutput, eScanPinKind_Normal},
      {"IOA1", 0, "4", eElectricIO, eScanPinKind_Normal},
      {"D(3)", 0, "16", eElectricIO, eScanPinKind_Normal},  // 3 downto 0: D(3) first
      {"D(0)", 0, "19", eElectricIO, eScanPinKind_Normal},
      {"VCC", 1, "21", eElectricPower, eScanPinKind_Power},
      {"VCCIO", 0, "7", eElectricPower, eScanPinKind_Power},
      {"GND", 2, "EP", eElectricPower, eScanPinKind_Ground},
      {"NC", 0, "22", eElectricPassive, eScanPinKind_Normal},
  };
  for (const PinCase& expected : pins) {
    SCOPED_TRACE(expected.name);
    const TScanPin* pin = PinNamed(*entity, expected.name, expected.nth);
    ASSERT_NE(pin, nullptr);
    EXPECT_EQ(pin->PinNumber(), expected.number);
    EXPECT_EQ(pin->Direction(), expected.direction);
    EXPECT_EQ(pin->Kind(), expected.kind);
    ASSERT_NE(pin->PinMapping(), nullptr);
    EXPECT_EQ(pin->PinMapping()->ScanPin(), pin);
    EXPECT_EQ(pin->PinMapping()->PinNumber(), expected.number);
  }
  EXPECT_EQ(entity->TAP_TDI(), PinNamed(*entity, "TDI"));
  EXPECT_EQ(entity->TAP_TMS(), PinNamed(*entity, "TMS"));
  EXPECT_EQ(entity->TAP_TCK(), PinNamed(*entity, "TCK"));
  EXPECT_EQ(entity->TAP_TRST(), PinNamed(*entity, "TRST_N"));
  EXPECT_EQ(PinNamed(*entity, "TCK")->Kind(), eScanPinKind_TCK);
}

TEST(BsdlReaderTest, FixtureGivesInstructionsAndRegisters) {
  const auto entity = ReadBsdlText(FixtureText(), kFixtureName);
  EXPECT_EQ(entity->InstructionLength(), 6);
  ASSERT_EQ(entity->InstructionOpCodes().size(), 10u);
  EXPECT_EQ(entity->InstructionOpCodes()[8]->Description(), "CFG_LOAD(101010)");
  EXPECT_EQ(entity->InstructionOpCodes()[9]->Description(), "CFG_LOAD(101011)");
  EXPECT_EQ(entity->Instruction_BYPASS(), 0x3Fu);
  EXPECT_EQ(entity->Instruction_EXTEST(), 0u);
  EXPECT_EQ(entity->Instruction_SAMPLE(), 1u);
  EXPECT_EQ(entity->Instruction_IDCODE(), 6u);
  EXPECT_EQ(entity->Instruction_USERCODE(), 7u);
  EXPECT_EQ(entity->Instruction_HIGHZ(), 8u);
  EXPECT_EQ(entity->Instruction_CLAMP(), 9u);

  std::vector<std::string> registers;
  for (const TRegisterAssociation* association : entity->RegisterAssociations())
    registers.push_back(association->Description());
  EXPECT_EQ(registers,
            (std::vector<std::string>{"BYPASS     (BYPASS(111111),HIGHZ(001000),CLAMP(001001))",
                                      "BOUNDARY   (EXTEST(000000),SAMPLE(000001),PRELOAD(000001))",
                                      "DEVICE_ID  (IDCODE(000110),USERCODE(000111))",
                                      "CFG_DATA  [128] (CFG_LOAD(101010),CFG_LOAD(101011))"}));
}

// Registers and instructions are matched by name ignoring case: a register
// named again gains the new instructions, an instruction named again in one
// register is kept once, and one without an opcode is kept by name.
TEST(BsdlReaderTest, RegisterAccessMatchesNamesIgnoringCase) {
  const auto entity = ReadBsdlText(
      "entity E is\n"
      "attribute INSTRUCTION_OPCODE of E : entity is \"Sample (01), LOAD (10, 11)\";\n"
      "attribute REGISTER_ACCESS of E : entity is\n"
      "  \"BOUNDARY (SAMPLE, sample), DATA[8] (load), boundary (PRIVATE, Sample)\";\n"
      "end E;",
      "registers.bsd");
  std::vector<std::string> registers;
  for (const TRegisterAssociation* association : entity->RegisterAssociations())
    registers.push_back(association->Description());
  EXPECT_EQ(registers, (std::vector<std::string>{"BOUNDARY   (Sample(01),PRIVATE(NoOpcode))",
                                                 "DATA      [8] (LOAD(10),LOAD(11))"}));
}

TEST(BsdlReaderTest, FixtureGivesTheBoundaryRegisterByCellNumber) {
  const auto entity = ReadBsdlText(FixtureText(), kFixtureName);
  ASSERT_EQ(entity->BoundaryLength(), 17);
  const auto& cells = entity->BoundaryCells();
  ASSERT_EQ(cells.size(), 17u);
  for (size_t i = 0; i < cells.size(); ++i)
    EXPECT_EQ(cells[i]->CellNumber(), static_cast<int32_t>(i));

  EXPECT_EQ(cells[0]->Description(), "0   (BC_4      ,CLKIN     ,Clock     ,X ");
  EXPECT_EQ(cells[13]->Description(),
            "13  (BC_7      ,D(0)      ,BiDir     ,X ,9   ,0 ,Z         , Pin:D(0)");
  EXPECT_EQ(cells[8]->DisableResult(), eDisableResult_Pull1);
  EXPECT_EQ(cells[6]->DisableResult(), eDisableResult_Keeper);
  EXPECT_EQ(cells[16]->CellFunction(), eCellFunction_Internal);
  EXPECT_EQ(cells[16]->SafeBit(), eBit_0);
  // One control cell enables the whole bus; it names the first cell it controls.
  for (size_t bus = 10; bus <= 13; ++bus) EXPECT_EQ(cells[bus]->ControlCell(), cells[9]);
  EXPECT_EQ(cells[9]->TargetCell(), cells[10]);
  EXPECT_EQ(cells[1]->TargetCell(), cells[2]);
  EXPECT_EQ(cells[13]->Pin(), PinNamed(*entity, "D(0)"));
  EXPECT_EQ(PinNamed(*entity, "IOA1")->BoundaryCells(), (std::vector<TBoundaryCell*>{cells[6]}));
  EXPECT_TRUE(PinNamed(*entity, "VCC")->BoundaryCells().empty());
}

TEST(BsdlReaderTest, TheGenericChoosesThePackage) {
  std::string text = FixtureText();
  text.replace(text.find("\"QFN24\");"), 9, "\"BGA25\");");
  const auto entity = ReadBsdlText(text, kFixtureName);
  EXPECT_EQ(entity->TAP_TDI()->PinNumber(), "C1");
  EXPECT_EQ(PinNamed(*entity, "GND", 2)->PinNumber(), "B5");
}

struct MalformedCase {
  const char* name;
  const char* find;  // replaced in the fixture
  const char* replace;
  const char* anchor;   // the error's line is the fixture line holding this (after the change)
  const char* message;  // part of the message
};

int LineOf(const std::string& text, const std::string& anchor) {
  const size_t at = text.find(anchor);
  if (at == std::string::npos) return -1;
  return 1 + static_cast<int>(std::count(text.begin(), text.begin() + static_cast<long>(at), '\n'));
}

class MalformedBsdlTest : public testing::TestWithParam<MalformedCase> {};

TEST_P(MalformedBsdlTest, ErrorNamesFileLineAndWhatWasExpected) {
  const MalformedCase& c = GetParam();
  std::string text = FixtureText();
  const size_t at = text.find(c.find);
  ASSERT_NE(at, std::string::npos) << c.find;
  text.replace(at, std::string(c.find).size(), c.replace);
  const int line = LineOf(text, c.anchor);
  ASSERT_GT(line, 0) << c.anchor;
  try {
    ReadBsdlText(text, "broken.bsd");
    FAIL() << "no error";
  } catch (const EBsdlSyntax& e) {
    EXPECT_EQ(e.File(), "broken.bsd");
    EXPECT_EQ(e.Line(), line) << e.what();
    EXPECT_NE(e.Message().find(c.message), std::string::npos) << e.what();
    EXPECT_EQ(std::string(e.what()).rfind("broken.bsd:" + std::to_string(line) + ":", 0), 0u);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Fixture, MalformedBsdlTest,
    testing::Values(
        MalformedCase{"MissingSemicolonAfterPorts", "bit_vector(1 to 3)\n  );",
                      "bit_vector(1 to 3)\n  )", "use STD_1149_1_2001",
                      "expected ';' after the port list, found 'use'"},
        MalformedCase{"UnknownPortMode", "CLKIN  : in ", "CLKIN  : input ", "CLKIN  : input",
                      "expected a port mode"},
        MalformedCase{"UnclosedString", "\"TDI:13, TDO:14, TMS:12, TCK:11, TRST_N:10, \" &",
                      "\"TDI:13, TDO:14 &", "\"TDI:13, TDO:14 &", "string not closed on its line"},
        MalformedCase{"UnexpectedCharacter", "use STD_1149_1_2001.all;",
                      "use STD_1149_1_2001.all; $", "use STD_1149_1_2001",
                      "unexpected character '$'"},
        MalformedCase{"UndeclaredPortInPinMap", "IOA2:5", "IOB2:5", "IOB2:5",
                      "port 'IOB2' is not declared"},
        MalformedCase{"VectorWithTooFewPins", "D:(16, 17, 18, 19)", "D:(16, 17, 18)",
                      "D:(16, 17, 18)",
                      "port D has 4 element(s), but the pin map gives a list of 3"},
        MalformedCase{"PinMappedTwice", "VCCIO:7", "VCCIO:6", "VCCIO:6",
                      "pin 6 is mapped to both VCC and VCCIO"},
        MalformedCase{"PortMissingFromPinMap", "DONE:9, ", "", "DONE   : out",
                      "port DONE is not in pin map QFN24"},
        MalformedCase{"GenericNamesNoPinMap", "\"QFN24\");", "\"SOIC8\");", "\"SOIC8\");",
                      "PHYSICAL_PIN_MAP names \"SOIC8\""},
        MalformedCase{"UnknownCellKind", "14 (BC_1, DONE", "14 (BC_99, DONE", "14 (BC_99",
                      "expected the cell kind of cell 14"},
        MalformedCase{"UnknownCellFunction", "output2", "outpt2", "outpt2",
                      "expected the function of cell 14"},
        MalformedCase{"MissingControlCell", "D(0),   bidir,    X,    9",
                      "D(0),   bidir,    X,    99", "13 (BC_7",
                      "cell 13 names control cell 99, which is not in the register"},
        MalformedCase{"PortIndexOutOfRange", "D(0),   bidir", "D(4),   bidir", "D(4)",
                      "expected an index of port D (0 to 3)"},
        MalformedCase{"CellListedTwice", "15 (BC_1, PROG_N", "14 (BC_1, PROG_N", "14 (BC_1, DONE",
                      "cell 14 is listed twice"},
        MalformedCase{"BoundaryLengthDisagrees", "entity is 17;", "entity is 18;",
                      "BOUNDARY_REGISTER of",
                      "BOUNDARY_REGISTER lists 17 cells, but BOUNDARY_LENGTH is 18"},
        MalformedCase{"OpcodeOfWrongLength", "HIGHZ    (001000)", "HIGHZ    (0010000)",
                      "HIGHZ    (", "opcode \"0010000\" of HIGHZ is not 6 bits long"},
        MalformedCase{"OpcodeNotBinary", "(000110)", "(000120)", "(000120)",
                      "is not made of 0 and 1"},
        MalformedCase{"IdcodeTooShort", "\"0101101000111100\"", "\"010110100011110\"", "\"0001\" &",
                      "expected 32 bits"},
        MalformedCase{"RegisterWithoutInstructionList", "\"CFG_DATA[128] (CFG_LOAD)\"",
                      "\"CFG_DATA[128] CFG_LOAD\"", "CFG_DATA[128] CFG_LOAD",
                      "expected '(' after register CFG_DATA"},
        MalformedCase{"TapOnUnknownPort", "TAP_SCAN_RESET of TRST_N", "TAP_SCAN_RESET of TRST",
                      "TAP_SCAN_RESET of TRST", "which is not a port"},
        MalformedCase{"PortWithTwoTapRoles", "TAP_SCAN_MODE  of TMS", "TAP_SCAN_MODE  of TDI",
                      "TAP_SCAN_MODE  of TDI", "port TDI is already the TAP_SCAN_IN port"},
        MalformedCase{"TapOnLinkagePort", "TAP_SCAN_RESET of TRST_N", "TAP_SCAN_RESET of VCCIO",
                      "TAP_SCAN_RESET of VCCIO", "is given for linkage port VCCIO"},
        MalformedCase{"UnknownHaltMode", "(20.0e6, BOTH)", "(20.0e6, HIGH)", "(20.0e6, HIGH)",
                      "expected LOW or BOTH"},
        MalformedCase{"AttributeForAnotherEntity", "INSTRUCTION_LENGTH of TINYPLD_Q24",
                      "INSTRUCTION_LENGTH of OTHER", "INSTRUCTION_LENGTH of OTHER",
                      "is given for 'OTHER'"},
        MalformedCase{"AttributeGivenTwice", "attribute INSTRUCTION_CAPTURE",
                      "attribute INSTRUCTION_LENGTH of TINYPLD_Q24 : entity is 6;\n  attribute "
                      "INSTRUCTION_CAPTURE",
                      "entity is 6;\n  attribute INSTRUCTION_CAPTURE", "is given twice"},
        MalformedCase{"NumbersAreNotJoined", "entity is 6;", "entity is 6 & 2;", "entity is 6 & 2;",
                      "only strings can be joined"},
        MalformedCase{"MisspelledKeyword", "attribute INSTRUCTION_CAPTURE",
                      "atribute INSTRUCTION_CAPTURE", "atribute INSTRUCTION_CAPTURE",
                      "expected 'attribute', 'constant', 'use' or 'end'"},
        MalformedCase{"EndNamesAnotherEntity", "end TINYPLD_Q24;", "end OTHER_CHIP;",
                      "end OTHER_CHIP;", "does not close entity TINYPLD_Q24"}),
    [](const testing::TestParamInfo<MalformedCase>& info) { return info.param.name; });

TEST(BsdlReaderTest, ErrorsInsideConcatenatedStringsPointAtTheirColumn) {
  std::string text = FixtureText();
  text.replace(text.find("IOA2:5"), 6, "IOB2:5");
  try {
    ReadBsdlText(text, "broken.bsd");
    FAIL() << "no error";
  } catch (const EBsdlSyntax& e) {
    const size_t lineStart = text.rfind('\n', text.find("IOB2:5")) + 1;
    EXPECT_EQ(e.Column(), static_cast<int>(text.find("IOB2:5") - lineStart) + 1);
  }
}

// Hostile texts end in an error, bounded in time and memory.
TEST(BsdlReaderTest, HostileTextsFailCleanly) {
  const std::string head = "entity E is port (A : in bit);\n";
  const std::string pinMap = "constant P : PIN_MAP_STRING := \"A:1\";\n";
  const std::string cases[] = {
      "",
      "-- only a comment",
      std::string("entity E is\0 end E;", 19),
      "entity E is port (A : in bit_vector(0 to 999999)); constant P : PIN_MAP_STRING := "
      "\"A:(1)\"; end E;",
      "entity E is port (A : in bit_vector(0 to 99999999999)); end E;",
      "entity E is port (A : in bit_vector(5 to 1)); end E;",
      head + pinMap + "attribute INSTRUCTION_LENGTH of E : entity is " + std::string(40, '('),
      head + pinMap +
          "attribute INSTRUCTION_LENGTH of E : entity is 99999999999999999999999; end E;",
      head + pinMap +
          "attribute BOUNDARY_LENGTH of E : entity is 1; attribute BOUNDARY_REGISTER of E : entity "
          "is \"2147483648 (BC_1, A, input, X)\"; end E;",
      head + pinMap +
          "attribute BOUNDARY_LENGTH of E : entity is 1; attribute BOUNDARY_REGISTER of E : entity "
          "is \"0 (BC_1, A, input, X, 0, 1, Z)\" & \"" +
          std::string(10000, '(') + "\"; end E;",
      head + pinMap + "attribute TAP_SCAN_CLOCK of A : signal is (1.0e999, BOTH); end E;",
      head + "end E;",
      "entity E is end F;",
  };
  for (const std::string& text : cases) {
    SCOPED_TRACE(text.substr(0, 80));
    EXPECT_THROW(ReadBsdlText(text, "hostile.bsd"), EBsdlSyntax);
  }
}

std::string Repeated(const std::string& item, size_t times) {
  std::string text;
  for (size_t i = 0; i < times; ++i) text += item;
  return text;
}

// A list longer than what holds it is refused at its first surplus item,
// before the rest becomes objects (each costs far more than its text).
TEST(BsdlReaderTest, OverlongListsAreRefusedAtTheirFirstSurplusItem) {
  struct Case {
    const char* name;
    std::string text;
    const char* message;
  };
  const std::string head = "entity E is ";
  const Case cases[] = {
      {"PinListLongerThanItsPort",
       head + "port (A : in bit_vector(1 to 2)); "
              "constant P : PIN_MAP_STRING := \"A:(1, 2, SURPLUS, 4)\"; end E;",
       "the pin map gives a longer list"},
      {"CellsBeyondTheBoundaryLength",
       head + "attribute BOUNDARY_LENGTH of E : entity is 1; attribute BOUNDARY_REGISTER of E : "
              "entity is \"0 (BC_1, *, internal, X), SURPLUS (BC_1, *, internal, X)\"; end E;",
       "more than 1 cells (the BOUNDARY_LENGTH) are listed"},
      {"TooManyOpcodes",
       head + "attribute INSTRUCTION_OPCODE of E : entity is \"A (" + Repeated("0, ", 65536) +
           "SURPLUS)\"; end E;",
       "more than 65536 opcodes"},
      {"TooManyRegisterEntries",
       head + "attribute REGISTER_ACCESS of E : entity is \"R (" + Repeated("A, ", 65536) +
           "SURPLUS)\"; end E;",
       "more than 65536 register-instruction pairs"},
      {"TooManyPins",
       head + "port (A : in bit_vector(1 to 1000000); B : in bit); constant P : PIN_MAP_STRING "
              ":= \"A:(" + [] {
                std::string pins;
                for (int i = 1; i <= 1'000'000; ++i) pins += (i > 1 ? "," : "") + std::to_string(i);
                return pins;
              }() + "), B:SURPLUS\"; end E;",
       "more than 1000000 pins are mapped"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto surplus = static_cast<int>(c.text.find("SURPLUS"));
    try {
      ReadBsdlText(c.text, "long.bsd");
      ADD_FAILURE() << "no error";
    } catch (const EBsdlSyntax& e) {
      EXPECT_NE(e.Message().find(c.message), std::string::npos) << e.Message().substr(0, 200);
      EXPECT_EQ(e.Line(), 1);
      EXPECT_EQ(e.Column(), surplus + 1);
    }
  }
}

TEST(BsdlReaderTest, MinimalDescriptionsAreAccepted) {
  const auto empty = ReadBsdlText("entity EMPTY is end EMPTY;", "empty.bsd");
  EXPECT_EQ(empty->Name(), "EMPTY");
  EXPECT_TRUE(empty->Pins().empty() && empty->BoundaryCells().empty());
  const auto single = ReadBsdlText(
      "library X; use X.all;\n"
      "entity ONE is port (A : in bit); constant P : PIN_MAP_STRING := \"A:1\";\n"
      "attribute ANY_EXTENSION of ONE : entity is (1, (2, 3)) & garbage <= 5;\n"
      "end entity ONE;",
      "one.bsd");
  ASSERT_EQ(single->Pins().size(), 1u);
  EXPECT_EQ(single->Pins()[0]->PinNumber(), "1");
}

}  // namespace

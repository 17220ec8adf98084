#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "automation/Variant.h"
#include "bsdl/BSDLEntity.h"
#include "bsdl/BoundaryCell.h"
#include "bsdl/InstructionOpCode.h"
#include "bsdl/PinMapping.h"
#include "bsdl/RegisterAssociation.h"
#include "bsdl/ScanPin.h"
#include "tests/unit/bsdl/DispatchCall.h"

namespace {

using namespace bsdl;
using automation::Variant;
using testsupport::CallDispatch;

// A two-pin chip: TDI (no cell) and PL2A with a control cell 0 and a bidir
// cell 1; two opcodes, one register with a missing opcode.
struct SampleChip {
  TBSDLEntity entity;
  TScanPin* tdi = entity.Create<TScanPin>();
  TScanPin* io = entity.Create<TScanPin>();
  TPinMapping* mapping = entity.Create<TPinMapping>();
  TBoundaryCell* control = entity.Create<TBoundaryCell>();
  TBoundaryCell* bidir = entity.Create<TBoundaryCell>();
  TInstructionOpCode* sample = entity.Create<TInstructionOpCode>();
  TInstructionOpCode* bypass = entity.Create<TInstructionOpCode>();
  TRegisterAssociation* boundary = entity.Create<TRegisterAssociation>();

  SampleChip() {
    entity.SetName("CHIP_X");
    entity.SetInstructionLength(8);
    entity.SetIdCode(0x812BA043);
    entity.SetBoundaryLength(2);
    entity.SetInstruction_SAMPLE(0x1C);
    entity.SetScanClockMaxSpeed(25e6);
    entity.SetScanClockHaltMode(eScanClockHaltMode_Both);
    entity.SetConformanceStatement("STD_1149_1_2001");
    entity.SetCompliancePattern("(PROGRAMN) (1)");
    entity.SetDesignWarning("careful");
    entity.SetFilename("chip_x.bsd");
    tdi->SetPinName("TDI");
    tdi->SetPinNumber("B3");
    tdi->SetDirection(eElectricInput);
    tdi->SetKind(eScanPinKind_TDI);
    io->SetPinName("PL2A");
    io->SetPinNumber("A1");
    io->SetDirection(eElectricIO);
    io->SetPinMapping(mapping);
    io->AddBoundaryCell(bidir);
    mapping->SetPinName("PL2A");
    mapping->SetPinNumber("A1");
    mapping->SetScanPin(io);
    control->SetCellNumber(0);
    control->SetCellKind(eCellKind_BC_2);
    control->SetCellFunction(eCellFunction_Control);
    control->SetSafeBit(eBit_1);
    control->SetTargetCell(bidir);
    bidir->SetCellNumber(1);
    bidir->SetCellKind(eCellKind_BC_7);
    bidir->SetPortId("PL2A");
    bidir->SetCellFunction(eCellFunction_BiDir);
    bidir->SetControlCellNumber(0);
    bidir->SetDisableValue(eBit_1);
    bidir->SetDisableResult(eDisableResult_HiZ);
    bidir->SetPin(io);
    bidir->SetControlCell(control);
    sample->SetInstructionName("SAMPLE");
    sample->SetOpCodePattern("00011100");
    bypass->SetInstructionName("BYPASS");
    bypass->SetOpCodePattern("11111111");
    boundary->SetRegisterName("BOUNDARY");
    boundary->AddOpCode(sample);
    boundary->AddInstructionName("PRELOAD");
    entity.AddPin(tdi);
    entity.AddPin(io);
    entity.AddPinMapping(mapping);
    entity.AddBoundaryCell(control);
    entity.AddBoundaryCell(bidir);
    entity.AddInstructionOpCode(sample);
    entity.AddInstructionOpCode(bypass);
    entity.AddRegisterAssociation(boundary);
    entity.SetTAP_TDI(tdi);
  }
};

// What a call answers, as the host sees it. For an object result, `text`
// is the short description of the object, asked through it (503428).
struct Answer {
  DISPID id;
  bool withIndex;  // passes index 0 (as the string "0", which converts)
  VARTYPE type;
  std::string text;
};

std::string ShortDescriptionOf(IDispatch* object) {
  if (!object) return "<none>";
  return automation::ToString(*CallDispatch(object, 503428).result.Raw());
}

void ExpectAnswers(IDispatch* target, const std::vector<Answer>& answers) {
  for (const Answer& answer : answers) {
    SCOPED_TRACE("DISPID " + std::to_string(answer.id));
    const auto outcome = answer.withIndex ? CallDispatch(target, answer.id, {Variant::String("0")})
                                          : CallDispatch(target, answer.id);
    ASSERT_EQ(outcome.status, S_OK);
    ASSERT_EQ(outcome.result.Type(), answer.type);
    if (answer.type == VT_DISPATCH)
      EXPECT_EQ(ShortDescriptionOf(outcome.result.Raw()->pdispVal), answer.text);
    else
      EXPECT_EQ(automation::ToString(*outcome.result.Raw()), answer.text);
  }
}

const std::vector<Answer> kEntityAnswers = {
    {503458, false, VT_BSTR, "CHIP_X"},
    {503459, false, VT_I4, "8"},
    {503460, false, VT_I4, std::to_string(int32_t(0x812BA043))},  // unsigned, bit for bit
    {503461, false, VT_I4, "2"},
    {503462, true, VT_DISPATCH, "TDI(B3)-Input"},
    {503463, true, VT_DISPATCH, ""},  // pin mappings describe as empty text
    {503464, true, VT_DISPATCH, "0   (BC_2      ,*         ,Control   ,1 "},
    {503465, true, VT_DISPATCH, "SAMPLE(00011100)"},
    {503466, true, VT_DISPATCH, "BOUNDARY   (SAMPLE(00011100),PRELOAD(NoOpcode))"},
    {503467, false, VT_I4, "2"},
    {503468, false, VT_I4, "1"},
    {503469, false, VT_I4, "2"},
    {503470, false, VT_I4, "2"},
    {503471, false, VT_I4, "1"},
    {503472, false, VT_DISPATCH, "TDI(B3)-Input"},
    {503473, false, VT_DISPATCH, "<none>"},
    {503474, false, VT_DISPATCH, "<none>"},
    {503475, false, VT_DISPATCH, "<none>"},
    {503476, false, VT_DISPATCH, "<none>"},
    {503477, false, VT_I4, "-1"},  // 0xFFFFFFFF: not set
    {503478, false, VT_I4, "-1"},
    {503479, false, VT_I4, "28"},
    {503480, false, VT_I4, "-1"},
    {503481, false, VT_I4, "-1"},
    {503482, false, VT_I4, "-1"},
    {503483, false, VT_I4, "-1"},
    {503484, false, VT_R8, "25000000"},
    {503485, false, VT_I4, "2"},
    {503486, false, VT_BSTR, "STD_1149_1_2001"},
    {503487, false, VT_BSTR, "(PROGRAMN) (1)"},
    {503488, false, VT_BSTR, "careful"},
    {503489, false, VT_BSTR, "chip_x.bsd"},
};

TEST(BsdlViewsTest, EntityViewAnswersEveryDispId) {
  SampleChip chip;
  ExpectAnswers(chip.entity.GetImpl(), kEntityAnswers);
}

// The driver hands the entity's own dispatch to the host; it forwards.
TEST(BsdlViewsTest, EntityOwnDispatchReachesTheSameOperations) {
  SampleChip chip;
  ExpectAnswers(chip.entity.AsDispatch(), kEntityAnswers);
}

TEST(BsdlViewsTest, ElementViewsAnswerEveryDispId) {
  SampleChip chip;
  const std::vector<Answer> shared = {
      {503427, false, VT_BSTR, " Pin Name:PL2A         Number:A1           IO:I/O"},
      {503428, false, VT_BSTR, "PL2A(A1)-I/O"}};
  ExpectAnswers(chip.io->GetImpl(), shared);
  ExpectAnswers(chip.io->GetImpl(), {
                                        {503490, false, VT_I4, "1"},
                                        {503491, false, VT_BSTR, "PL2A"},
                                        {503492, false, VT_BSTR, "A1"},
                                        {503493, false, VT_I4, "0"},
                                        {503494, false, VT_DISPATCH, ""},
                                        {503495, false, VT_I4, "1"},
                                        {503496, true, VT_DISPATCH, chip.bidir->Description()},
                                        {503497, false, VT_I4, "0"},
                                    });
  ExpectAnswers(chip.mapping->GetImpl(), {
                                             {503498, false, VT_BSTR, "PL2A"},
                                             {503499, false, VT_BSTR, "A1"},
                                             {503500, false, VT_DISPATCH, "PL2A(A1)-I/O"},
                                         });
  ExpectAnswers(chip.bidir->GetImpl(),
                {
                    {503501, false, VT_I4, "1"},
                    {503502, false, VT_I4, "8"},
                    {503503, false, VT_BSTR, "PL2A"},
                    {503504, false, VT_I4, "8"},
                    {503505, false, VT_I4, "3"},
                    {503506, false, VT_I4, "0"},
                    {503507, false, VT_I4, "2"},
                    {503508, false, VT_I4, "1"},
                    {503509, false, VT_DISPATCH, "PL2A(A1)-I/O"},
                    {503510, false, VT_DISPATCH, chip.control->Description()},
                    {503511, false, VT_DISPATCH, "<none>"},
                    {503512, false, VT_I4, "0"},
                });
  ExpectAnswers(chip.control->GetImpl(), {{503511, false, VT_DISPATCH, chip.bidir->Description()}});
  ExpectAnswers(chip.sample->GetImpl(), {
                                            {503513, false, VT_BSTR, "SAMPLE"},
                                            {503514, false, VT_BSTR, "00011100"},
                                        });
  ExpectAnswers(chip.boundary->GetImpl(), {
                                              {503515, false, VT_BSTR, "BOUNDARY"},
                                              {503516, false, VT_I4, "0"},
                                              {503517, false, VT_I4, "2"},
                                              {503518, true, VT_DISPATCH, "SAMPLE(00011100)"},
                                          });
  // Every element view names its entity (503429) by the entity's view.
  for (TBSDLObject* element :
       std::vector<TBSDLObject*>{chip.io, chip.mapping, chip.bidir, chip.sample, chip.boundary}) {
    const auto outcome = CallDispatch(element->GetImpl(), 503429);
    ASSERT_EQ(outcome.result.Type(), VT_DISPATCH);
    EXPECT_EQ(outcome.result.Raw()->pdispVal, chip.entity.GetImpl());
  }
}

// Index getters hand out views; the TAP getters hand out the pin itself,
// which forwards to its views.
TEST(BsdlViewsTest, GettersHandOutViewsExceptTheTapPins) {
  SampleChip chip;
  IDispatch* view = chip.entity.GetImpl();
  EXPECT_EQ(CallDispatch(view, 503462, {Variant::Int(0)}).result.Raw()->pdispVal,
            chip.tdi->GetImpl());
  EXPECT_EQ(CallDispatch(view, 503472).result.Raw()->pdispVal, chip.tdi->AsDispatch());
  EXPECT_EQ(CallDispatch(chip.io->GetImpl(), 503494).result.Raw()->pdispVal,
            chip.mapping->GetImpl());
  // The plain element view comes first, the specific view last.
  ASSERT_EQ(chip.io->Implementators().size(), 2u);
  EXPECT_EQ(chip.io->Implementators().back().dispatch.Get(), chip.io->GetImpl());
}

TEST(BsdlViewsTest, IndexesOutsideTheirListAnswerNoneWithSuccess) {
  SampleChip chip;
  const struct {
    IDispatch* target;
    DISPID id;
    int32_t index;
  } cases[] = {
      {chip.entity.GetImpl(), 503462, -1},
      {chip.entity.GetImpl(), 503462, 2},
      {chip.entity.GetImpl(), 503463, 1},
      {chip.entity.GetImpl(), 503464, 2},
      {chip.entity.GetImpl(), 503465, 2},
      {chip.entity.GetImpl(), 503466, -7},
      {chip.io->GetImpl(), 503496, 1},
      {chip.boundary->GetImpl(), 503518, 2},
      {chip.boundary->GetImpl(), 503518, -1},
      // An entry that names an instruction without an opcode object.
      {chip.boundary->GetImpl(), 503518, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("DISPID " + std::to_string(c.id) + " index " + std::to_string(c.index));
    const auto outcome = CallDispatch(c.target, c.id, {Variant::Int(c.index)});
    EXPECT_EQ(outcome.status, S_OK);
    EXPECT_EQ(outcome.result.Type(), VT_DISPATCH);
    EXPECT_EQ(outcome.result.Raw()->pdispVal, nullptr);
  }
}

TEST(BsdlViewsTest, ServiceNamesOfEachView) {
  SampleChip chip;
  const struct {
    IDispatch* target;
    const char* name;
    bool supported;
  } cases[] = {
      {chip.entity.GetImpl(), "bsdlentity", true},
      {chip.entity.GetImpl(), "BSDLObject", false},
      {chip.entity.AsDispatch(), "BSDLEntity", true},
      {chip.io->GetImpl(), "ScanPin", true},
      {chip.io->GetImpl(), "BSDLObject", true},
      {chip.io->GetImpl(), "bsdlvalueholder", true},
      {chip.io->GetImpl(), "BoundaryCell", false},
      {chip.io->Implementators().front().dispatch.Get(), "BSDLObject", true},
      {chip.io->Implementators().front().dispatch.Get(), "ScanPin", false},
      // The pin's own dispatch implements what its most specific view does.
      {chip.io->AsDispatch(), "ScanPin", true},
      {chip.io->AsDispatch(), "BSDLValueHolder", true},
      {chip.bidir->GetImpl(), "BoundaryCell", true},
      {chip.bidir->GetImpl(), "BSDLValueHolder", true},
      {chip.mapping->GetImpl(), "PinMapping", true},
      {chip.mapping->GetImpl(), "BSDLValueHolder", false},
      {chip.sample->GetImpl(), "InstructionOpCode", true},
      {chip.boundary->GetImpl(), "RegisterAssociation", true},
      {chip.boundary->GetImpl(), "", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto outcome = CallDispatch(c.target, 1023, {Variant::String(c.name)});
    ASSERT_EQ(outcome.status, S_OK);
    ASSERT_EQ(outcome.result.Type(), VT_BOOL);
    EXPECT_EQ(outcome.result.Raw()->boolVal != VARIANT_FALSE, c.supported);
  }
}

TEST(BsdlViewsTest, ValueHolderEntryWritesTheCurrentValue) {
  SampleChip chip;
  EXPECT_EQ(CallDispatch(chip.io->GetImpl(), 509024, {Variant::Int(1)}).status, S_OK);
  EXPECT_EQ(chip.io->CurrentValue(), 1);
  EXPECT_EQ(automation::ToInt32(*CallDispatch(chip.io->GetImpl(), 503497).result.Raw()), 1);

  // Through the model object's own dispatch, and with a numeric string.
  EXPECT_EQ(CallDispatch(chip.bidir->AsDispatch(), 509024, {Variant::String("1")}).status, S_OK);
  EXPECT_EQ(automation::ToInt32(*CallDispatch(chip.bidir->GetImpl(), 503512).result.Raw()), 1);
  EXPECT_EQ(chip.bidir->CurrentValue(), 1);

  // A value that is no number changes nothing; views without the entry
  // do not answer it.
  EXPECT_EQ(CallDispatch(chip.io->GetImpl(), 509024, {Variant::String("high")}).status,
            DISP_E_TYPEMISMATCH);
  EXPECT_EQ(chip.io->CurrentValue(), 1);
  EXPECT_EQ(CallDispatch(chip.mapping->GetImpl(), 509024, {Variant::Int(1)}).status, E_NOTIMPL);
  EXPECT_EQ(CallDispatch(chip.entity.GetImpl(), 509024, {Variant::Int(1)}).status, E_NOTIMPL);
}

TEST(BsdlViewsTest, UnknownDispIdsAreNotImplementedAndLeaveTheResult) {
  SampleChip chip;
  for (IDispatch* target : {chip.entity.GetImpl(), chip.entity.AsDispatch(), chip.io->GetImpl(),
                            chip.io->AsDispatch(), chip.boundary->GetImpl()}) {
    for (DISPID id : {0, 503426, 503430, 503457, 503519, 509023, 509025}) {
      const auto outcome = CallDispatch(target, id);
      EXPECT_EQ(outcome.status, E_NOTIMPL) << id;
      EXPECT_TRUE(outcome.result.IsEmpty());
    }
  }
  // An element view does not answer another element's operations.
  EXPECT_EQ(CallDispatch(chip.io->GetImpl(), 503501).status, E_NOTIMPL);
  EXPECT_EQ(CallDispatch(chip.bidir->GetImpl(), 503490).status, E_NOTIMPL);
}

}  // namespace

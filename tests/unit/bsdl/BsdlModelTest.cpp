#include <gtest/gtest.h>

#include <stdexcept>

#include "bsdl/BSDLEntity.h"
#include "bsdl/BoundaryCell.h"
#include "bsdl/InstructionOpCode.h"
#include "bsdl/PinMapping.h"
#include "bsdl/RegisterAssociation.h"
#include "bsdl/ScanPin.h"
#include "tests/unit/bsdl/DispatchCall.h"

namespace {

using namespace bsdl;

TEST(BsdlModelTest, EntityAndElementsStartWithTheirInitialValues) {
  TBSDLEntity entity;
  EXPECT_EQ(entity.Name(), "");
  EXPECT_EQ(entity.InstructionLength(), 0);
  EXPECT_EQ(entity.IdCode(), 0u);
  EXPECT_EQ(entity.BoundaryLength(), 0);
  EXPECT_EQ(entity.ScanClockMaxSpeed(), 0.0);
  EXPECT_EQ(entity.ScanClockHaltMode(), eScanClockHaltMode_None);
  for (uint32_t opcode :
       {entity.Instruction_BYPASS(), entity.Instruction_EXTEST(), entity.Instruction_SAMPLE(),
        entity.Instruction_IDCODE(), entity.Instruction_USERCODE(), entity.Instruction_CLAMP(),
        entity.Instruction_HIGHZ()})
    EXPECT_EQ(opcode, 0xFFFFFFFFu);
  EXPECT_TRUE(entity.Pins().empty() && entity.PinMappings().empty() &&
              entity.BoundaryCells().empty() && entity.InstructionOpCodes().empty() &&
              entity.RegisterAssociations().empty());
  EXPECT_EQ(entity.TAP_TDI(), nullptr);
  EXPECT_EQ(entity.TAP_TRST(), nullptr);
  EXPECT_TRUE(entity.DesignWarning().empty() && entity.ConformanceStatement().empty() &&
              entity.CompliancePattern().empty() && entity.Filename().empty());

  const TScanPin& pin = *entity.Create<TScanPin>();
  EXPECT_EQ(pin.Direction(), eElectricPassive);
  EXPECT_EQ(pin.Kind(), eScanPinKind_Normal);
  EXPECT_EQ(pin.PinMapping(), nullptr);
  EXPECT_EQ(pin.CurrentValue(), 0);
  EXPECT_TRUE(pin.PinName().empty() && pin.PinNumber().empty() && pin.BoundaryCells().empty());
  EXPECT_EQ(&pin.Entity(), &entity);

  const TBoundaryCell& cell = *entity.Create<TBoundaryCell>();
  EXPECT_EQ(cell.CellNumber(), -1);
  EXPECT_EQ(cell.CellKind(), eCellKind_Undefined);
  EXPECT_EQ(cell.PortId(), "*");
  EXPECT_EQ(cell.SafeBit(), eBit_X);
  EXPECT_EQ(cell.ControlCellNumber(), -1);
  EXPECT_EQ(cell.DisableValue(), eBit_0);
  EXPECT_EQ(cell.DisableResult(), eDisableResult_Undefined);
  EXPECT_EQ(cell.CellFunction(), eCellFunction_Undefined);
  EXPECT_EQ(cell.CurrentValue(), 0);
  EXPECT_TRUE(!cell.Pin() && !cell.ControlCell() && !cell.TargetCell());

  const TRegisterAssociation& association = *entity.Create<TRegisterAssociation>();
  EXPECT_EQ(association.RegisterLength(), 0);
  EXPECT_TRUE(association.InstructionOpCodes().empty());
  const TPinMapping& mapping = *entity.Create<TPinMapping>();
  EXPECT_EQ(mapping.ScanPin(), nullptr);
  // Created elements belong to the entity but join no list by themselves.
  EXPECT_TRUE(entity.Pins().empty() && entity.BoundaryCells().empty());
}

TEST(BsdlModelTest, SettersAndAddersLinkElements) {
  TBSDLEntity entity;
  TScanPin* pin = entity.Create<TScanPin>();
  TPinMapping* mapping = entity.Create<TPinMapping>();
  TBoundaryCell* control = entity.Create<TBoundaryCell>();
  TBoundaryCell* bidir = entity.Create<TBoundaryCell>();
  TInstructionOpCode* clamp = entity.Create<TInstructionOpCode>();
  TRegisterAssociation* bypass = entity.Create<TRegisterAssociation>();

  pin->SetPinMapping(mapping);
  mapping->SetScanPin(pin);
  pin->AddBoundaryCell(bidir);
  bidir->SetPin(pin);
  bidir->SetControlCell(control);
  control->SetTargetCell(bidir);
  clamp->SetInstructionName("CLAMP");
  bypass->AddOpCode(clamp);
  bypass->AddInstructionName("PRIVATE");
  entity.AddPin(pin);
  entity.AddBoundaryCell(control);
  entity.AddBoundaryCell(bidir);
  entity.AddInstructionOpCode(clamp);
  entity.AddRegisterAssociation(bypass);
  entity.SetTAP_TDI(pin);

  EXPECT_EQ(pin->PinMapping()->ScanPin(), pin);
  EXPECT_EQ(pin->BoundaryCells(), (std::vector<TBoundaryCell*>{bidir}));
  EXPECT_EQ(bidir->ControlCell()->TargetCell(), bidir);
  ASSERT_EQ(bypass->InstructionOpCodes().size(), 2u);
  EXPECT_EQ(bypass->InstructionOpCodes()[0].instructionName, "CLAMP");
  EXPECT_EQ(bypass->InstructionOpCodes()[0].opCode, clamp);
  EXPECT_EQ(bypass->InstructionOpCodes()[1].opCode, nullptr);
  EXPECT_EQ(entity.BoundaryCells(), (std::vector<TBoundaryCell*>{control, bidir}));
  EXPECT_EQ(entity.TAP_TDI(), pin);
}

// A link into another entity would dangle once that entity is freed, and a
// missing element would be dereferenced later by the views.
TEST(BsdlModelTest, LinksToForeignOrMissingElementsAreRefused) {
  TBSDLEntity entity, other;
  TScanPin* pin = entity.Create<TScanPin>();
  TBoundaryCell* foreignCell = other.Create<TBoundaryCell>();
  TScanPin* foreignPin = other.Create<TScanPin>();
  EXPECT_THROW(pin->AddBoundaryCell(foreignCell), std::invalid_argument);
  EXPECT_THROW(pin->AddBoundaryCell(nullptr), std::invalid_argument);
  EXPECT_THROW(entity.Create<TBoundaryCell>()->SetPin(foreignPin), std::invalid_argument);
  EXPECT_THROW(entity.AddPin(foreignPin), std::invalid_argument);
  EXPECT_THROW(entity.AddPin(nullptr), std::invalid_argument);
  EXPECT_THROW(entity.SetTAP_TCK(foreignPin), std::invalid_argument);
  EXPECT_THROW(entity.Create<TRegisterAssociation>()->AddOpCode(nullptr), std::invalid_argument);
  EXPECT_TRUE(entity.Pins().empty());
  entity.SetTAP_TCK(nullptr);  // clearing a link is fine
}

struct CellCase {
  const char* name;
  int32_t number;
  TCellKind kind;
  const char* port;
  TCellFunction function;
  TBitValue safe;
  int32_t controlNumber;
  TBitValue disableValue;
  TDisableResult disableResult;
  const char* pinName;  // null: no pin
  const char* expected;
};

class BsdlCellDescriptionTest : public testing::TestWithParam<CellCase> {};

TEST_P(BsdlCellDescriptionTest, LongAndShortTextsAreTheListingLine) {
  const CellCase& c = GetParam();
  TBSDLEntity entity;
  TBoundaryCell* cell = entity.Create<TBoundaryCell>();
  cell->SetCellNumber(c.number);
  cell->SetCellKind(c.kind);
  cell->SetPortId(c.port);
  cell->SetCellFunction(c.function);
  cell->SetSafeBit(c.safe);
  cell->SetControlCellNumber(c.controlNumber);
  cell->SetDisableValue(c.disableValue);
  cell->SetDisableResult(c.disableResult);
  if (c.pinName) {
    TScanPin* pin = entity.Create<TScanPin>();
    pin->SetPinName(c.pinName);
    pin->SetPinNumber("A1");
    cell->SetPin(pin);
  }
  EXPECT_EQ(cell->Description(), c.expected);
  EXPECT_EQ(cell->ShortDescription(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cells, BsdlCellDescriptionTest,
    testing::Values(
        CellCase{"ControlCellShowsNoControlPart", 0, eCellKind_BC_2, "*", eCellFunction_Control,
                 eBit_1, -1, eBit_0, eDisableResult_Undefined, nullptr,
                 "0   (BC_2      ,*         ,Control   ,1 "},
        CellCase{"BidirCellShowsControlAndPin", 1, eCellKind_BC_7, "PL2A", eCellFunction_BiDir,
                 eBit_X, 0, eBit_1, eDisableResult_HiZ, "PL2A",
                 "1   (BC_7      ,PL2A      ,BiDir     ,X ,0   ,1 ,Z         , Pin:PL2A"},
        // A pin shows only together with a control cell.
        CellCase{"InputCellHidesItsPin", 12, eCellKind_BC_1, "PB3", eCellFunction_Input, eBit_X, -1,
                 eBit_0, eDisableResult_Undefined, "PB3",
                 "12  (BC_1      ,PB3       ,Input     ,X "},
        CellCase{"ControlledCellWithoutPinEndsAtComma", 7, eCellKind_BC_1, "*",
                 eCellFunction_Output3, eBit_0, 6, eBit_0, eDisableResult_Pull1, nullptr,
                 "7   (BC_1      ,*         ,Output3   ,0 ,6   ,0 ,Pull1     ,"},
        // Long texts are not cut.
        CellCase{"LongTextsStayWhole", 12345, eCellKind_BC_10, "VERY_LONG_PORT",
                 eCellFunction_ObserveOnly, eBit_Undefined, 10000, eBit_X, eDisableResult_Keeper,
                 "VERY_LONG_PORT",
                 "12345(BC_10     ,VERY_LONG_PORT,ObserveOnly,  ,10000,X ,Keeper    , "
                 "Pin:VERY_LONG_PORT"}),
    [](const testing::TestParamInfo<CellCase>& info) { return info.param.name; });

TEST(BsdlModelTest, PinOpcodeRegisterAndPlainDescriptions) {
  TBSDLEntity entity;
  TScanPin* pin = entity.Create<TScanPin>();
  pin->SetPinName("PL2A");
  pin->SetPinNumber("A1");
  pin->SetDirection(eElectricIO);
  EXPECT_EQ(pin->Description(), " Pin Name:PL2A         Number:A1           IO:I/O");
  EXPECT_EQ(pin->ShortDescription(), "PL2A(A1)-I/O");
  pin->SetDirection(eElectricOpenCollector);
  EXPECT_EQ(pin->ShortDescription(), "PL2A(A1)-Open Collector");

  auto opcode = [&](const char* name, const char* pattern) {
    TInstructionOpCode* op = entity.Create<TInstructionOpCode>();
    op->SetInstructionName(name);
    op->SetOpCodePattern(pattern);
    return op;
  };
  TInstructionOpCode* clamp = opcode("CLAMP", "01111000");
  EXPECT_EQ(clamp->Description(), "CLAMP(01111000)");
  EXPECT_EQ(clamp->ShortDescription(), "CLAMP(01111000)");

  TRegisterAssociation* bypass = entity.Create<TRegisterAssociation>();
  bypass->SetRegisterName("BYPASS");
  bypass->AddOpCode(clamp);
  bypass->AddOpCode(opcode("HIGHZ", "00011000"));
  bypass->AddOpCode(opcode("BYPASS", "11111111"));
  EXPECT_EQ(bypass->Description(), "BYPASS     (CLAMP(01111000),HIGHZ(00011000),BYPASS(11111111))");
  EXPECT_EQ(bypass->ShortDescription(), bypass->Description());

  TRegisterAssociation* data = entity.Create<TRegisterAssociation>();
  data->SetRegisterName("ISC_DATA");
  data->SetRegisterLength(504);
  data->AddOpCode(opcode("ISC_DATA_SHIFT", "00001010"));
  data->AddInstructionName("VENDOR_ONLY");
  EXPECT_EQ(data->Description(),
            "ISC_DATA  [504] (ISC_DATA_SHIFT(00001010),VENDOR_ONLY(NoOpcode))");

  TPinMapping* mapping = entity.Create<TPinMapping>();
  mapping->SetPinName("PL2A");
  EXPECT_EQ(mapping->Description(), "");
  EXPECT_EQ(mapping->ShortDescription(), "");
}

// An enumeration byte outside its range (a mis-filled table) must not read
// past the name tables.
TEST(BsdlModelTest, OutOfRangeEnumerationsDescribeAsEmptyNames) {
  TBSDLEntity entity;
  TScanPin* pin = entity.Create<TScanPin>();
  pin->SetPinName("P");
  pin->SetPinNumber("1");
  pin->SetDirection(static_cast<TPinElectrical>(200));
  EXPECT_EQ(pin->ShortDescription(), "P(1)-");
  TBoundaryCell* cell = entity.Create<TBoundaryCell>();
  cell->SetCellNumber(0);
  cell->SetCellKind(static_cast<TCellKind>(99));
  cell->SetCellFunction(static_cast<TCellFunction>(99));
  EXPECT_EQ(cell->Description(), "0   (          ,*         ,          ,X ");
}

TEST(BsdlModelTest, ModelObjectsAreNotCounted) {
  TBSDLEntity entity;
  TScanPin* pin = entity.Create<TScanPin>();
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(pin->AddRef(), 0u);
    EXPECT_EQ(pin->Release(), 0u);
    EXPECT_EQ(entity.Release(), 0u);
  }
  IDispatch* dispatch = nullptr;
  EXPECT_EQ(pin->QueryInterface(automation::kIID_IDispatch, reinterpret_cast<void**>(&dispatch)),
            S_OK);
  EXPECT_EQ(dispatch, pin->AsDispatch());
  void* other = nullptr;
  const GUID unknownIid{0x12345678, 1, 2, {3, 4, 5, 6, 7, 8, 9, 10}};
  EXPECT_EQ(pin->QueryInterface(unknownIid, &other), E_NOINTERFACE);
  EXPECT_EQ(other, nullptr);
}

// The host may still hold a view when the driver frees the entity; the view
// must then fail its calls instead of reading freed objects.
TEST(BsdlModelTest, ViewsOutlivingTheirModelFailInsteadOfReadingFreedMemory) {
  automation::ComPtr<IDispatch> pinView, entityView;
  {
    TBSDLEntity entity;
    TScanPin* pin = entity.Create<TScanPin>();
    pin->SetPinName("PL2A");
    pinView = automation::ComPtr<IDispatch>(pin->GetImpl());
    entityView = automation::ComPtr<IDispatch>(entity.GetImpl());
    EXPECT_EQ(testsupport::CallDispatch(pinView.Get(), 503491).status, S_OK);
  }
  EXPECT_EQ(testsupport::CallDispatch(pinView.Get(), 503491).status, DISP_E_EXCEPTION);
  EXPECT_EQ(testsupport::CallDispatch(pinView.Get(), 509024, {automation::Variant::Int(1)}).status,
            DISP_E_EXCEPTION);
  EXPECT_EQ(testsupport::CallDispatch(entityView.Get(), 503467).status, DISP_E_EXCEPTION);
}

}  // namespace

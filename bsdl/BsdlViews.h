// The host-facing views of the boundary-scan model: counted dispatch
// objects that read the model object they wrap (`Ex`). A model object owns
// its views; when it goes, its views forget it, and a view the host still
// holds then fails every operation instead of reading freed memory.
//
// Index getters answer none (and success) for an index outside their list;
// reference getters answer the most specific view of the target, except the
// entity's TAP pin getters, which hand out the scan pin's own dispatch.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "bsdl/BSDLEntity.h"
#include "bsdl/BSDLObject.h"
#include "bsdl/BoundaryCell.h"
#include "bsdl/BsdlAbstractViews.h"
#include "bsdl/InstructionOpCode.h"
#include "bsdl/PinMapping.h"
#include "bsdl/RegisterAssociation.h"
#include "bsdl/ScanPin.h"

namespace bsdl {

template <class Model>
class TViewOf : public TViewLink {
 public:
  explicit TViewOf(Model& model) : Ex(&model) {}
  void Unlink() override { Ex = nullptr; }

 protected:
  Model& Source() const {
    if (!Ex) throw std::runtime_error("the boundary-scan object behind this view has been freed");
    return *Ex;
  }

 private:
  Model* Ex;
};

// The operations every element view shares.
template <class Abstract, class Model>
class TElementView : public Abstract, public TViewOf<Model> {
 public:
  explicit TElementView(Model& model) : TViewOf<Model>(model) {}

  std::string GetDescription() override { return this->Source().Description(); }
  std::string GetShortDescription() override { return this->Source().ShortDescription(); }
  ComPtr<IDispatch> GetEntity() override {
    return ComPtr<IDispatch>(this->Source().Entity().GetImpl());
  }
};

class TBSDLObject_Impl : public TElementView<TAbstractBSDLObject, TBSDLObject> {
 public:
  using TElementView::TElementView;
};

class TScanPin_Impl : public TElementView<TAbstractScanPin, TScanPin> {
 public:
  using TElementView::TElementView;

  // Also the value-holder entry (DISPID 509024).
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags,
                                   DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo,
                                   UINT* argErr) override;
  bool SupportsServiceName(const std::string& name) override;
  void SetCurrentValue(int32_t value) { Source().SetCurrentValue(value); }

  uint8_t GetDirection() override { return Source().Direction(); }
  std::string GetPinName() override { return Source().PinName(); }
  std::string GetPinNumber() override { return Source().PinNumber(); }
  uint8_t GetKind() override { return Source().Kind(); }
  ComPtr<IDispatch> GetPinMapping() override;
  int32_t GetBoundaryCellCount() override;
  ComPtr<IDispatch> GetBoundaryCell(int32_t index) override;
  int32_t GetCurrentValue() override { return Source().CurrentValue(); }
};

class TPinMapping_Impl : public TElementView<TAbstractPinMapping, TPinMapping> {
 public:
  using TElementView::TElementView;

  std::string GetPinName() override { return Source().PinName(); }
  std::string GetPinNumber() override { return Source().PinNumber(); }
  ComPtr<IDispatch> GetScanPin() override;
};

class TBoundaryCell_Impl : public TElementView<TAbstractBoundaryCell, TBoundaryCell> {
 public:
  using TElementView::TElementView;

  // Also the value-holder entry (DISPID 509024).
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags,
                                   DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo,
                                   UINT* argErr) override;
  bool SupportsServiceName(const std::string& name) override;
  void SetCurrentValue(int32_t value) { Source().SetCurrentValue(value); }

  int32_t GetCellNumber() override { return Source().CellNumber(); }
  uint8_t GetCellKind() override { return Source().CellKind(); }
  std::string GetPortId() override { return Source().PortId(); }
  uint8_t GetCellFunction() override { return Source().CellFunction(); }
  uint8_t GetSafeBit() override { return Source().SafeBit(); }
  int32_t GetControlCellNumber() override { return Source().ControlCellNumber(); }
  uint8_t GetDisableValue() override { return Source().DisableValue(); }
  uint8_t GetDisableResult() override { return Source().DisableResult(); }
  ComPtr<IDispatch> GetPin() override;
  ComPtr<IDispatch> GetControlCell() override;
  ComPtr<IDispatch> GetTargetCell() override;
  int32_t GetCurrentValue() override { return Source().CurrentValue(); }
};

class TInstructionOpCode_Impl
    : public TElementView<TAbstractInstructionOpCode, TInstructionOpCode> {
 public:
  using TElementView::TElementView;

  std::string GetInstructionName() override { return Source().InstructionName(); }
  std::string GetOpCodePattern() override { return Source().OpCodePattern(); }
};

class TRegisterAssociation_Impl
    : public TElementView<TAbstractRegisterAssociation, TRegisterAssociation> {
 public:
  using TElementView::TElementView;

  std::string GetRegisterName() override { return Source().RegisterName(); }
  int32_t GetRegisterLength() override { return Source().RegisterLength(); }
  int32_t GetInstructionOpcodeCount() override;
  ComPtr<IDispatch> GetInstructionOpcode(int32_t index) override;
};

class TBSDLEntity_Impl : public TAbstractBSDLEntity, public TViewOf<TBSDLEntity> {
 public:
  explicit TBSDLEntity_Impl(TBSDLEntity& entity) : TViewOf(entity) {}

  std::string GetName() override { return Source().Name(); }
  int32_t GetInstructionLength() override { return Source().InstructionLength(); }
  uint32_t GetIdCode() override { return Source().IdCode(); }
  int32_t GetBoundaryLength() override { return Source().BoundaryLength(); }
  ComPtr<IDispatch> GetPin(int32_t index) override;
  ComPtr<IDispatch> GetPinMapping(int32_t index) override;
  ComPtr<IDispatch> GetBoundaryCell(int32_t index) override;
  ComPtr<IDispatch> GetInstructionOpcode(int32_t index) override;
  ComPtr<IDispatch> GetRegisterAssociation(int32_t index) override;
  int32_t GetPinCount() override;
  int32_t GetPinMappingCount() override;
  int32_t GetBoundaryCellCount() override;
  int32_t GetInstructionOpcodeCount() override;
  int32_t GetRegisterAssociationCount() override;
  ComPtr<IDispatch> GetPin_TDI() override;
  ComPtr<IDispatch> GetPin_TDO() override;
  ComPtr<IDispatch> GetPin_TMS() override;
  ComPtr<IDispatch> GetPin_TCK() override;
  ComPtr<IDispatch> GetPin_TRST() override;
  uint32_t GetInstruction_BYPASS() override { return Source().Instruction_BYPASS(); }
  uint32_t GetInstruction_EXTEST() override { return Source().Instruction_EXTEST(); }
  uint32_t GetInstruction_SAMPLE() override { return Source().Instruction_SAMPLE(); }
  uint32_t GetInstruction_IDCODE() override { return Source().Instruction_IDCODE(); }
  uint32_t GetInstruction_USERCODE() override { return Source().Instruction_USERCODE(); }
  uint32_t GetInstruction_CLAMP() override { return Source().Instruction_CLAMP(); }
  uint32_t GetInstruction_HIGHZ() override { return Source().Instruction_HIGHZ(); }
  double GetScanClockMaxSpeed() override { return Source().ScanClockMaxSpeed(); }
  uint8_t GetScanClockHaltMode() override { return Source().ScanClockHaltMode(); }
  std::string GetConformanceStatement() override { return Source().ConformanceStatement(); }
  std::string GetCompliancePattern() override { return Source().CompliancePattern(); }
  std::string GetDesignWarning() override { return Source().DesignWarning(); }
  std::string GetFilename() override { return Source().Filename(); }
};

}  // namespace bsdl

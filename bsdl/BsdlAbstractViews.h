// The host SDK's abstract classes for the boundary-scan dispatch
// interfaces. Each routes its own DISPIDs to its operations' virtual
// entries and passes every other DISPID to its parent; each answers its own
// service name besides its parent's.
//
//   TAbstractSupportService
//   ├── TAbstractBSDLEntity          "BSDLEntity"   503458..503489
//   └── TAbstractBSDLObject          "BSDLObject"   503427..503429
//       ├── TAbstractScanPin         "ScanPin"      503490..503497
//       ├── TAbstractPinMapping      "PinMapping"   503498..503500
//       ├── TAbstractBoundaryCell    "BoundaryCell" 503501..503512
//       ├── TAbstractInstructionOpCode "InstructionOpCode" 503513..503514
//       └── TAbstractRegisterAssociation "RegisterAssociation" 503515..503518
//
// Enumerations travel as their byte value, opcodes and the IDCODE as
// unsigned 32-bit values, references as dispatch interfaces (null for
// none).
#pragma once

#include <cstdint>
#include <string>

#include "automation/ComPtr.h"
#include "plugin/SupportService.h"

namespace bsdl {

using automation::ComPtr;

class TAbstractBSDLEntity : public plugin::TAbstractSupportService {
 public:
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags,
                                   DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo,
                                   UINT* argErr) override;
  bool SupportsServiceName(const std::string& name) override;

  virtual std::string GetName() = 0;
  virtual int32_t GetInstructionLength() = 0;
  virtual uint32_t GetIdCode() = 0;
  virtual int32_t GetBoundaryLength() = 0;
  virtual ComPtr<IDispatch> GetPin(int32_t index) = 0;
  virtual ComPtr<IDispatch> GetPinMapping(int32_t index) = 0;
  virtual ComPtr<IDispatch> GetBoundaryCell(int32_t index) = 0;
  virtual ComPtr<IDispatch> GetInstructionOpcode(int32_t index) = 0;
  virtual ComPtr<IDispatch> GetRegisterAssociation(int32_t index) = 0;
  virtual int32_t GetPinCount() = 0;
  virtual int32_t GetPinMappingCount() = 0;
  virtual int32_t GetBoundaryCellCount() = 0;
  virtual int32_t GetInstructionOpcodeCount() = 0;
  virtual int32_t GetRegisterAssociationCount() = 0;
  virtual ComPtr<IDispatch> GetPin_TDI() = 0;
  virtual ComPtr<IDispatch> GetPin_TDO() = 0;
  virtual ComPtr<IDispatch> GetPin_TMS() = 0;
  virtual ComPtr<IDispatch> GetPin_TCK() = 0;
  virtual ComPtr<IDispatch> GetPin_TRST() = 0;
  virtual uint32_t GetInstruction_BYPASS() = 0;
  virtual uint32_t GetInstruction_EXTEST() = 0;
  virtual uint32_t GetInstruction_SAMPLE() = 0;
  virtual uint32_t GetInstruction_IDCODE() = 0;
  virtual uint32_t GetInstruction_USERCODE() = 0;
  virtual uint32_t GetInstruction_CLAMP() = 0;
  virtual uint32_t GetInstruction_HIGHZ() = 0;
  virtual double GetScanClockMaxSpeed() = 0;
  virtual uint8_t GetScanClockHaltMode() = 0;
  virtual std::string GetConformanceStatement() = 0;
  virtual std::string GetCompliancePattern() = 0;
  virtual std::string GetDesignWarning() = 0;
  virtual std::string GetFilename() = 0;
};

class TAbstractBSDLObject : public plugin::TAbstractSupportService {
 public:
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags,
                                   DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo,
                                   UINT* argErr) override;
  bool SupportsServiceName(const std::string& name) override;

  virtual std::string GetDescription() = 0;
  virtual std::string GetShortDescription() = 0;
  // The owning entity's IBSDLEntity.
  virtual ComPtr<IDispatch> GetEntity() = 0;
};

class TAbstractScanPin : public TAbstractBSDLObject {
 public:
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags,
                                   DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo,
                                   UINT* argErr) override;
  bool SupportsServiceName(const std::string& name) override;

  virtual uint8_t GetDirection() = 0;
  virtual std::string GetPinName() = 0;
  virtual std::string GetPinNumber() = 0;
  virtual uint8_t GetKind() = 0;
  virtual ComPtr<IDispatch> GetPinMapping() = 0;
  virtual int32_t GetBoundaryCellCount() = 0;
  virtual ComPtr<IDispatch> GetBoundaryCell(int32_t index) = 0;
  virtual int32_t GetCurrentValue() = 0;
};

class TAbstractPinMapping : public TAbstractBSDLObject {
 public:
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags,
                                   DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo,
                                   UINT* argErr) override;
  bool SupportsServiceName(const std::string& name) override;

  virtual std::string GetPinName() = 0;
  virtual std::string GetPinNumber() = 0;
  virtual ComPtr<IDispatch> GetScanPin() = 0;
};

class TAbstractBoundaryCell : public TAbstractBSDLObject {
 public:
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags,
                                   DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo,
                                   UINT* argErr) override;
  bool SupportsServiceName(const std::string& name) override;

  virtual int32_t GetCellNumber() = 0;
  virtual uint8_t GetCellKind() = 0;
  virtual std::string GetPortId() = 0;
  virtual uint8_t GetCellFunction() = 0;
  virtual uint8_t GetSafeBit() = 0;
  virtual int32_t GetControlCellNumber() = 0;
  virtual uint8_t GetDisableValue() = 0;
  virtual uint8_t GetDisableResult() = 0;
  virtual ComPtr<IDispatch> GetPin() = 0;
  virtual ComPtr<IDispatch> GetControlCell() = 0;
  virtual ComPtr<IDispatch> GetTargetCell() = 0;
  virtual int32_t GetCurrentValue() = 0;
};

class TAbstractInstructionOpCode : public TAbstractBSDLObject {
 public:
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags,
                                   DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo,
                                   UINT* argErr) override;
  bool SupportsServiceName(const std::string& name) override;

  virtual std::string GetInstructionName() = 0;
  virtual std::string GetOpCodePattern() = 0;
};

class TAbstractRegisterAssociation : public TAbstractBSDLObject {
 public:
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags,
                                   DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo,
                                   UINT* argErr) override;
  bool SupportsServiceName(const std::string& name) override;

  virtual std::string GetRegisterName() = 0;
  virtual int32_t GetRegisterLength() = 0;
  virtual int32_t GetInstructionOpcodeCount() = 0;
  virtual ComPtr<IDispatch> GetInstructionOpcode(int32_t index) = 0;
};

}  // namespace bsdl

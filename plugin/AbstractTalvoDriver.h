// The driver block of the host's driver dispatch interface: DISPIDs
// 503753..503822 in declaration order, then eight operations with DISPIDs
// of their own (508552 ... 509981).
#pragma once

#include <cstdint>
#include <string>

#include "plugin/AbstractDeviceInformation.h"

namespace plugin {

class TAbstractTalvoDriver : public TAbstractDeviceInformation {
 public:
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags,
                                   DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo,
                                   UINT* argErr) override;
  bool SupportsServiceName(const std::string& name) override;

  virtual ComPtr<IDispatch> GetTalvoDevice() = 0;
  virtual bool SetTalvoDevice(IDispatch* device) = 0;
  virtual bool Finalize() = 0;
  virtual uint32_t GetBitmapHandle() = 0;
  virtual bool SaveProcessorState() = 0;
  virtual bool RestoreProcessorState() = 0;
  virtual void CreateRackViewer() = 0;
  virtual ComPtr<IDispatch> GetRackViewer() = 0;
  virtual bool Supports(const std::string& text) = 0;
  virtual void ShowAboutDialog() = 0;
  virtual std::string VendorToolsDescriptor() = 0;
  virtual bool VendorToolsPresent() = 0;
  virtual bool VendorToolsUpToDate() = 0;
  // `value` arrives as a 64-bit integer of which the low 32 bits are used.
  virtual bool SetProcessorRegisterValue(int32_t index, uint32_t value) = 0;
  virtual uint32_t GetProcessorRegisterValue(int32_t index) = 0;
  virtual uint32_t GetProcessorRegisterWidth(int32_t index) = 0;
  virtual std::string GetProcessorRegisterName(int32_t index) = 0;
  virtual std::string GetProcessorRegisterShortName(int32_t index) = 0;
  virtual int32_t GetProcessorRegisterCount() = 0;
  virtual int32_t GetRegisterIndex_PC() = 0;
  virtual int32_t GetRegisterIndex_SP() = 0;
  virtual int32_t GetSoftBreakpointAddressByteAlign() = 0;
  virtual uint32_t GetMemorySpaceWidth(int32_t index) = 0;
  virtual uint8_t GetMemorySpaceKind(int32_t index) = 0;
  virtual uint32_t GetMemorySpaceBytesPerUnit(int32_t index) = 0;
  virtual std::string GetMemorySpaceName(int32_t index) = 0;
  virtual std::string GetMemorySpaceShortName(int32_t index) = 0;
  virtual int32_t GetMemorySpaceCount() = 0;
  virtual int32_t GetMemorySpace_Program() = 0;
  virtual bool InitDownload(int32_t index) = 0;
  virtual bool FinishDownload(int32_t index) = 0;
  virtual bool RunDiagnostic() = 0;
  virtual bool LittleEndian() = 0;
  virtual bool ResetDevice() = 0;
  virtual uint8_t GetDeviceState() = 0;
  virtual int32_t ProgramDevice(const std::string& fileName) = 0;
  virtual uint32_t ReadUserCode() = 0;
  virtual ComPtr<IDispatch> FlowStage_Build() = 0;
  virtual ComPtr<IDispatch> FlowStage_Download() = 0;
  virtual std::string CoreGen_OutputExtension() = 0;
  virtual void ResetTalvoRegisters() = 0;
  virtual void SingleStepProcessor() = 0;
  virtual void RunSingleStepInSubstitutionRegister() = 0;
  virtual void ResetProcessor() = 0;
  virtual void PauseProcessor() = 0;
  virtual void ContinueProcessor() = 0;
  virtual void RunSteps(int32_t count) = 0;
  virtual bool ProcessorIsPaused() = 0;
  virtual bool ProcessorIsReset() = 0;
  virtual bool ProcessorIsRunning() = 0;
  virtual bool ProcessorIsUsingReducedInstructionSet() = 0;
  virtual bool Flash_Reset() = 0;
  virtual int32_t Flash_Program(const std::string& fileName) = 0;
  virtual void Flash_Configure() = 0;
  virtual bool SetProcessorRegisterWideValue(int32_t index, const std::string& value) = 0;
  virtual std::string GetProcessorRegisterWideValue(int32_t index) = 0;
  virtual bool ConfigureFpgaProject(IDispatch* project) = 0;
  virtual bool ShowConfiguration() = 0;
  virtual void ShowCurrentSensePanel() = 0;
  virtual void ReleaseResources() = 0;
  virtual bool InvalidateResources() = 0;
  virtual void CustomAction_Execute(int32_t index) = 0;
  // Flags and texts are in/out; the dispatcher writes them back through the
  // caller's references.
  virtual void CustomAction_GetState(int32_t index, int32_t& flag1, int32_t& flag2,
                                     int32_t& flag3, std::string& text1, std::string& text2) = 0;
  virtual bool EPM_Download(const std::string& text1, const std::string& text2,
                            const std::string& text3) = 0;
  virtual bool EPM_InititateTest() = 0;
  virtual int32_t EPM_GetTestResult(int32_t index) = 0;
  virtual void EPM_SetPercentCallBack(IDispatch* callback) = 0;
  virtual bool Flash_ResetForBitStream() = 0;
  virtual std::string GetEmbeddedConstraintFile() = 0;
  virtual void SetEmbeddedConstraintFile(const std::string& fileName) = 0;
  virtual uint32_t AddSoftBreakpoint(int32_t memorySpace, int64_t address) = 0;
  // `handle` arrives as a 64-bit integer of which the low 32 bits are used.
  virtual bool RemoveSoftBreakpoint(int32_t memorySpace, int64_t address, uint32_t handle) = 0;
  virtual int64_t GetMemorySpaceLength(int32_t memorySpace) = 0;
  virtual std::string GetFolder_Library() = 0;
  virtual ComPtr<IDispatch> ClockCoreGenerator() = 0;
  virtual ComPtr<IDispatch> ClockCoreTemplateGenerator() = 0;
  virtual ComPtr<IDispatch> ClockGeneratorTargetCore() = 0;
  virtual ComPtr<IDispatch> CustomCoreGenerator(int32_t index) = 0;
};

}  // namespace plugin

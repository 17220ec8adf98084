// The framework driver every chip driver of the host's chain derives from.
// It answers every driver operation with a default, so a family driver
// overrides only what its chips need, and holds the state the defaults
// share: the bound chain device, the cached device image, the rack viewer,
// the cached flows, a custom constraint file and the shadow of the chain
// device's 8-bit debug control register.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "hostsdk/BitmapHandle.h"
#include "jtag/JTagChannel.h"
#include "plugin/AbstractTalvoDriver.h"
#include "plugin/RackForm.h"

namespace plugin {

// Bits of the debug control register.
enum ControlRegisterBit : uint8_t {
  kDebuggerProgramSelect = 0,
  kDebugStep = 1,
  kDebugRequest = 2,
  kDebugAcknowledge = 3,
  kDebugEnable = 4,
  kReset = 5,
  kStepCounterBreakpointEnable = 7,
};

// Flow kinds of the flow factory.
enum TFlowKind : int32_t { kFlowKind_Build = 0, kFlowKind_Download = 1 };

class TTalvoDriver : public TAbstractTalvoDriver {
 public:
  explicit TTalvoDriver(const std::string& coreExt);
  ~TTalvoDriver() override;

  // Drivers live until the process ends: references are not counted.
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(-1); }
  ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(-1); }

  // Device information.
  uint32_t GetIdCode() override { return 0; }
  std::string GetDeviceName() override { return "Generic Talvo Device"; }
  std::string GetDeviceDescription() override { return GetDeviceName(); }
  std::string GetFamilyName() override { return {}; }
  std::string GetFamilyDescription() override { return {}; }
  std::string GetLibraryName() override { return {}; }
  std::string GetVendorPrimitiveLibraryName() override { return {}; }
  std::string GetBaseName() override { return {}; }
  int32_t GetEquivalentGatesForBase() override { return -1; }
  int32_t GetMaxIOForBase() override { return -1; }
  std::string GetPackageTypeId() override { return "Generic"; }
  std::string GetPackageTypeName() override { return "Generic"; }
  std::string GetPackageTypeDescription() override { return "Un-Classified Packages"; }
  std::string GetPackageId() override { return {}; }
  std::string GetPackageName() override { return {}; }
  std::string GetPackageDescription() override { return {}; }
  std::string GetPackageDimensions() override { return "? x ? mm"; }
  std::string GetTemperatureGradeId() override { return {}; }
  std::string GetTemperatureGradeName() override { return {}; }
  std::string GetTemperatureGradeDescription() override { return {}; }
  std::string GetSpeedGradeId() override { return {}; }
  std::string GetSpeedGradeName() override { return {}; }
  std::string GetSpeedGradeDescription() override { return {}; }
  std::string GetOptionDesignatorId() override { return {}; }
  std::string GetOptionDesignatorName() override { return {}; }
  std::string GetOptionDesignatorDescription() override { return {}; }
  std::string GetBSDLFilename() override { return {}; }
  ComPtr<IDispatch> GetBSDLEntity() override { return nullptr; }
  std::string GetVendorName() override { return {}; }
  int32_t GetInstructionLength() override { return 4; }
  int32_t GetDevicePinCount() override { return 0; }
  int32_t GetDeviceIOCount() override { return -1; }
  ComPtr<IDispatch> GetDevicePin(int32_t) override { return nullptr; }
  std::string GetDownloadFileExtensions() override { return {}; }
  int32_t GetDSPMultiplierCount() override { return -1; }
  int32_t GetClockManagerCount() override { return -1; }
  int32_t GetMemorySize() override { return -1; }
  bool GetTerminationSupport() override { return false; }
  int32_t GetGlobalClockCount() override { return -1; }
  int32_t GetConfigMemorySize() override { return -1; }
  int32_t GetDiffPairCount() override { return -1; }
  int32_t GetHighSpeedDiffPairCount() override { return -1; }
  int32_t GetIOStandardCount() override { return 0; }
  ComPtr<IDispatch> GetIOStandard(int32_t) override { return nullptr; }
  std::string GetDeviceDisplayName() override { return GetDeviceName(); }
  std::string GetDeviceParameter(const std::string&) override { return {}; }

  // Driver block.
  ComPtr<IDispatch> GetTalvoDevice() override { return FTalvoDevice; }
  bool SetTalvoDevice(IDispatch* device) override;
  bool Finalize() override { return false; }
  uint32_t GetBitmapHandle() override;
  bool SaveProcessorState() override { return false; }
  bool RestoreProcessorState() override { return false; }
  void CreateRackViewer() override;
  ComPtr<IDispatch> GetRackViewer() override { return FRackView; }
  bool Supports(const std::string& text) override;
  void ShowAboutDialog() override {}
  std::string VendorToolsDescriptor() override;
  bool VendorToolsPresent() override;
  bool VendorToolsUpToDate() override;
  bool SetProcessorRegisterValue(int32_t index, uint32_t value) override;
  uint32_t GetProcessorRegisterValue(int32_t index) override;
  uint32_t GetProcessorRegisterWidth(int32_t) override { return 0; }
  std::string GetProcessorRegisterName(int32_t) override { return {}; }
  std::string GetProcessorRegisterShortName(int32_t index) override {
    return GetProcessorRegisterName(index);
  }
  int32_t GetProcessorRegisterCount() override { return 0; }
  int32_t GetRegisterIndex_PC() override { return -1; }
  int32_t GetRegisterIndex_SP() override { return -1; }
  int32_t GetSoftBreakpointAddressByteAlign() override { return 1; }
  uint32_t GetMemorySpaceWidth(int32_t) override { return 0; }
  uint8_t GetMemorySpaceKind(int32_t) override { return 0; }
  uint32_t GetMemorySpaceBytesPerUnit(int32_t) override { return 1; }
  std::string GetMemorySpaceName(int32_t) override { return {}; }
  std::string GetMemorySpaceShortName(int32_t index) override { return GetMemorySpaceName(index); }
  int32_t GetMemorySpaceCount() override { return 0; }
  int32_t GetMemorySpace_Program() override { return -1; }
  bool InitDownload(int32_t) override { return true; }
  bool FinishDownload(int32_t) override { return true; }
  bool RunDiagnostic() override { return true; }
  bool LittleEndian() override { return false; }
  bool ResetDevice() override { return false; }
  uint8_t GetDeviceState() override { return 0; }
  int32_t ProgramDevice(const std::string&) override { return 0; }
  uint32_t ReadUserCode() override { return 0xFFFFFFFFu; }
  ComPtr<IDispatch> FlowStage_Build() override;
  ComPtr<IDispatch> FlowStage_Download() override;
  std::string CoreGen_OutputExtension() override { return FCoreExt; }
  void ResetTalvoRegisters() override;
  void SingleStepProcessor() override;
  void RunSingleStepInSubstitutionRegister() override;
  void ResetProcessor() override;
  void PauseProcessor() override;
  void ContinueProcessor() override;
  void RunSteps(int32_t count) override;
  bool ProcessorIsPaused() override;
  bool ProcessorIsReset() override;
  bool ProcessorIsRunning() override;
  bool ProcessorIsUsingReducedInstructionSet() override { return false; }
  bool Flash_Reset() override { return false; }
  int32_t Flash_Program(const std::string&) override { return 0; }
  void Flash_Configure() override {}
  bool SetProcessorRegisterWideValue(int32_t index, const std::string& value) override;
  std::string GetProcessorRegisterWideValue(int32_t index) override;
  bool ConfigureFpgaProject(IDispatch*) override { return false; }
  bool ShowConfiguration() override { return true; }
  void ShowCurrentSensePanel() override {}
  void ReleaseResources() override;
  bool InvalidateResources() override { return false; }
  void CustomAction_Execute(int32_t) override {}
  void CustomAction_GetState(int32_t index, int32_t& flag1, int32_t& flag2, int32_t& flag3,
                             std::string& text1, std::string& text2) override;
  bool EPM_Download(const std::string& text1, const std::string& text2,
                    const std::string& text3) override;
  bool EPM_InititateTest() override { return false; }
  int32_t EPM_GetTestResult(int32_t) override { return -1; }
  void EPM_SetPercentCallBack(IDispatch* callback) override { FCallBack = ComPtr<IDispatch>(callback); }
  bool Flash_ResetForBitStream() override { return Flash_Reset(); }
  std::string GetEmbeddedConstraintFile() override;
  void SetEmbeddedConstraintFile(const std::string& fileName) override {
    FCustomConstraintFile = fileName;
  }
  uint32_t AddSoftBreakpoint(int32_t, int64_t) override { return 0; }
  bool RemoveSoftBreakpoint(int32_t, int64_t, uint32_t) override { return false; }
  int64_t GetMemorySpaceLength(int32_t) override { return 0; }
  std::string GetFolder_Library() override;
  ComPtr<IDispatch> ClockCoreGenerator() override { return nullptr; }
  ComPtr<IDispatch> ClockCoreTemplateGenerator() override { return nullptr; }
  ComPtr<IDispatch> ClockGeneratorTargetCore() override { return nullptr; }
  ComPtr<IDispatch> CustomCoreGenerator(int32_t) override { return nullptr; }

  // Operations the framework adds after the driver interface.
  virtual int32_t GetRegisterAddressInstruction() { return 3; }
  virtual int32_t GetRegisterDataInstruction() { return 4; }
  // True and the processor information when the chip carries a processor.
  virtual bool GetProcessorInformation(ComPtr<IDispatch>& information) { return false; }
  virtual bool IsCPLD() { return false; }
  virtual bool IsFPGA() { return false; }
  virtual bool IsPROM() { return false; }
  virtual bool IsProcessor() { return false; }
  virtual bool IsSoftProcessor() { return false; }
  virtual bool IsGenericProcessor() { return false; }
  virtual ComPtr<IDispatch> CreateProcessFlow(int32_t kind) { return nullptr; }
  // The instrument view wrapping a viewer form (null until a viewer exists).
  virtual ComPtr<IDispatch> CreateRackInstrumentView(TRackForm* form) { return nullptr; }
  virtual std::unique_ptr<TRackForm> CreateViewerForm();
  virtual TRackForm* GetViewerForm() { return FRackForm.get(); }
  virtual void EnterDebugAccess();
  virtual void LeaveDebugAccess();
  virtual void WriteControlRegister();
  virtual void ReadControlRegister();
  virtual void OpenChannel();
  virtual void CloseChannel();
  virtual bool MemoryRead(uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) { return false; }
  virtual bool MemoryWrite(uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) { return false; }

  // The debug control register's bits, as the chain device last reported.
  bool ControlBit(ControlRegisterBit bit) const { return (FControlRegister >> bit) & 1u; }
  void SetControlBit(ControlRegisterBit bit, bool value);
  uint8_t ControlRegister() const { return FControlRegister; }

 protected:
  void* QueryOwnInterface(REFIID riid) override;

  // The chain device's channel, or one holding nothing when unbound.
  jtag::TJTagChannel Channel();
  // The chain position of the bound device (0 when unbound).
  int32_t DeviceIndex();

  ComPtr<IDispatch> FTalvoDevice;
  hostsdk::BitmapHandle FDeviceImage;
  hostsdk::BitmapHandle FDeviceAboutImage;
  ComPtr<IDispatch> FCallBack;
  std::string FCustomConstraintFile;
  ComPtr<IDispatch> FBuildFlow;
  ComPtr<IDispatch> FDownloadFlow;
  ComPtr<IDispatch> FVerifyFlow;
  std::unique_ptr<TRackForm> FRackForm;
  ComPtr<IDispatch> FRackView;
  uint8_t FControlRegister = 0;
  std::string FCoreExt;

 private:
  struct MemoryAccess : plugin::IDriverMemoryAccess {
    explicit MemoryAccess(TTalvoDriver& owner) : owner(owner) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(-1); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(-1); }
    HRESULT STDMETHODCALLTYPE MemoryRead(uint32_t a, uint32_t b, uint32_t c, uint32_t d,
                                         uint32_t e, int32_t* result) override;
    HRESULT STDMETHODCALLTYPE MemoryWrite(uint32_t a, uint32_t b, uint32_t c, uint32_t d,
                                          uint32_t e, int32_t* result) override;
    TTalvoDriver& owner;
  };

  // One register transfer: the captured value (reads) or 0.
  uint32_t TransferRegister(int32_t index, uint32_t value, bool write);
  std::string TransferWideRegister(int32_t index, const std::string& value, bool write);
  void SelectRegister(int32_t index, bool write, int32_t deviceIndex, jtag::TJTagChannel& channel);
  bool ValidRegisterIndex(int32_t index) { return index >= 0 && index < GetProcessorRegisterCount(); }
  hostsdk::BitmapHandle LoadDeviceImage(const std::string& family);

  MemoryAccess memoryAccess_{*this};
};

}  // namespace plugin

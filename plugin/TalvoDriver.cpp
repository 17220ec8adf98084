#include "plugin/TalvoDriver.h"

#include <array>
#include <filesystem>
#include <stdexcept>

#include "automation/HostCall.h"
#include "hostsdk/ApplicationWindow.h"
#include "hostsdk/DeviceImage.h"
#include "hostsdk/HostDispIds.h"
#include "hostsdk/HostModules.h"
#include "hostsdk/HostServices.h"
#include "hostsdk/MessageDialogs.h"
#include "plugin/ActionTable.h"
#include "plugin/ParameterList.h"
#include "plugin/VendorTools.h"

namespace plugin {

namespace {

using automation::HostCallString;
using jtag::kTapDRExit1;
using jtag::kTapDRShift;
using jtag::kTapIdle;

// Address byte of each processor register; bit 7 marks a write.
constexpr std::array<uint8_t, 8> kRegisterAddress = {0x01, 0x02, 0x04, 0x08,
                                                     0x10, 0x20, 0x40, 0x90};
// The wide transfers keep a table of their own with the same values.
constexpr std::array<uint8_t, 8> kWideRegisterAddress = {0x01, 0x02, 0x04, 0x08,
                                                         0x10, 0x20, 0x40, 0x90};
constexpr uint8_t kRegisterWriteFlag = 0x80;

constexpr int32_t kControlRegisterAddress = 64;
constexpr int32_t kControlRegisterLength = 8;
constexpr int32_t kResetRegistersInstruction = 2;

bool FileExists(const std::string& path) {
  std::error_code error;
  return !path.empty() && std::filesystem::is_regular_file(path, error);
}

uint8_t RegisterAddress(const std::array<uint8_t, 8>& table, int32_t index) {
  if (index < 0 || static_cast<size_t>(index) >= table.size())
    throw std::out_of_range("processor register " + std::to_string(index) +
                            " has no address on the debug channel");
  return table[static_cast<size_t>(index)];
}

// The folder that holds the host's toolchain-manager module: the host's
// System folder, else the first plug-in folder holding it, else none.
std::string EmbeddedExtensionFolder() {
  const std::string system = hostsdk::HostSystemFolder();
  if (FileExists(system + hostsdk::kToolchainManagerModule)) return system;
  for (const std::string& folder : hostsdk::HostServices::Instance().PluginFolders())
    if (FileExists(folder + hostsdk::kToolchainManagerModule)) return folder;
  return {};
}

std::string EmbeddedSubfolder() {
  return std::string("Library") + hostsdk::kPathSeparator + "Embedded" + hostsdk::kPathSeparator;
}

// The first existing file among the places an embedded constraint file may
// live; empty when none.
std::string FindConstraintFile(const std::string& name) {
  if (name.empty()) return {};
  if (FileExists(name)) return name;
  const std::string inModule = hostsdk::ModuleFolder() + EmbeddedSubfolder() + name;
  if (FileExists(inModule)) return inModule;
  if (IDispatch* api = hostsdk::HostServices::Instance().ClientApi()) {
    const std::string userFolder = hostsdk::EnsureTrailingSeparator(
        HostCallString(api, hostsdk::dispid::kClientAPI_GetUserFolder));
    if (FileExists(userFolder + name)) return userFolder + name;
  }
  const std::string extension = EmbeddedExtensionFolder();
  if (!extension.empty() && FileExists(extension + EmbeddedSubfolder() + name))
    return extension + EmbeddedSubfolder() + name;
  return {};
}

}  // namespace

int ActionIndex(const std::string& text) {
  std::string action;
  if (!GetParameterFromText(text, "Action", action)) action = text;
  for (const HostAction& entry : kHostActions)
    if (SameText(entry.name, action)) return entry.index;
  return 0;
}

TTalvoDriver::TTalvoDriver(const std::string& coreExt) : FCoreExt(coreExt) {
  // Dialogs belong to the host's window. A host that cannot say which window
  // that is costs only the ownership, never the driver.
  try {
    hostsdk::HostServices& host = hostsdk::HostServices::Instance();
    if (host.Client()) hostsdk::SetApplicationWindow(host.MainWindow());
  } catch (const std::exception&) {
  }
}

TTalvoDriver::~TTalvoDriver() {
  try {
    ReleaseResources();
  } catch (...) {
    // A destructor cannot report; the host objects are released below anyway.
  }
}

void* TTalvoDriver::QueryOwnInterface(REFIID riid) {
  if (automation::SameGuid(riid, kIID_IDriverMemoryAccess))
    return static_cast<IDriverMemoryAccess*>(&memoryAccess_);
  return nullptr;
}

HRESULT TTalvoDriver::MemoryAccess::QueryInterface(REFIID riid, void** object) {
  return owner.QueryInterface(riid, object);
}

HRESULT TTalvoDriver::MemoryAccess::MemoryRead(uint32_t a, uint32_t b, uint32_t c, uint32_t d,
                                               uint32_t e, int32_t* result) {
  if (!result) return E_POINTER;
  *result = 0;
  try {
    *result = owner.MemoryRead(a, b, c, d, e) ? -1 : 0;
    return S_OK;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

HRESULT TTalvoDriver::MemoryAccess::MemoryWrite(uint32_t a, uint32_t b, uint32_t c, uint32_t d,
                                                uint32_t e, int32_t* result) {
  if (!result) return E_POINTER;
  *result = 0;
  try {
    *result = owner.MemoryWrite(a, b, c, d, e) ? -1 : 0;
    return S_OK;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

// ---- Chain access ---------------------------------------------------------

jtag::TJTagChannel TTalvoDriver::Channel() {
  if (!FTalvoDevice) return jtag::TJTagChannel(nullptr);
  return jtag::TChainDevice(FTalvoDevice).GetJTagChannel();
}

int32_t TTalvoDriver::DeviceIndex() {
  if (!FTalvoDevice) return 0;
  return jtag::TChainDevice(FTalvoDevice).GetChainIndex();
}

void TTalvoDriver::OpenChannel() {
  if (jtag::TJTagChannel channel = Channel()) channel.Open();
}

void TTalvoDriver::CloseChannel() {
  if (jtag::TJTagChannel channel = Channel()) channel.Close();
}

void TTalvoDriver::EnterDebugAccess() {
  OpenChannel();
  if (FTalvoDevice) jtag::TChainDevice(FTalvoDevice).EnterDebugAccess();
}

void TTalvoDriver::LeaveDebugAccess() {
  if (FTalvoDevice) jtag::TChainDevice(FTalvoDevice).LeaveDebugAccess();
  CloseChannel();
}

bool TTalvoDriver::SetTalvoDevice(IDispatch* device) {
  FTalvoDevice = ComPtr<IDispatch>(device);
  if (FRackForm) {
    FRackForm->SetTalvoDevice(device);
    if (!device) ReleaseResources();
  }
  return true;
}

// ---- Viewer ---------------------------------------------------------------

void TTalvoDriver::ReleaseResources() {
  if (FRackView) {
    automation::HostCallVoid(FRackView.Get(), hostsdk::dispid::kInstrumentView_Hide);
    FRackView = nullptr;
    // The form's life follows the view from here on.
    (void)FRackForm.release();
    return;
  }
  FRackForm.reset();
}

void TTalvoDriver::CreateRackViewer() {
  if (FRackForm) return;
  FRackForm = CreateViewerForm();
  if (!FRackForm) return;
  FRackForm->SetTalvoDevice(FTalvoDevice.Get());
  FRackView = CreateRackInstrumentView(FRackForm.get());
}

std::unique_ptr<TRackForm> TTalvoDriver::CreateViewerForm() {
  jtag::TJTagChannel channel = Channel();
  if (!channel) return nullptr;
  ComPtr<IDispatch> jtagDevice = channel.GetDevice(DeviceIndex());
  if (!jtagDevice) return nullptr;
  ComPtr<IDispatch> entity =
      automation::HostCallDispatch(jtagDevice.Get(), hostsdk::dispid::kJTagDevice_GetBSDLEntity);
  if (entity) {
    // The hard-device viewer form is built by the viewer; until a driver
    // supplies one there is nothing to show.
    return nullptr;
  }
  const std::string deviceName = jtag::TChainDevice(FTalvoDevice).GetDeviceName();
  hostsdk::ShowError("Failed To find Boundary Scan data for Device\r\rDevice:  " + deviceName,
                     "Error");
  return nullptr;
}

// ---- Device image ---------------------------------------------------------

uint32_t TTalvoDriver::GetBitmapHandle() {
  if (!FDeviceImage.Value()) FDeviceImage = LoadDeviceImage(GetFamilyName());
  return FDeviceImage.Value();
}

hostsdk::BitmapHandle TTalvoDriver::LoadDeviceImage(const std::string& family) {
  const std::string generic = hostsdk::HostSystemFolder() + "Generic_Hard_Device.bmp";
  const std::string specific = GetFolder_Library() + "DeviceImages" + hostsdk::kPathSeparator +
                               family + ".bmp";
  return hostsdk::LoadDeviceImage(generic, specific);
}

std::string TTalvoDriver::GetFolder_Library() { return hostsdk::ModuleLibraryFolder(); }

// ---- Constraint files -----------------------------------------------------

std::string TTalvoDriver::GetEmbeddedConstraintFile() {
  if (!FCustomConstraintFile.empty()) {
    std::string found = FindConstraintFile(FCustomConstraintFile);
    if (!found.empty()) return found;
  }
  const std::string kExtension = ".Constraint";
  for (const std::string& stem : {GetDeviceName(), GetDeviceParameter("ProcessorDeviceName"),
                                  GetBaseName(), GetFamilyName()}) {
    std::string found = FindConstraintFile(stem + kExtension);
    if (!found.empty()) return found;
  }
  ComPtr<IDispatch> processor;
  if (GetProcessorInformation(processor) && processor) {
    const std::string name = HostCallString(
        processor.Get(), hostsdk::dispid::kProcessorInformation_ConstraintName);
    return FindConstraintFile(name + kExtension);
  }
  return {};
}

// ---- Supports ---------------------------------------------------------------

bool TTalvoDriver::Supports(const std::string& text) {
  if (SameText(text, "CPLD")) return IsCPLD();
  if (SameText(text, "FPGA")) return IsFPGA();
  if (SameText(text, "PROM")) return IsPROM();
  if (SameText(text, "PROC")) return IsProcessor();
  if (SameText(text, "SPROC")) return IsSoftProcessor();
  if (SameText(text, "GPROC")) return IsGenericProcessor();
  std::string toolchain;
  if (GetParameterFromText(text, "ToolchainName", toolchain) && !toolchain.empty()) return false;
  switch (ActionIndex(text)) {
    case 1: case 2: case 3: case 4: case 5: case 6: case 7: case 8: case 9:
    case 15: case 17: case 18: case 19: case 20: case 31:
      return false;
    default:
      return true;
  }
}

// ---- Flows ------------------------------------------------------------------

ComPtr<IDispatch> TTalvoDriver::FlowStage_Build() {
  if (!FBuildFlow) FBuildFlow = CreateProcessFlow(kFlowKind_Build);
  return FBuildFlow;
}

ComPtr<IDispatch> TTalvoDriver::FlowStage_Download() {
  if (!FDownloadFlow) FDownloadFlow = CreateProcessFlow(kFlowKind_Download);
  return FDownloadFlow;
}

bool TTalvoDriver::EPM_Download(const std::string&, const std::string& text2, const std::string&) {
  if (!ResetDevice()) return false;
  ProgramDevice(text2);
  return GetDeviceState() == 2;
}

void TTalvoDriver::CustomAction_GetState(int32_t, int32_t& flag1, int32_t&, int32_t& flag3,
                                         std::string&, std::string&) {
  flag1 = 0;
  flag3 = 0;
}

// ---- Vendor tools -----------------------------------------------------------

std::string TTalvoDriver::VendorToolsDescriptor() {
  if (const VendorToolCheck* check = FindVendorToolCheck(GetVendorName())) return check->Descriptor();
  return {};
}

bool TTalvoDriver::VendorToolsPresent() {
  if (const VendorToolCheck* check = FindVendorToolCheck(GetVendorName())) return check->Present();
  return true;
}

bool TTalvoDriver::VendorToolsUpToDate() {
  if (const VendorToolCheck* check = FindVendorToolCheck(GetVendorName())) return check->UpToDate();
  return true;
}

// ---- Processor registers ----------------------------------------------------

void TTalvoDriver::SelectRegister(int32_t index, bool write, int32_t deviceIndex,
                                  jtag::TJTagChannel& channel) {
  const uint8_t address = RegisterAddress(kRegisterAddress, index);
  channel.ScanIR(GetRegisterAddressInstruction(), deviceIndex);
  channel.MoveState(kTapIdle, kTapDRShift);
  channel.ShiftDRValue(address | (write ? kRegisterWriteFlag : 0), 8, deviceIndex);
  channel.MoveState(kTapDRExit1, kTapIdle);
  channel.ScanIR(GetRegisterDataInstruction(), deviceIndex);
  channel.MoveState(kTapIdle, kTapDRShift);
}

uint32_t TTalvoDriver::TransferRegister(int32_t index, uint32_t value, bool write) {
  const auto width = static_cast<int32_t>(GetProcessorRegisterWidth(index));
  jtag::TJTagChannel channel = Channel();
  if (!channel) return 0;
  const int32_t deviceIndex = DeviceIndex();
  SelectRegister(index, write, deviceIndex, channel);
  const auto captured =
      static_cast<uint32_t>(channel.ShiftDRCapture(static_cast<int32_t>(value), width, deviceIndex));
  channel.MoveState(kTapDRExit1, kTapIdle);
  return captured;
}

std::string TTalvoDriver::TransferWideRegister(int32_t index, const std::string& value, bool write) {
  const auto width = static_cast<size_t>(GetProcessorRegisterWidth(index));
  jtag::TJTagChannel channel = Channel();
  if (!channel) return "0";
  const int32_t deviceIndex = DeviceIndex();
  RegisterAddress(kWideRegisterAddress, index);
  SelectRegister(index, write, deviceIndex, channel);
  std::string bits = value.size() > width ? value.substr(value.size() - width) : value;
  bits.insert(0, width - bits.size(), '0');
  std::string captured = channel.ShiftDRBitsCapture(bits, deviceIndex);
  channel.MoveState(kTapDRExit1, kTapIdle);
  return captured;
}

bool TTalvoDriver::SetProcessorRegisterValue(int32_t index, uint32_t value) {
  if (!ValidRegisterIndex(index)) return false;
  TransferRegister(index, value, true);
  return true;
}

uint32_t TTalvoDriver::GetProcessorRegisterValue(int32_t index) {
  if (!ValidRegisterIndex(index)) return 0;
  return TransferRegister(index, 0, false);
}

bool TTalvoDriver::SetProcessorRegisterWideValue(int32_t index, const std::string& value) {
  if (!ValidRegisterIndex(index)) return false;
  TransferWideRegister(index, value, true);
  return true;
}

std::string TTalvoDriver::GetProcessorRegisterWideValue(int32_t index) {
  if (!ValidRegisterIndex(index)) return "0";
  return TransferWideRegister(index, "0", false);
}

// ---- Debug control register and processor control --------------------------

void TTalvoDriver::SetControlBit(ControlRegisterBit bit, bool value) {
  const auto mask = static_cast<uint8_t>(1u << bit);
  FControlRegister = value ? (FControlRegister | mask) : (FControlRegister & ~mask);
}

void TTalvoDriver::ReadControlRegister() {
  if (!FTalvoDevice) return;
  FControlRegister = static_cast<uint8_t>(
      jtag::TChainDevice(FTalvoDevice).RegisterRead(kControlRegisterAddress, kControlRegisterLength) &
      0xFF);
}

void TTalvoDriver::WriteControlRegister() {
  if (!FTalvoDevice) return;
  jtag::TChainDevice(FTalvoDevice)
      .RegisterWrite(kControlRegisterAddress, kControlRegisterLength, FControlRegister);
}

void TTalvoDriver::ResetTalvoRegisters() {
  OpenChannel();
  if (jtag::TJTagChannel channel = Channel()) channel.ScanIR(kResetRegistersInstruction, DeviceIndex());
  CloseChannel();
}

void TTalvoDriver::PauseProcessor() {
  OpenChannel();
  ReadControlRegister();
  for (ControlRegisterBit bit :
       {kStepCounterBreakpointEnable, kReset, kDebugAcknowledge, kDebugStep, kDebuggerProgramSelect})
    SetControlBit(bit, false);
  SetControlBit(kDebugEnable, true);
  SetControlBit(kDebugRequest, true);
  WriteControlRegister();
  ReadControlRegister();
  CloseChannel();
}

void TTalvoDriver::ContinueProcessor() {
  OpenChannel();
  ReadControlRegister();
  for (ControlRegisterBit bit : {kStepCounterBreakpointEnable, kReset, kDebugEnable,
                                 kDebugAcknowledge, kDebugRequest, kDebugStep, kDebuggerProgramSelect})
    SetControlBit(bit, false);
  SetControlBit(kDebugEnable, true);
  SetControlBit(kDebugRequest, true);
  WriteControlRegister();
  SetControlBit(kDebugRequest, false);
  WriteControlRegister();
  ReadControlRegister();
  CloseChannel();
}

void TTalvoDriver::ResetProcessor() {
  OpenChannel();
  PauseProcessor();
  SetControlBit(kReset, true);
  WriteControlRegister();
  SetControlBit(kReset, false);
  WriteControlRegister();
  ReadControlRegister();
  CloseChannel();
}

void TTalvoDriver::SingleStepProcessor() {
  OpenChannel();
  PauseProcessor();
  ReadControlRegister();
  SetControlBit(kReset, false);
  SetControlBit(kDebugRequest, true);
  SetControlBit(kDebugEnable, true);
  WriteControlRegister();
  SetControlBit(kDebugStep, true);
  WriteControlRegister();
  ReadControlRegister();
  CloseChannel();
}

void TTalvoDriver::RunSteps(int32_t count) {
  OpenChannel();
  ReadControlRegister();
  PauseProcessor();
  SetControlBit(kReset, false);
  SetControlBit(kDebugRequest, true);
  SetControlBit(kDebugEnable, true);
  WriteControlRegister();
  SetControlBit(kDebugStep, true);
  for (int32_t i = 0; i < count; ++i) WriteControlRegister();
  ReadControlRegister();
  CloseChannel();
}

void TTalvoDriver::RunSingleStepInSubstitutionRegister() {
  OpenChannel();
  ReadControlRegister();
  SetControlBit(kReset, false);
  SetControlBit(kDebugRequest, true);
  SetControlBit(kDebugEnable, true);
  WriteControlRegister();
  SetControlBit(kDebuggerProgramSelect, true);
  WriteControlRegister();
  SetControlBit(kDebugStep, true);
  WriteControlRegister();
  SetControlBit(kDebuggerProgramSelect, false);
  SetControlBit(kDebugStep, false);
  WriteControlRegister();
  ReadControlRegister();
  CloseChannel();
}

bool TTalvoDriver::ProcessorIsPaused() {
  OpenChannel();
  ReadControlRegister();
  const bool paused = ControlBit(kDebugEnable) && ControlBit(kDebugAcknowledge);
  CloseChannel();
  return paused;
}

bool TTalvoDriver::ProcessorIsReset() {
  OpenChannel();
  ReadControlRegister();
  const bool reset = ControlBit(kReset);
  CloseChannel();
  return reset;
}

bool TTalvoDriver::ProcessorIsRunning() {
  if (ProcessorIsReset()) return false;
  return !ProcessorIsPaused();
}

}  // namespace plugin

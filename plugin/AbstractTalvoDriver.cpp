#include "plugin/AbstractTalvoDriver.h"

#include "automation/WideText.h"

namespace plugin {

namespace {

using T = TAbstractTalvoDriver;

// Reads a flag through its by-reference VARIANT (VT_BOOL | VT_BYREF, or any
// by-reference value the platform converts).
HRESULT ReadFlagRef(const VARIANT& v, int32_t& flag) {
  try {
    flag = automation::ToBool(v) ? -1 : 0;
    return S_OK;
  } catch (const automation::EVariantConversion& e) {
    return e.Status();
  }
}

void WriteFlagRef(VARIANT& v, int32_t flag) {
  const VARIANT_BOOL value = flag ? VARIANT_TRUE : VARIANT_FALSE;
  if (v.vt == (VT_BOOL | VT_BYREF) && v.pboolVal) *v.pboolVal = value;
  if (v.vt == (VT_VARIANT | VT_BYREF) && v.pvarVal) automation::SetResultBool(v.pvarVal, value);
}

BSTR* StringRef(VARIANT& v) {
  if (v.vt == (VT_BSTR | VT_BYREF)) return v.pbstrVal;
  return nullptr;
}

// CustomAction_GetState takes its three flags and two texts by reference:
// rgvarg[4..2] are the flags, rgvarg[1] and rgvarg[0] the texts.
HRESULT RunCustomActionGetState(T& self, const InvokeArgs& call) {
  if (!call.params || !call.params->rgvarg || call.params->cArgs < 6) return DISP_E_BADPARAMCOUNT;
  VARIANT* args = call.params->rgvarg;
  int32_t index = 0;
  try {
    index = automation::ToInt32(args[5]);
  } catch (const automation::EVariantConversion& e) {
    if (call.argErr) *call.argErr = 5;
    return e.Status();
  }
  int32_t flags[3] = {0, 0, 0};
  for (int i = 0; i < 3; ++i) {
    const UINT at = 4 - i;
    if (const HRESULT hr = ReadFlagRef(args[at], flags[i]); FAILED(hr)) {
      if (call.argErr) *call.argErr = at;
      return hr;
    }
  }
  BSTR* textRefs[2] = {StringRef(args[1]), StringRef(args[0])};
  std::string texts[2];
  // Both new strings exist before either caller's string is replaced; if
  // the second cannot be made, the first is freed and the caller's strings
  // stay as they were.
  BSTR fresh[2] = {nullptr, nullptr};
  try {
    for (int i = 0; i < 2; ++i)
      if (textRefs[i]) texts[i] = automation::FromBstr(*textRefs[i]);
    self.CustomAction_GetState(index, flags[0], flags[1], flags[2], texts[0], texts[1]);
    for (int i = 0; i < 2; ++i)
      if (textRefs[i]) fresh[i] = automation::AllocBstr(texts[i]);
  } catch (const std::exception& e) {
    for (BSTR text : fresh) SysFreeString(text);
    return ReportOperationFailure(call, e.what());
  } catch (...) {
    for (BSTR text : fresh) SysFreeString(text);
    return ReportOperationFailure(call, "unknown error");
  }
  for (int i = 0; i < 2; ++i) {
    if (!textRefs[i]) continue;
    SysFreeString(*textRefs[i]);
    *textRefs[i] = fresh[i];
  }
  for (int i = 0; i < 3; ++i) WriteFlagRef(args[4 - i], flags[i]);
  return S_OK;
}

constexpr DispatchRow<T> kRows[] = {
    Row<&T::GetTalvoDevice>(503753),
    Row<&T::SetTalvoDevice>(503754),
    Row<&T::Finalize>(503755),
    Row<&T::GetBitmapHandle>(503756),
    Row<&T::SaveProcessorState>(503757),
    Row<&T::RestoreProcessorState>(503758),
    Row<&T::CreateRackViewer>(503759),
    Row<&T::GetRackViewer>(503760),
    Row<&T::Supports>(503761),
    Row<&T::ShowAboutDialog>(503762),
    Row<&T::VendorToolsDescriptor>(503763),
    Row<&T::VendorToolsPresent>(503764),
    Row<&T::VendorToolsUpToDate>(503765),
    Row<&T::SetProcessorRegisterValue>(503766),
    Row<&T::GetProcessorRegisterValue>(503767),
    Row<&T::GetProcessorRegisterWidth>(503768),
    Row<&T::GetProcessorRegisterName>(503769),
    Row<&T::GetProcessorRegisterShortName>(503770),
    Row<&T::GetProcessorRegisterCount>(503771),
    Row<&T::GetRegisterIndex_PC>(503772),
    Row<&T::GetRegisterIndex_SP>(503773),
    Row<&T::GetSoftBreakpointAddressByteAlign>(503774),
    Row<&T::GetMemorySpaceWidth>(503775),
    Row<&T::GetMemorySpaceKind>(503776),
    Row<&T::GetMemorySpaceBytesPerUnit>(503777),
    Row<&T::GetMemorySpaceName>(503778),
    Row<&T::GetMemorySpaceShortName>(503779),
    Row<&T::GetMemorySpaceCount>(503780),
    Row<&T::GetMemorySpace_Program>(503781),
    Row<&T::InitDownload>(503782),
    Row<&T::FinishDownload>(503783),
    Row<&T::RunDiagnostic>(503784),
    Row<&T::LittleEndian>(503785),
    Row<&T::ResetDevice>(503786),
    Row<&T::GetDeviceState>(503787),
    Row<&T::ProgramDevice>(503788),
    Row<&T::ReadUserCode>(503789),
    Row<&T::FlowStage_Build>(503790),
    Row<&T::FlowStage_Download>(503791),
    Row<&T::CoreGen_OutputExtension>(503792),
    Row<&T::ResetTalvoRegisters>(503793),
    Row<&T::SingleStepProcessor>(503794),
    Row<&T::RunSingleStepInSubstitutionRegister>(503795),
    Row<&T::ResetProcessor>(503796),
    Row<&T::PauseProcessor>(503797),
    Row<&T::ContinueProcessor>(503798),
    Row<&T::RunSteps>(503799),
    Row<&T::ProcessorIsPaused>(503800),
    Row<&T::ProcessorIsReset>(503801),
    Row<&T::ProcessorIsRunning>(503802),
    Row<&T::ProcessorIsUsingReducedInstructionSet>(503803),
    Row<&T::Flash_Reset>(503804),
    Row<&T::Flash_Program>(503805),
    Row<&T::Flash_Configure>(503806),
    Row<&T::SetProcessorRegisterWideValue>(503807),
    Row<&T::GetProcessorRegisterWideValue>(503808),
    Row<&T::ConfigureFpgaProject>(503809),
    Row<&T::ShowConfiguration>(503810),
    Row<&T::ShowCurrentSensePanel>(503811),
    Row<&T::ReleaseResources>(503812),
    Row<&T::InvalidateResources>(503813),
    Row<&T::CustomAction_Execute>(503814),
    DispatchRow<T>{503815, &RunCustomActionGetState},
    Row<&T::EPM_Download>(503816),
    Row<&T::EPM_InititateTest>(503817),
    Row<&T::EPM_GetTestResult>(503818),
    Row<&T::EPM_SetPercentCallBack>(503819),
    Row<&T::Flash_ResetForBitStream>(503820),
    Row<&T::GetEmbeddedConstraintFile>(503821),
    Row<&T::SetEmbeddedConstraintFile>(503822),
    Row<&T::AddSoftBreakpoint>(508552),
    Row<&T::RemoveSoftBreakpoint>(508553),
    Row<&T::GetMemorySpaceLength>(508554),
    Row<&T::GetFolder_Library>(509312),
    Row<&T::ClockCoreGenerator>(509376),
    Row<&T::ClockCoreTemplateGenerator>(509427),
    Row<&T::ClockGeneratorTargetCore>(509470),
    Row<&T::CustomCoreGenerator>(509981),
};

constexpr auto kTable = MakeDispatchTable(kRows);
static_assert(kTable.Size() == 78);

}  // namespace

HRESULT TAbstractTalvoDriver::Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo,
                                     UINT* argErr) {
  if (const auto* row = kTable.Find(id))
    return row->run(*this, InvokeArgs{params, result, excepInfo, argErr});
  return TAbstractDeviceInformation::Invoke(id, riid, lcid, flags, params, result, excepInfo,
                                            argErr);
}

bool TAbstractTalvoDriver::SupportsServiceName(const std::string& name) {
  return TAbstractDeviceInformation::SupportsServiceName(name) || SameText(name, "TalvoDriver");
}

}  // namespace plugin

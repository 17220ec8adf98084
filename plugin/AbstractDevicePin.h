// The host's pin interface (IDispDevicePin): 25 operations, DISPIDs
// 503525..503549. The framework computes the last three from the others.
#pragma once

#include <string>

#include "plugin/SupportService.h"

namespace plugin {

using automation::ComPtr;

constexpr GUID kIID_IDispDevicePin{
    0x1E25BC96, 0xA0F9, 0x4341, {0x8A, 0x65, 0x34, 0xC7, 0x34, 0xBF, 0x33, 0xE2}};

class TAbstractDevicePin : public TAbstractSupportService {
 public:
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags,
                                   DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo,
                                   UINT* argErr) override;
  bool SupportsServiceName(const std::string& name) override;

  virtual std::string GetPinNumber() = 0;
  virtual std::string GetIOBank() = 0;
  virtual bool GetIsIOPin() = 0;
  virtual bool GetIsCLKPin() = 0;
  virtual bool GetIsVREFPin() = 0;
  virtual bool GetIsSpecialPin() = 0;
  virtual int32_t GetIOStandardCount() = 0;
  virtual ComPtr<IDispatch> GetIOStandard(int32_t index) = 0;
  virtual bool GetIsInputOnlyPin() = 0;
  virtual bool GetIsDCIP_Pin() = 0;
  virtual bool GetIsDCIN_Pin() = 0;
  virtual bool GetIsDiffP_Pin() = 0;
  virtual bool GetIsDiffN_Pin() = 0;
  virtual bool GetIsHDiffP_Pin() = 0;
  virtual bool GetIsHDiffN_Pin() = 0;
  virtual bool GetIsTransmitDiffPin() = 0;
  virtual bool GetIsReceiveDiffPin() = 0;
  virtual bool GetIsClkDiffP_Pin() = 0;
  virtual bool GetIsClkDiffN_Pin() = 0;
  virtual bool GetIsDLLPin() = 0;
  virtual std::string GetDifferentialId() = 0;
  virtual std::string GetClkDifferentialId() = 0;
  virtual std::string GetUniqueDifferentialID() = 0;
  virtual bool GetIsPosPinOfDiffPair() = 0;
  virtual bool GetIsNegPinOfDiffPair() = 0;
};

// The framework pin: the pair answers composed from the others, and no
// reference counting (pins live as long as their driver).
class TTalvoAbstractDevicePin : public TAbstractDevicePin {
 public:
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(-1); }
  ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(-1); }

  std::string GetUniqueDifferentialID() override;
  bool GetIsPosPinOfDiffPair() override;
  bool GetIsNegPinOfDiffPair() override;
};

}  // namespace plugin

// One package pin of a MachXO2 part, answering the host's pin interface
// from its row of the pin tables.
#pragma once

#include "devices/machxo2/PinTables.h"
#include "plugin/AbstractDevicePin.h"

namespace machxo2 {

class TDevicePinData final : public plugin::TTalvoAbstractDevicePin {
 public:
  TDevicePinData(TDevicePinSet pinSet, int32_t index);

  std::string GetPinNumber() override { return std::string(Row().PinNumber); }
  std::string GetIOBank() override { return std::string(Row().Bank); }
  bool GetIsIOPin() override { return Row().Has(ePinOption_IO); }
  bool GetIsCLKPin() override { return Row().Has(ePinOption_Clock); }
  bool GetIsVREFPin() override { return Row().Has(ePinOption_VREF); }
  bool GetIsSpecialPin() override { return Row().Has(ePinOption_Special); }
  int32_t GetIOStandardCount() override { return Row().Standards.Count(); }
  plugin::ComPtr<IDispatch> GetIOStandard(int32_t index) override;
  bool GetIsInputOnlyPin() override { return Row().Has(ePinOption_InputOnly); }
  bool GetIsDCIP_Pin() override { return Row().Has(ePinOption_DCIPositive); }
  bool GetIsDCIN_Pin() override { return Row().Has(ePinOption_DCINegative); }
  bool GetIsDiffP_Pin() override { return Row().Has(ePinOption_DiffPositive); }
  bool GetIsDiffN_Pin() override { return Row().Has(ePinOption_DiffNegative); }
  bool GetIsHDiffP_Pin() override { return Row().Has(ePinOption_HSpeedDiffPositive); }
  bool GetIsHDiffN_Pin() override { return Row().Has(ePinOption_HSpeedDiffNegative); }
  bool GetIsTransmitDiffPin() override { return Row().Has(ePinOption_TransmitDiff); }
  bool GetIsReceiveDiffPin() override { return Row().Has(ePinOption_ReceiveDiff); }
  bool GetIsClkDiffP_Pin() override { return Row().Has(ePinOption_ClockDiffPositive); }
  bool GetIsClkDiffN_Pin() override { return Row().Has(ePinOption_ClockDiffNegative); }
  bool GetIsDLLPin() override { return Row().Has(ePinOption_DLL); }
  std::string GetDifferentialId() override { return std::string(Row().DiffId); }
  std::string GetClkDifferentialId() override { return std::string(Row().ClkDiffId); }

 private:
  const TPinParameters& Row() const { return *FRow; }

  TDevicePinSet FPinSet;
  int32_t FIndex;
  const TPinParameters* FRow;
};

}  // namespace machxo2

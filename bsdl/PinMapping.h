// The mapping of a port name to a package pin, with the scan pin it names.
#pragma once

#include <string>

#include "bsdl/BSDLObject.h"

namespace bsdl {

class TScanPin;

class TPinMapping : public TBSDLObject {
 public:
  TPinMapping(TBSDLEntity& owner, TBSDLOwnerKey key);

  const std::string& PinName() const { return FPinName; }
  const std::string& PinNumber() const { return FPinNumber; }
  TScanPin* ScanPin() const { return FScanPin; }

  void SetPinName(std::string value) { FPinName = std::move(value); }
  void SetPinNumber(std::string value) { FPinNumber = std::move(value); }
  void SetScanPin(TScanPin* value);

 private:
  std::string FPinName;
  std::string FPinNumber;
  TScanPin* FScanPin = nullptr;
};

}  // namespace bsdl

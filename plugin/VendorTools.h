// Vendor tool checks by vendor name. The driver asks the vendor's check
// whether its tools are present and up to date and how they are described;
// vendors without a check keep the driver's defaults.
#pragma once

#include <string>

namespace plugin {

class VendorToolCheck {
 public:
  virtual ~VendorToolCheck() = default;
  virtual bool Present() const = 0;
  virtual bool UpToDate() const = 0;
  virtual std::string Descriptor() const = 0;
};

// The check of "Xilinx", "Altera", "Actel" or "Lattice" (any case), or null.
const VendorToolCheck* FindVendorToolCheck(const std::string& vendor);

}  // namespace plugin

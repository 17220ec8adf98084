#include "plugin/VendorTools.h"

#include "plugin/SupportService.h"

namespace plugin {

namespace {

// Until a vendor's tool discovery is installed its check answers the
// framework defaults: present, up to date, no descriptor.
class DefaultToolCheck final : public VendorToolCheck {
 public:
  bool Present() const override { return true; }
  bool UpToDate() const override { return true; }
  std::string Descriptor() const override { return {}; }
};

}  // namespace

const VendorToolCheck* FindVendorToolCheck(const std::string& vendor) {
  static const DefaultToolCheck kDefault;
  for (const char* known : {"Xilinx", "Altera", "Actel", "Lattice"})
    if (SameText(vendor, known)) return &kDefault;
  return nullptr;
}

}  // namespace plugin

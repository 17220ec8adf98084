#include "hostsdk/DeviceImage.h"

namespace hostsdk {

BitmapHandle LoadDeviceImage(const std::string& genericPath, const std::string& specificPath) {
  std::optional<Image24> generic = LoadBmpFile(genericPath);
  if (!generic) return {};
  if (std::optional<Image24> specific = LoadBmpFile(specificPath)) PasteCentred(*generic, *specific);
  return BitmapHandle(*generic);
}

}  // namespace hostsdk

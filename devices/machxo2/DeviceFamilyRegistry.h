// Which vendor makes a device family and which name the family has in EDIF
// netlists. The registry starts from a built-in list and can be amended by a
// "TalvoConfig.ini" in any plug-in folder, so a new family or a renamed
// vendor needs no new module.
#pragma once

#include <cstddef>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace machxo2 {

struct TDeviceFamilyRow {
  std::string_view Family;
  std::string_view VendorName;
  std::string_view EDIF;  // empty for families that have no EDIF name
};

struct TDeviceFamilyRecord {
  std::string VendorName;
  std::string EDIF;
};

class TDeviceFamilyRegistry {
 public:
  // The name of the configuration file looked for in each plug-in folder.
  static constexpr std::string_view kConfigFileName = "TalvoConfig.ini";

  // Filled with the built-in rows.
  TDeviceFamilyRegistry();

  // The built-in rows in the order they are added.
  static std::span<const TDeviceFamilyRow> BuiltInFamilies();

  // Reads <folder>TalvoConfig.ini of every folder in order; each folder ends
  // with a path separator. Later folders win over earlier ones.
  void AmendFromPluginFolders(const std::vector<std::string>& folders);

  // Applies one configuration file: section "General", keys "DeviceFamily",
  // "DeviceVendor" and "EDIF". The family's row is added or replaced only
  // when all three values are non-empty. A missing or unreadable file
  // changes nothing. True when the file changed the registry.
  bool AmendFromConfigFile(const std::string& path);

  // Vendor and EDIF name of `family` (exact, case-sensitive); empty when the
  // family is unknown.
  std::string VendorName(std::string_view family) const;
  std::string EDIF(std::string_view family) const;

  std::size_t Count() const { return families_.size(); }

 private:
  const TDeviceFamilyRecord* Find(std::string_view family) const;

  std::map<std::string, TDeviceFamilyRecord, std::less<>> families_;
};

}  // namespace machxo2

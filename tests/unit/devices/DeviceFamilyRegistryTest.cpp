#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <string>

#include "devices/machxo2/DeviceFamilyRegistry.h"
#include "hostsdk/IniFile.h"

namespace machxo2 {
namespace {

namespace fs = std::filesystem;

std::string Upper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper;
}

TEST(DeviceFamilyRegistry, BuiltInRowsFollowTheVendorAndEdifRules) {
  const std::set<std::string_view> keepCase = {"ispMACH4000B", "ispMACH4000C", "ispMACH4000V",
                                               "ispMACH4000Z", "IGLOOnano"};
  const std::set<std::string_view> noEdif = {"XC17V00", "XC18V00",   "XCF",  "BLUESTREAK",
                                             "PPC405",  "Stellaris", "STM32"};
  std::map<std::string_view, int> rowsPerVendor;
  std::set<std::string_view> families;
  for (const TDeviceFamilyRow& row : TDeviceFamilyRegistry::BuiltInFamilies()) {
    SCOPED_TRACE(row.Family);
    ++rowsPerVendor[row.VendorName];
    EXPECT_TRUE(families.insert(row.Family).second) << "duplicate family";
    if (noEdif.count(row.Family)) {
      EXPECT_EQ(row.EDIF, "");
    } else if (keepCase.count(row.Family)) {
      EXPECT_EQ(row.EDIF, row.Family);
    } else {
      EXPECT_EQ(row.EDIF, Upper(row.Family));
    }
  }
  EXPECT_EQ(families.size(), 77u);
  EXPECT_EQ(rowsPerVendor, (std::map<std::string_view, int>{{"Actel", 9},
                                                            {"Altera", 20},
                                                            {"Lattice", 15},
                                                            {"Xilinx", 29},
                                                            {"Sharp", 1},
                                                            {"AMCC", 1},
                                                            {"TexasInstruments", 1},
                                                            {"STMicroelectronics", 1}}));
  const auto rows = TDeviceFamilyRegistry::BuiltInFamilies();
  EXPECT_EQ(rows.front().Family, "ProASICPlus");
  EXPECT_EQ(rows.back().Family, "STM32");
}

TEST(DeviceFamilyRegistry, LooksFamiliesUpByExactName) {
  const TDeviceFamilyRegistry registry;
  EXPECT_EQ(registry.Count(), 77u);
  EXPECT_EQ(registry.VendorName("MachXO2"), "Lattice");
  EXPECT_EQ(registry.EDIF("MachXO2"), "MACHXO2");
  EXPECT_EQ(registry.EDIF("ispMACH4000Z"), "ispMACH4000Z");
  EXPECT_EQ(registry.VendorName("STM32"), "STMicroelectronics");
  EXPECT_EQ(registry.EDIF("STM32"), "");
  for (std::string_view unknown : {"machxo2", "MACHXO2", "MachXO3", ""}) {
    EXPECT_EQ(registry.VendorName(unknown), "") << unknown;
    EXPECT_EQ(registry.EDIF(unknown), "") << unknown;
  }
}

// Plug-in folders in a fresh temporary directory, each with an optional
// configuration file.
class DeviceFamilyRegistryConfig : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device random;
    root_ = fs::temp_directory_path() / ("mxo2-families-" + std::to_string(random()));
    fs::create_directories(root_);
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }

  // A folder as the plug-in walk hands it over: with a trailing separator.
  std::string Folder(const std::string& name, const std::string* config = nullptr) {
    const fs::path folder = root_ / name;
    fs::create_directories(folder);
    if (config) std::ofstream(folder / "TalvoConfig.ini", std::ios::binary) << *config;
    return (folder / "").string();
  }
  std::string Folder(const std::string& name, const std::string& config) {
    return Folder(name, &config);
  }

  fs::path root_;
};

TEST_F(DeviceFamilyRegistryConfig, CompleteFileReplacesOrAddsAFamily) {
  TDeviceFamilyRegistry registry;
  registry.AmendFromPluginFolders({
      Folder("empty"),
      Folder("replace",
             "; vendor override\r\n[general]\r\n  devicefamily =  MachXO2 \r\n"
             "DEVICEVENDOR=Other Vendor\r\nEdif = MXO2X\r\n"),
      Folder("add", "[General]\nDeviceFamily=NewFamily\nDeviceVendor=Acme\nEDIF=NEWFAM\n"),
  });
  EXPECT_EQ(registry.VendorName("MachXO2"), "Other Vendor");
  EXPECT_EQ(registry.EDIF("MachXO2"), "MXO2X");
  EXPECT_EQ(registry.VendorName("NewFamily"), "Acme");
  EXPECT_EQ(registry.EDIF("NewFamily"), "NEWFAM");
  EXPECT_EQ(registry.Count(), 78u);
}

TEST_F(DeviceFamilyRegistryConfig, IncompleteFileIsIgnored) {
  const struct {
    const char* Name;
    std::string Config;
  } cases[] = {
      {"no EDIF key", "[General]\nDeviceFamily=MachXO2\nDeviceVendor=Other\n"},
      {"empty EDIF", "[General]\nDeviceFamily=MachXO2\nDeviceVendor=Other\nEDIF=   \n"},
      {"no vendor", "[General]\nDeviceFamily=MachXO2\nEDIF=X\n"},
      {"other section", "[Tools]\nDeviceFamily=MachXO2\nDeviceVendor=Other\nEDIF=X\n"},
      {"commented out", "[General]\nDeviceFamily=MachXO2\nDeviceVendor=Other\n;EDIF=X\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TDeviceFamilyRegistry registry;
    registry.AmendFromPluginFolders({Folder(c.Name, c.Config)});
    EXPECT_EQ(registry.VendorName("MachXO2"), "Lattice");
    EXPECT_EQ(registry.EDIF("MachXO2"), "MACHXO2");
    EXPECT_EQ(registry.Count(), 77u);
  }
}

TEST_F(DeviceFamilyRegistryConfig, LaterFolderWinsAndMissingFilesAreSkipped) {
  TDeviceFamilyRegistry registry;
  registry.AmendFromPluginFolders({
      Folder("first", "[General]\nDeviceFamily=XP2\nDeviceVendor=First\nEDIF=ONE\n"),
      (root_ / "does-not-exist" / "").string(),
      Folder("second", "[General]\nDeviceFamily=XP2\nDeviceVendor=Second\nEDIF=TWO\n"),
  });
  EXPECT_EQ(registry.VendorName("XP2"), "Second");
  EXPECT_EQ(registry.EDIF("XP2"), "TWO");
  EXPECT_FALSE(registry.AmendFromConfigFile((root_ / "nowhere.ini").string()));
}

TEST(DeviceFamilyConfigFile, ReadsValuesTheWayConfigurationFilesAreWritten) {
  hostsdk::TIniFile ini;
  ini.LoadFromText(
      "\xEF\xBB\xBF[General]\r\n"
      "Key = first \r\n"
      "key = second\r\n"
      "; Comment = no\r\n"
      "not a key line\r\n"
      "Empty=\r\n"
      "Path = C:\\Tools\\a=b\r\n"
      "[ Other ]\n"
      "Key=other\n");
  EXPECT_EQ(ini.Value("GENERAL", "KEY"), "first");
  EXPECT_EQ(ini.Value("general", "; Comment"), "");
  EXPECT_EQ(ini.Value("General", "Empty"), "");
  EXPECT_EQ(ini.Value("General", "Path"), "C:\\Tools\\a=b");
  EXPECT_EQ(ini.Value("other", "key"), "other");
  EXPECT_EQ(ini.Value("Missing", "Key"), "");

  ini.LoadFromText("[New]\nA=1\n");
  EXPECT_EQ(ini.Value("General", "Key"), "") << "loading replaces earlier contents";
  EXPECT_EQ(ini.Value("New", "A"), "1");
  EXPECT_FALSE(ini.Load("/nonexistent-folder/none.ini"));
  EXPECT_EQ(ini.Value("New", "A"), "") << "a failed load leaves nothing behind";
}

}  // namespace
}  // namespace machxo2

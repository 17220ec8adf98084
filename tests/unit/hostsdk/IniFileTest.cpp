// Configuration files are found by UTF-8 path: the module's folder may have
// any name, and its device-family file must still load from there.
#include <gtest/gtest.h>

#include <filesystem>

#include "hostsdk/IniFile.h"
#include "hostsdk/Utf8Path.h"
#include "tests/unit/support/ScratchFolder.h"

namespace {

using testsupport::ScratchFolder;

TEST(IniFile, LoadsFromAFolderWhoseNameIsNotAscii) {
  ScratchFolder folder;
  // "Jörg Ŝ", outside every single-byte code page at once.
  const std::string subfolder = folder.File("J\xC3\xB6rg \xC5\x9C");
  std::filesystem::create_directory(hostsdk::PathFromUtf8(subfolder));
  const std::string file = subfolder + "/TalvoConfig.ini";
  testsupport::WriteWholeFile(file, "[General]\nDeviceFamily=XO2\n");
  hostsdk::TIniFile ini;
  ASSERT_TRUE(ini.Load(file));
  EXPECT_EQ(ini.Value("General", "DeviceFamily"), "XO2");
}

}  // namespace

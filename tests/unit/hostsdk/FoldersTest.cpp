#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "hostsdk/HostModules.h"
#include "hostsdk/Utf8Path.h"

namespace {

TEST(FoldersTest, EnsureTrailingAppendsOnlyWhenMissing) {
  EXPECT_EQ(hostsdk::EnsureTrailing("C:\\Host", '\\'), "C:\\Host\\");
  EXPECT_EQ(hostsdk::EnsureTrailing("C:\\Host\\", '\\'), "C:\\Host\\");
  EXPECT_EQ(hostsdk::EnsureTrailing("", ';'), ";");
  // An unknown folder must not turn into the root.
  EXPECT_EQ(hostsdk::EnsureTrailingSeparator(""), "");
}

TEST(FoldersTest, FoldersEndWithASeparatorAndNameTheirSubfolders) {
  const std::string sep(1, hostsdk::kPathSeparator);
  const std::string host = hostsdk::HostFolder();
  ASSERT_FALSE(host.empty());
  EXPECT_TRUE(host.ends_with(sep));
  EXPECT_EQ(hostsdk::HostSystemFolder(), host + "System" + sep);
  // The unit tests link the module's code into the program itself.
  EXPECT_TRUE(std::filesystem::equivalent(hostsdk::PathFromUtf8(hostsdk::ModuleFolder()).parent_path(),
                                          hostsdk::PathFromUtf8(host).parent_path()));
  EXPECT_EQ(hostsdk::ModuleLibraryFolder(), hostsdk::ModuleFolder() + "Library" + sep);
  EXPECT_TRUE(hostsdk::TempFolder().ends_with(sep));
}

#ifndef _WIN32
TEST(FoldersTest, TempFolderFollowsTmpdir) {
  const char* saved = std::getenv("TMPDIR");
  const std::string restore = saved ? saved : "";
  setenv("TMPDIR", "/var/scratch", 1);
  EXPECT_EQ(hostsdk::TempFolder(), "/var/scratch/");
  unsetenv("TMPDIR");
  EXPECT_EQ(hostsdk::TempFolder(), "/tmp/");
  if (saved) setenv("TMPDIR", restore.c_str(), 1);
}
#endif

}  // namespace

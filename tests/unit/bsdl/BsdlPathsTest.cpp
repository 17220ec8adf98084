#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "bsdl/BSDLEntity.h"
#include "bsdl/BsdlPaths.h"
#include "bsdl/BsdlReader.h"
#include "hostsdk/HostModules.h"
#include "tests/unit/support/ScratchFolder.h"

namespace {

using bsdl::TBSDLEntity;
using testsupport::ReadWholeFile;
using testsupport::ScratchFolder;
using testsupport::WriteWholeFile;

const std::string kSep(1, hostsdk::kPathSeparator);

std::string Fixture(const std::string& name) {
  return std::string(MXO2_FIXTURES_DIR) + "/bsdl/" + name;
}

TEST(BsdlPathsTest, DetermineFullPathPlacesRelativeNamesInTheLibrary) {
  const std::string expectedTail = "BSDL" + kSep + "Lattice" + kSep + "MachXO2" + kSep + "x.bsd";
  EXPECT_EQ(TBSDLEntity::DetermineFullPath("x.bsd", "Lattice", "MachXO2", "lib"),
            "lib" + kSep + expectedTail);
  EXPECT_EQ(TBSDLEntity::DetermineFullPath("x.bsd", "Lattice", "MachXO2", "lib" + kSep),
            "lib" + kSep + expectedTail);
  // Without a library folder: the module's own "Library" folder.
  EXPECT_EQ(TBSDLEntity::DetermineFullPath("x.bsd", "Lattice", "MachXO2", ""),
            hostsdk::ModuleFolder() + "Library" + kSep + expectedTail);
#ifdef _WIN32
  for (const char* absolute : {"C:\\bsdl\\x.bsd", "D:x.bsd", "\\\\server\\share\\x.bsd"})
    EXPECT_EQ(TBSDLEntity::DetermineFullPath(absolute, "Lattice", "MachXO2", "lib"), absolute);
  // One leading backslash has no drive: it still counts as relative.
  EXPECT_EQ(TBSDLEntity::DetermineFullPath("\\x.bsd", "V", "F", "L"), "L\\BSDL\\V\\F\\\\x.bsd");
#else
  EXPECT_EQ(TBSDLEntity::DetermineFullPath("/opt/bsdl/x.bsd", "Lattice", "MachXO2", "lib"),
            "/opt/bsdl/x.bsd");
  EXPECT_EQ(TBSDLEntity::DetermineFullPath("sub/x.bsd", "V", "F", "/L"), "/L/BSDL/V/F/sub/x.bsd");
#endif
}

TEST(BsdlPathsTest, FileNameHelpers) {
  EXPECT_EQ(bsdl::FileNamePart("a" + kSep + "b" + kSep + "c.bsd"), "c.bsd");
  EXPECT_EQ(bsdl::FileNamePart("a" + kSep), "");
  EXPECT_EQ(bsdl::ChangeFileExt("a" + kSep + "c.bsd", ".Zip"), "a" + kSep + "c.Zip");
  EXPECT_EQ(bsdl::ChangeFileExt("a.d" + kSep + "c", ".Zip"), "a.d" + kSep + "c.Zip");
  EXPECT_EQ(bsdl::ChangeFileExt("c.tar.bsd", ".Zip"), "c.tar.Zip");
}

class FindBsdlTest : public testing::Test {
 protected:
  std::string Library(const std::string& name) const { return library_.File(name); }
  std::string Temp(const std::string& name) const { return temp_.File(name); }
  std::string TempFolder() const { return temp_.File(""); }
  std::string Find(const std::string& source) const {
    return TBSDLEntity::FindFullBSDLPath(source, TempFolder());
  }
  void PlaceZip(const std::string& zipName) const {
    std::filesystem::copy_file(Fixture("zipped_chip.zip"), library_.Path() / zipName);
  }

  ScratchFolder library_;
  ScratchFolder temp_;
};

TEST_F(FindBsdlTest, EmptyNamesFindNothing) {
  EXPECT_EQ(Find(""), "");
  EXPECT_EQ(Find(Library("")), "");
}

TEST_F(FindBsdlTest, TheFileItselfComesFirstThenItsTemporaryCopy) {
  WriteWholeFile(Library("chip.bsd"), "source");
  WriteWholeFile(Temp("chip.bsd"), "copy");
  EXPECT_EQ(Find(Library("chip.bsd")), Library("chip.bsd"));
  std::filesystem::remove(library_.Path() / "chip.bsd");
  EXPECT_EQ(Find(Library("chip.bsd")), Temp("chip.bsd"));
  EXPECT_EQ(Find(Library("other.bsd")), "");
}

TEST_F(FindBsdlTest, AZipBesideTheMissingFileIsUnpackedIntoTheTemporaryFolder) {
  PlaceZip("zipped_chip.Zip");
  WriteWholeFile(Temp("readme.txt"), "an older file of the same name");
  const std::string found = Find(Library("zipped_chip.bsd"));
  ASSERT_EQ(found, Temp("zipped_chip.bsd"));
  // Every file comes out, without its stored folder, replacing old copies.
  EXPECT_EQ(ReadWholeFile(Temp("readme.txt")), "Stored, not deflated.\n");
  EXPECT_FALSE(std::filesystem::exists(temp_.Path() / "bsdl"));
  EXPECT_EQ(bsdl::ReadBsdlFile(found)->Name(), "TINYPLD_Q24");
  // A zip that lacks the wanted file yields nothing.
  EXPECT_EQ(Find(Library("zipped_chip.dat")), "");
}

#ifndef _WIN32
// Windows matches ".Zip" in any letter case; elsewhere the usual spellings
// are tried so the same archive is found.
TEST_F(FindBsdlTest, LowerCaseZipIsFoundOnCaseSensitiveFileSystems) {
  PlaceZip("zipped_chip.zip");
  EXPECT_EQ(Find(Library("zipped_chip.bsd")), Temp("zipped_chip.bsd"));
}

TEST_F(FindBsdlTest, WithoutAFolderTheSystemTemporaryFolderIsUsed) {
  PlaceZip("zipped_chip.Zip");
  const char* saved = std::getenv("TMPDIR");
  const std::string restore = saved ? saved : "";
  setenv("TMPDIR", TempFolder().c_str(), 1);
  const std::string found = TBSDLEntity::FindFullBSDLPath(Library("zipped_chip.bsd"));
  if (saved)
    setenv("TMPDIR", restore.c_str(), 1);
  else
    unsetenv("TMPDIR");
  EXPECT_EQ(found, Temp("zipped_chip.bsd"));
}
#endif

TEST_F(FindBsdlTest, AnUnreadableZipFindsNothing) {
  WriteWholeFile(Library("broken.Zip"), "PK this is not an archive");
  EXPECT_EQ(Find(Library("broken.bsd")), "");
  EXPECT_FALSE(std::filesystem::exists(temp_.Path() / "broken.bsd"));
}

}  // namespace

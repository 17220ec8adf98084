#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "bsdl/BsdlPaths.h"
#include "bsdl/Inflate.h"
#include "bsdl/ZipReader.h"
#include "tests/unit/support/ScratchFolder.h"

namespace {

using bsdl::EInflate;
using bsdl::EZipFormat;
using bsdl::TZipReader;
using testsupport::ReadWholeFile;
using testsupport::ScratchFolder;

std::string FixtureZip() {
  return ReadWholeFile(std::string(MXO2_FIXTURES_DIR) + "/bsdl/zipped_chip.zip");
}

// Reads and unpacks everything; only EZipFormat may come out.
void ReadEverything(std::string bytes) {
  try {
    const TZipReader archive(std::move(bytes));
    for (const auto& entry : archive.Entries()) {
      try {
        archive.Extract(entry);
      } catch (const EZipFormat&) {
      }
    }
  } catch (const EZipFormat&) {
  }
}

TEST(ZipReaderTest, Crc32MatchesTheZipPolynomial) {
  EXPECT_EQ(bsdl::Crc32(""), 0u);
  EXPECT_EQ(bsdl::Crc32("123456789"), 0xCBF43926u);
}

TEST(ZipReaderTest, ReadsStoredAndDeflatedEntriesOfTheFixture) {
  const TZipReader archive(FixtureZip());
  ASSERT_EQ(archive.Entries().size(), 3u);
  EXPECT_TRUE(archive.Entries()[0].IsFolder());
  const auto& bsd = archive.Entries()[1];
  EXPECT_EQ(bsd.name, "bsdl/zipped_chip.bsd");
  EXPECT_EQ(bsd.FileName(), "zipped_chip.bsd");
  EXPECT_EQ(bsd.method, 8);
  EXPECT_EQ(archive.Extract(bsd).size(), bsd.uncompressedSize);
  EXPECT_EQ(archive.Extract(archive.Entries()[2]), "Stored, not deflated.\n");
}

// Every truncation and every single corrupted byte of a real archive ends
// in EZipFormat or in data that passed its CRC check, never in a crash.
TEST(ZipReaderTest, DamagedArchivesFailCleanly) {
  const std::string archive = FixtureZip();
  for (size_t size = 0; size < archive.size(); ++size) ReadEverything(archive.substr(0, size));
  for (size_t at = 0; at < archive.size(); ++at) {
    std::string damaged = archive;
    damaged[at] = static_cast<char>(damaged[at] ^ 0x5A);
    ReadEverything(damaged);
  }
  EXPECT_THROW(TZipReader(std::string("PK\x05\x06", 4)), EZipFormat);
  EXPECT_THROW(TZipReader(std::string(100, '\0')), EZipFormat);
}

TEST(ZipReaderTest, InflateRefusesMalformedStreamsAndOversizedOutput) {
  EXPECT_THROW(bsdl::Inflate("", 100), EInflate);
  EXPECT_THROW(bsdl::Inflate("\x07", 100), EInflate);  // reserved block type
  // A stored block whose length and complement disagree.
  EXPECT_THROW(bsdl::Inflate(std::string("\x01\x05\x00\x00\x00hello", 10), 100), EInflate);
  EXPECT_EQ(bsdl::Inflate(std::string("\x01\x05\x00\xFA\xFFhello", 10), 100), "hello");
  EXPECT_THROW(bsdl::Inflate(std::string("\x01\x05\x00\xFA\xFFhello", 10), 4), EInflate);

  std::mt19937 random(1951);
  for (int trial = 0; trial < 20000; ++trial) {
    std::string noise(1 + random() % 64, '\0');
    for (char& c : noise) c = static_cast<char>(random());
    try {
      EXPECT_LE(bsdl::Inflate(noise, 4096).size(), 4096u);
    } catch (const EInflate&) {
    }
  }
}

void PutLE(std::string& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// A stored entry whose data every one of `names` shares: each central
// directory entry points at the same local header.
std::string ArchiveSharingOneEntry(const std::string& data, const std::vector<std::string>& names) {
  const auto size = static_cast<uint32_t>(data.size());
  const uint32_t crc = bsdl::Crc32(data);
  std::string zip;
  PutLE(zip, 0x04034b50, 4);
  PutLE(zip, 20, 2), PutLE(zip, 0, 2), PutLE(zip, 0, 2), PutLE(zip, 0, 4);
  PutLE(zip, crc, 4), PutLE(zip, size, 4), PutLE(zip, size, 4);
  PutLE(zip, 1, 2), PutLE(zip, 0, 2);
  zip += "x" + data;
  const auto directoryOffset = static_cast<uint32_t>(zip.size());
  for (const std::string& name : names) {
    PutLE(zip, 0x02014b50, 4);
    PutLE(zip, 20, 2), PutLE(zip, 20, 2), PutLE(zip, 0, 2), PutLE(zip, 0, 2), PutLE(zip, 0, 4);
    PutLE(zip, crc, 4), PutLE(zip, size, 4), PutLE(zip, size, 4);
    PutLE(zip, static_cast<uint32_t>(name.size()), 2);
    PutLE(zip, 0, 2), PutLE(zip, 0, 2), PutLE(zip, 0, 2), PutLE(zip, 0, 2), PutLE(zip, 0, 4);
    PutLE(zip, 0, 4);  // every entry's local header
    zip += name;
  }
  const auto directorySize = static_cast<uint32_t>(zip.size()) - directoryOffset;
  PutLE(zip, 0x06054b50, 4);
  PutLE(zip, 0, 2), PutLE(zip, 0, 2);
  const auto count = static_cast<uint32_t>(names.size());
  PutLE(zip, count, 2), PutLE(zip, count, 2);
  PutLE(zip, directorySize, 4), PutLE(zip, directoryOffset, 4), PutLE(zip, 0, 2);
  return zip;
}

// Entries that share their data let a small archive name far more than it
// holds; unpacking stops at the archive's budget.
TEST(ZipReaderTest, UnpackingStopsAtTheBudgetWhenEntriesShareTheirData) {
  ScratchFolder folder;
  const std::string data(1000, 'B');
  const std::string zipPath = folder.File("shared.zip");
  testsupport::WriteWholeFile(zipPath,
                              ArchiveSharingOneEntry(data, {"a.bsd", "b.bsd", "c.bsd", "d.bsd"}));
  const std::string target = folder.File("out");
  std::filesystem::create_directories(target);

  const auto failures = bsdl::UnpackZipFlat(zipPath, target, 2500);
  ASSERT_EQ(failures.size(), 2u);
  EXPECT_NE(failures[0].find("c.bsd: the archive unpacks to more than 2500 bytes"),
            std::string::npos)
      << failures[0];
  EXPECT_EQ(ReadWholeFile(target + "/a.bsd"), data);
  EXPECT_EQ(ReadWholeFile(target + "/b.bsd"), data);
  EXPECT_FALSE(std::filesystem::exists(target + "/c.bsd"));
  EXPECT_FALSE(std::filesystem::exists(target + "/d.bsd"));
}

// Archives written by Python's zipfile and raw streams from zlib cover the
// block kinds (stored, fixed and dynamic Huffman) and long back references.
// The archives are made once for the suite.
class ZipPythonArchiveTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (std::system("python3 -c \"import zipfile, zlib\" >/dev/null 2>&1") != 0) return;
    folder_ = new ScratchFolder;
    const std::string script = folder_->File("make.py");
    testsupport::WriteWholeFile(script, R"PY(
import os, random, sys, zipfile, zlib
out = sys.argv[1]
rng = random.Random(7)
samples = {
    'empty.txt': b'',
    'text.bsd': b''.join(b'"%d (BC_1, P%d, input, X), " &\n' % (i, i) for i in range(3000)),
    'noise.bin': rng.randbytes(70000),
    'runs.bin': b'A' * 100000 + b'BC' * 40000,
}
for name, data in samples.items():
    with open(os.path.join(out, 'expected_' + name), 'wb') as f:
        f.write(data)
for label, method, level in (('stored', zipfile.ZIP_STORED, None),
                             ('fast', zipfile.ZIP_DEFLATED, 1),
                             ('best', zipfile.ZIP_DEFLATED, 9)):
    kwargs = {} if level is None else {'compresslevel': level}
    with zipfile.ZipFile(os.path.join(out, label + '.zip'), 'w', method, **kwargs) as z:
        for name, data in samples.items():
            z.writestr('folder/' + name, data)
with zipfile.ZipFile(os.path.join(out, 'escape.zip'), 'w') as z:
    for name in ('../up.txt', '/root.txt', 'a\\..\\back.txt', '..'):
        z.writestr(zipfile.ZipInfo(name), name.encode())
for name, data in samples.items():
    c = zlib.compressobj(6, zlib.DEFLATED, -15, 9, zlib.Z_FIXED)
    with open(os.path.join(out, 'fixed_' + name + '.raw'), 'wb') as f:
        f.write(c.compress(data) + c.flush())
)PY");
    made_ = std::system(("python3 \"" + script + "\" \"" + folder_->File("") + "\"").c_str()) == 0;
  }
  static void TearDownTestSuite() {
    delete folder_;
    folder_ = nullptr;
  }
  void SetUp() override {
    if (!folder_) GTEST_SKIP() << "python3 is not available";
    ASSERT_TRUE(made_) << "the archive script failed";
  }

  static std::string File(const std::string& name) { return folder_->File(name); }
  static std::string Expected(const std::string& name) {
    return ReadWholeFile(File("expected_" + name));
  }

  static inline ScratchFolder* folder_ = nullptr;
  static inline bool made_ = false;
};

TEST_F(ZipPythonArchiveTest, EveryEntryUnpacksToWhatWasStored) {
  for (const char* label : {"stored", "fast", "best"}) {
    SCOPED_TRACE(label);
    const TZipReader archive = TZipReader::FromFile(File(std::string(label) + ".zip"));
    ASSERT_EQ(archive.Entries().size(), 4u);
    for (const auto& entry : archive.Entries())
      EXPECT_EQ(archive.Extract(entry), Expected(entry.FileName())) << entry.name;
  }
}

TEST_F(ZipPythonArchiveTest, FixedHuffmanStreamsInflate) {
  for (const char* name : {"empty.txt", "text.bsd", "noise.bin", "runs.bin"}) {
    const std::string raw = ReadWholeFile(File("fixed_" + std::string(name) + ".raw"));
    EXPECT_EQ(bsdl::Inflate(raw, 1 << 20), Expected(name)) << name;
  }
}

TEST_F(ZipPythonArchiveTest, UnpackingFlatWritesEveryFileIntoTheFolder) {
  ScratchFolder target;
  EXPECT_TRUE(bsdl::UnpackZipFlat(File("best.zip"), target.File("")).empty());
  for (const char* name : {"empty.txt", "text.bsd", "noise.bin", "runs.bin"})
    EXPECT_EQ(ReadWholeFile(target.File(name)), Expected(name)) << name;
}

// Stored folders are dropped, so no entry lands outside the folder.
TEST_F(ZipPythonArchiveTest, EntriesCannotEscapeTheFolder) {
  ScratchFolder outer;
  const std::string inner = outer.File("inner");
  std::filesystem::create_directories(inner);
  const auto failures = bsdl::UnpackZipFlat(File("escape.zip"), inner);
  ASSERT_EQ(failures.size(), 1u);  // the entry named ".."
  EXPECT_EQ(ReadWholeFile(inner + "/up.txt"), "../up.txt");
  EXPECT_EQ(ReadWholeFile(inner + "/root.txt"), "/root.txt");
  EXPECT_EQ(ReadWholeFile(inner + "/back.txt"), "a\\..\\back.txt");
  size_t outside = 0;
  for (const auto& item : std::filesystem::directory_iterator(outer.Path()))
    outside += item.path().filename() != "inner";
  EXPECT_EQ(outside, 0u);
}

}  // namespace

// The JEDEC row walk: which rows are shifted, which are passed over, where
// the feature line is, and where a file that ends too early fails.
#include "jtag/JedecReader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/JedecFixtures.h"

namespace {

using jtag::EJedecFileError;
using jtag::TJedecFile;
using jtag::TJedecRowWalk;

struct WalkResult {
  std::vector<std::string> shifted;
  size_t skipped = 0;
  std::string feature;
  size_t failedLine = 0;  // the line an EJedecFileError named, 0 when none
};

WalkResult WalkAll(const TJedecFile& file) {
  WalkResult result;
  TJedecRowWalk walk(file);
  if (!walk.HasRows()) return result;
  try {
    for (;;) {
      const TJedecRowWalk::TStep step = walk.Next();
      if (step == TJedecRowWalk::TStep::EndOfRows) break;
      if (step == TJedecRowWalk::TStep::ShiftRow) result.shifted.push_back(walk.RowBits());
      if (step == TJedecRowWalk::TStep::SkipRow) ++result.skipped;
    }
    result.feature = walk.FeatureBits();
  } catch (const EJedecFileError& error) {
    result.failedLine = error.Line();
  }
  return result;
}

WalkResult WalkText(const std::string& text) {
  return WalkAll(TJedecFile::FromBytes(text, "case.jed"));
}

std::string Lines(std::initializer_list<const char*> lines) {
  std::string text;
  for (const char* line : lines) text += std::string(line) + "\n";
  return text;
}

TEST(JedecRowWalk, Cases) {
  struct Case {
    const char* name;
    std::string text;
    std::vector<std::string> shifted;
    size_t skipped;
    std::string feature;
    size_t failedLine;
  };
  const Case cases[] = {
      {"no row line at all", Lines({"NOTE only notes*", "*", "", "UH0*"}), {}, 0, "", 0},
      {"one block; rows are reversed",
       Lines({"L0", "0111", "0011", "*", "C0000*", "NOTE FEATURE_ROW*", "E0011", "rest"}),
       {"1110", "1100"}, 0, "1100", 0},
      {"the memory initialisation block is shifted after the configuration rows",
       Lines({"L0", "01", "*", "NOTE EBR_INIT DATA*", "L100", "11", "10", "*", "C*", "N*",
              "E01"}),
       {"10", "11", "01"}, 0, "10", 0},
      {"the user flash block is counted but not shifted",
       Lines({"L0", "01", "*", "NOTE END CONFIG DATA*", "L100", "11", "10", "*", "C*", "N*",
              "E01"}),
       {"10"}, 2, "10", 0},
      {"memory initialisation, then user flash",
       Lines({"L0", "001", "*", "NOTE EBR_INIT DATA*", "L9", "011", "*", "NOTE END CONFIG DATA*",
              "L12", "111", "*", "C*", "N*", "E100"}),
       {"100", "110"}, 1, "001", 0},
      {"a non-row line right after the user flash marker clears the skip",
       Lines({"L0", "01", "*", "NOTE END CONFIG DATA*", "L100", "*", "NOTE EBR_INIT DATA*", "L9",
              "0001", "*", "C*", "N*", "E1"}),
       {"10", "1000"}, 0, "1", 0},
      {"markers are compared case-sensitively at the start of the line",
       Lines({"L0", "01", "*", "note ebr_init data*", "L9", "E1", "11"}), {"10"}, 0, "1", 0},
      {"an empty line is a non-row line", Lines({"1", "", "x", "y", "E10"}), {"1"}, 0, "01", 0},
      {"cut inside the rows: the line after the last row is missing",
       Lines({"L0", "01", "10"}), {"10", "01"}, 0, "", 4},
      {"cut after a closing line: its follower is missing", Lines({"L0", "01", "*"}), {"10"}, 0,
       "", 4},
      {"cut before the feature line", Lines({"L0", "01", "*", "C*", "N*"}), {"10"}, 0, "", 6},
      {"cut inside the passed-over user flash rows",
       Lines({"L0", "01", "*", "NOTE END CONFIG DATA*", "L100", "11"}), {"10"}, 1, "", 7},
      {"binary bytes are lines like any other",
       std::string("\x7f" "ELF\x02\x01\n1\x00\xff\n\x00\x00\n", 14),
       {std::string("\xff\x00" "1", 3)}, 0, "", 4},
  };
  for (const Case& c : cases) {
    const WalkResult result = WalkText(c.text);
    EXPECT_EQ(result.shifted, c.shifted) << c.name;
    EXPECT_EQ(result.skipped, c.skipped) << c.name;
    EXPECT_EQ(result.feature, c.feature) << c.name;
    EXPECT_EQ(result.failedLine, c.failedLine) << c.name;
  }
}

TEST(JedecRowWalk, FileWithoutRowsHasNothingToWalk) {
  const TJedecFile file = TJedecFile::FromBytes(Lines({"NOTE*", "E0101"}), "none.jed");
  EXPECT_FALSE(TJedecRowWalk(file).HasRows());
  EXPECT_FALSE(TJedecRowWalk(TJedecFile::FromBytes("", "empty.jed")).HasRows());
}

TEST(JedecRowWalk, FeatureLineOf64BitsPutsItsSecondCharacterFirstOnTheWire) {
  const std::string bits = "1" + std::string(62, '0') + "0";  // line's 2nd char 1, last 0
  const WalkResult result = WalkText(Lines({"1", "*", "C*", "N*"}) + "E" + bits + "\n");
  ASSERT_EQ(result.feature.size(), 64u);
  EXPECT_EQ(result.feature.back(), '1');   // shifted first
  EXPECT_EQ(result.feature.front(), '0');  // shifted last
  EXPECT_EQ(result.feature, std::string(bits.rbegin(), bits.rend()));
}

TEST(JedecRowWalk, EndOfRowsRepeatsOnceReached) {
  const TJedecFile file = TJedecFile::FromBytes(Lines({"1", "*", "C*", "N*", "E01"}), "a.jed");
  TJedecRowWalk walk(file);
  EXPECT_EQ(walk.Next(), TJedecRowWalk::TStep::ShiftRow);
  EXPECT_EQ(walk.Next(), TJedecRowWalk::TStep::EndOfRows);
  EXPECT_EQ(walk.Next(), TJedecRowWalk::TStep::EndOfRows);
  EXPECT_EQ(walk.FeatureBits(), "10");
}

TEST(JedecFileText, LineEndsAndByteOrderMarks) {
  const std::vector<std::string> lines = {"L0", "0111", "", "C*", "N*", "E0011"};
  const auto join = [&](const std::string& end) {
    std::string text;
    for (const std::string& line : lines) text += line + end;
    return text;
  };
  const auto utf16 = [](const std::string& ascii, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char c : ascii) {
      bytes += bigEndian ? '\0' : c;
      bytes += bigEndian ? c : '\0';
    }
    return bytes;
  };
  const std::pair<const char*, std::string> encodings[] = {
      {"LF", join("\n")},
      {"CR LF", join("\r\n")},
      {"CR", join("\r")},
      {"no final line end", join("\n").substr(0, join("\n").size() - 1)},
      {"UTF-8 mark", "\xEF\xBB\xBF" + join("\r\n")},
      {"UTF-16 LE mark", utf16(join("\r\n"), false)},
      {"UTF-16 BE mark", utf16(join("\n"), true)},
  };
  for (const auto& [name, bytes] : encodings) {
    const TJedecFile file = TJedecFile::FromBytes(bytes, "text.jed");
    EXPECT_EQ(file.LineCount(), lines.size()) << name;
    const WalkResult result = WalkAll(file);
    EXPECT_EQ(result.shifted, std::vector<std::string>{"1110"}) << name;
    EXPECT_EQ(result.feature, "1100") << name;
    EXPECT_EQ(result.failedLine, 0u) << name;
  }
}

TEST(JedecFileText, LinesAreKeptAsTheyAre) {
  const TJedecFile file = TJedecFile::FromBytes(" 01 \r\n\r\n\n\t1\r\r", "keep.jed");
  ASSERT_EQ(file.LineCount(), 5u);
  EXPECT_EQ(file.Line(0), " 01 ");  // not trimmed, so not a row line
  EXPECT_EQ(file.Line(1), "");
  EXPECT_EQ(file.Line(2), "");
  EXPECT_EQ(file.Line(3), "\t1");
  EXPECT_EQ(file.Line(4), "");
  EXPECT_FALSE(jtag::IsRowLine(file.Line(0)));
}

TEST(JedecFileText, OddUtf16IsDecodedWithoutFailing) {
  // A lone surrogate and a dangling last byte become replacement characters.
  const TJedecFile file = TJedecFile::FromBytes(std::string("\xFF\xFE" "1\0\x00\xD8\n\0" "0", 9),
                                                "odd.jed");
  ASSERT_EQ(file.LineCount(), 2u);
  EXPECT_EQ(file.Line(0), "1\xEF\xBF\xBD");
  EXPECT_EQ(file.Line(1), "\xEF\xBF\xBD");
}

TEST(JedecFileLoad, ErrorsNameTheFileAndTheLine) {
  const std::string missing = jedecfixtures::Fixture("no-such-file.jed");
  try {
    TJedecFile::Load(missing);
    FAIL() << "a missing file loaded";
  } catch (const EJedecFileError& error) {
    EXPECT_EQ(error.FileName(), missing);
    EXPECT_EQ(error.Line(), 0u);
    EXPECT_NE(std::string(error.what()).find(missing), std::string::npos) << error.what();
  }
  EXPECT_THROW(TJedecFile::Load(jedecfixtures::Fixture("")), EJedecFileError);  // a folder

  const TJedecFile cut = TJedecFile::Load(jedecfixtures::Fixture("cut-in-user-flash.jed"));
  try {
    jtag::CheckRowStream(cut);
    FAIL() << "a cut file walked to its end";
  } catch (const EJedecFileError& error) {
    EXPECT_EQ(error.Line(), 19u);
    EXPECT_NE(std::string(error.what()).find("cut-in-user-flash.jed\", line 19"),
              std::string::npos)
        << error.what();
  }
}

TEST(JedecFileLoad, MiniatureFixture) {
  const TJedecFile file = TJedecFile::Load(jedecfixtures::Fixture("three-blocks.jed"));
  EXPECT_EQ(file.LineCount(), 27u);
  const WalkResult result = WalkAll(file);
  EXPECT_EQ(result.shifted,
            (std::vector<std::string>{"10000000", "11000000", "11100000", "00000001"}));
  EXPECT_EQ(result.skipped, 2u);
  EXPECT_EQ(result.feature, std::string(60, '0') + "0011");
}

TEST(JedecFileLoad, VendorSample) {
  const std::string sample = jedecfixtures::VendorSample();
  if (sample.empty()) GTEST_SKIP() << "the vendor sample is not beside the repository";
  const TJedecFile file = TJedecFile::Load(sample);
  EXPECT_EQ(file.LineCount(), jedecfixtures::kSampleLines);
  const jtag::TJedecRowCounts counts = jtag::CheckRowStream(file);
  EXPECT_EQ(counts.shifted, jedecfixtures::kSampleConfigurationRows);
  EXPECT_EQ(counts.skipped, jedecfixtures::kSampleUserFlashRows);
  const WalkResult result = WalkAll(file);
  ASSERT_EQ(result.shifted.size(), jedecfixtures::kSampleConfigurationRows);
  // The first configuration row (line 27), reversed.
  const std::string first = file.Line(26);
  EXPECT_EQ(first.size(), 128u);
  EXPECT_EQ(result.shifted.front(), std::string(first.rbegin(), first.rend()));
  EXPECT_EQ(result.feature, std::string(64, '0'));
}

}  // namespace

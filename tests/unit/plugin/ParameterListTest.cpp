#include "plugin/ParameterList.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "automation/WideText.h"

namespace plugin {
namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

Pairs PairsOf(const TParameterList& list) {
  Pairs pairs;
  for (size_t i = 0; i < list.Count(); ++i) pairs.emplace_back(list.Item(i).Name(), list.Item(i).Value());
  return pairs;
}

TParameterList Parsed(std::string_view text) {
  TParameterList list;
  list.SetState(text);
  return list;
}

// ---- Reading and writing ------------------------------------------------------

struct ParseCase {
  const char* text;
  Pairs expected;
};

const ParseCase kParseCases[] = {
    {"Class=Error|Text=a=b", {{"Class", "Error"}, {"Text", "a=b"}}},
    {" X = 1 |Y=", {{"X", "1"}, {"Y", ""}}},
    {"=5|Z=2", {{"Z", "2"}}},
    {"   =5|Z=2", {{"Z", "2"}}},
    {"A|B=1", {{"B", "1"}}},
    {"A=|B", {{"A", ""}}},
    {"A=1|", {{"A", "1"}}},
    {"|||", {}},
    {"", {}},
    {"a=1|A=2", {{"a", "1"}, {"A", "2"}}},
    {"\tTwo Words\r\n=\x01 v w \x1f", {{"Two Words", "v w"}}},
    // Bytes of multi-byte characters are not blanks, whatever the sign of char.
    {"Ma\xc3\x9f=Gr\xc3\xb6\xc3\x9f", {{"Ma\xc3\x9f", "Gr\xc3\xb6\xc3\x9f"}}},
};

TEST(ParameterListParse, YieldsTheExpectedPairs) {
  for (const auto& c : kParseCases) EXPECT_EQ(PairsOf(Parsed(c.text)), c.expected) << c.text;
}

TEST(ParameterListParse, WritingAndReadingBackKeepsEveryPair) {
  for (const auto& c : kParseCases) {
    const std::string written = Parsed(c.text).GetState_ToString();
    EXPECT_EQ(PairsOf(Parsed(written)), c.expected) << c.text << " -> " << written;
  }
}

TEST(ParameterListParse, SetStateReplacesThePreviousContent) {
  TParameterList list = Parsed("A=1|B=2");
  list.SetState_FromString("C=3");
  EXPECT_EQ(PairsOf(list), (Pairs{{"C", "3"}}));
}

struct WriteCase {
  Pairs added;
  const char* expected;
};

const WriteCase kWriteCases[] = {
    {{}, ""},
    {{{"Action", "Flash_ResetDevice"}}, "Action=Flash_ResetDevice"},
    {{{"N", ""}}, "N= "},
    {{{" A ", " 1 "}, {"N", "  "}, {"B", "x=y"}}, "A=1|N= |B=x=y"},
    {{{"  ", "dropped"}, {"", "dropped"}, {"K", "v"}}, "K=v"},
};

TEST(ParameterListWrite, WritesPairsInOrderWithABlankForEmptyValues) {
  for (const auto& c : kWriteCases) {
    TParameterList list;
    for (const auto& [name, value] : c.added) list.SetState_AddParameter(name, value);
    EXPECT_EQ(list.GetState(), c.expected);
    EXPECT_EQ(list.GetState_ToString(), c.expected);
  }
}

TEST(ParameterListWrite, ParsedTextIsWrittenBackUnchanged) {
  for (const char* text : {"Action=Flash_ResetDevice", "Class=Error|Text=a=b|N= "})
    EXPECT_EQ(Parsed(text).GetState_ToString(), text);
}

TEST(ParameterListWrite, TypedAddersWriteTheirTexts) {
  TParameterList list;
  list.SetState_AddParameterAsString("S", " s ");
  list.SetState_AddParameterAsBoolean("T", true);
  list.SetState_AddParameterAsBoolean("F", false);
  list.SetState_AddParameterAsInteger("I", std::numeric_limits<int32_t>::min());
  list.SetState_AddParameterAsInt64("L", std::numeric_limits<int64_t>::min());
  list.SetState_AddParameterAsDouble("D", -2.5);
  EXPECT_EQ(list.GetState(),
            "S=s|T=True|F=False|I=-2147483648|L=-9223372036854775808|D=-2.5");
}

// ---- Lookup and removal -------------------------------------------------------

TEST(ParameterListLookup, FindsTheFirstMatchIgnoringCaseAndBlanks) {
  TParameterList list = Parsed("a=1|A=2");
  ASSERT_EQ(list.Count(), 2u);
  for (const char* asked : {"A", "a", " a\t"}) {
    const TParameter* found = list.GetState_ParameterByName(asked);
    ASSERT_NE(found, nullptr) << asked;
    EXPECT_EQ(found->Value(), "1") << asked;
  }
  EXPECT_EQ(list.GetState_ParameterByName("b"), nullptr);
}

TEST(ParameterListLookup, RemovesOneMatchAtATime) {
  TParameterList list = Parsed("a=1|A=2|B=3");
  EXPECT_TRUE(list.SetState_RemoveByName("a"));
  EXPECT_EQ(list.GetState(), "A=2|B=3");
  EXPECT_TRUE(list.SetState_RemoveByName("A"));
  EXPECT_FALSE(list.SetState_RemoveByName("a"));
  EXPECT_EQ(list.GetState(), "B=3");
  list.ClearAllParameters();
  EXPECT_EQ(list.Count(), 0u);
  EXPECT_EQ(list.GetState(), "");
}

TEST(ParameterListLookup, FoundParameterStaysValidWhileTheListGrows) {
  TParameterList list = Parsed("First=1");
  const TParameter* first = list.GetState_ParameterByName("First");
  for (int i = 0; i < 100; ++i) list.SetState_AddParameterAsInteger("N", i);
  EXPECT_EQ(first->Value(), "1");
}

TEST(ParameterListLookup, StringGetterEmptiesTheValueWhenMissing) {
  const TParameterList list = Parsed("Text=a=b");
  std::string value = "stale";
  EXPECT_TRUE(list.GetState_ParameterAsString("text", value));
  EXPECT_EQ(value, "a=b");
  EXPECT_FALSE(list.GetState_ParameterAsString("Other", value));
  EXPECT_EQ(value, "");
}

TEST(ParameterListLookup, SettersOfAParameterTrim) {
  TParameter parameter(" n ", " v ");
  EXPECT_EQ(parameter.Name(), "n");
  EXPECT_EQ(parameter.Value(), "v");
  parameter.SetName("\tm\n");
  parameter.SetValue("  w  ");
  EXPECT_EQ(parameter.Name(), "m");
  EXPECT_EQ(parameter.Value(), "w");
}

// ---- Integers -----------------------------------------------------------------

struct IntegerCase {
  const char* value;
  std::optional<int64_t> expected;  // none: the text does not convert
};

const IntegerCase kLongIntCases[] = {
    {"42", 42},
    {" 42 ", 42},  // stored trimmed
    {"-7", -7},
    {"+7", 7},
    {"007", 7},
    {"$1F", 31},
    {"0x1f", 31},
    {"0X10", 16},
    {"2147483647", 2147483647},
    {"-2147483648", -2147483648LL},
    {"$FFFFFFFF", -1},  // hexadecimal is the bit pattern
    {"$7FFFFFFF", 2147483647},
    {"2147483648", std::nullopt},
    {"-2147483649", std::nullopt},
    {"$100000000", std::nullopt},
    {"12abc", std::nullopt},
    {"", std::nullopt},
    {"-", std::nullopt},
    {"+-5", std::nullopt},
    {"- 5", std::nullopt},
    {"1.5", std::nullopt},
    {"1e3", std::nullopt},
    {"$", std::nullopt},
    {"0x", std::nullopt},
    {"$-1", std::nullopt},
    {"$+1", std::nullopt},
    {"-$1F", std::nullopt},
    {"$1G", std::nullopt},
};

TEST(ParameterListIntegers, LongIntConvertsWholeValuesInRange) {
  for (const auto& c : kLongIntCases) {
    TParameterList list;
    list.SetState_AddParameter("N", c.value);
    int32_t value = 12345;
    int32_t alias = 12345;
    EXPECT_EQ(list.GetState_ParameterAsLongInt("N", value), c.expected.has_value()) << c.value;
    EXPECT_EQ(list.GetState_ParameterAsInteger("N", alias), c.expected.has_value()) << c.value;
    const int64_t expected = c.expected.value_or(12345);
    EXPECT_EQ(value, expected) << c.value;
    EXPECT_EQ(alias, expected) << c.value;
  }
}

const IntegerCase kInt64Cases[] = {
    {"9223372036854775807", std::numeric_limits<int64_t>::max()},
    {"-9223372036854775808", std::numeric_limits<int64_t>::min()},
    {"4294967296", 4294967296LL},
    {"$FFFFFFFFFFFFFFFF", -1},
    {"0x100000000", 4294967296LL},
    {"9223372036854775808", std::nullopt},
    {"$10000000000000000", std::nullopt},
    {"12abc", std::nullopt},
};

TEST(ParameterListIntegers, Int64ConvertsTheWiderRange) {
  for (const auto& c : kInt64Cases) {
    TParameterList list;
    list.SetState_AddParameter("N", c.value);
    int64_t value = 12345;
    EXPECT_EQ(list.GetState_ParameterAsInt64("N", value), c.expected.has_value()) << c.value;
    EXPECT_EQ(value, c.expected.value_or(12345)) << c.value;
  }
}

TEST(ParameterListIntegers, NarrowGettersKeepTheLowBits) {
  const TParameterList list = Parsed("B=300|W=70000|S=40000|M=-1|X=12abc|H=$1FF");
  uint8_t byte = 0;
  uint16_t word = 0;
  int16_t small = 0;
  EXPECT_TRUE(list.GetState_ParameterAsByte("B", byte));
  EXPECT_EQ(byte, 44);
  EXPECT_TRUE(list.GetState_ParameterAsByte("H", byte));
  EXPECT_EQ(byte, 0xFF);
  EXPECT_TRUE(list.GetState_ParameterAsWord("W", word));
  EXPECT_EQ(word, 70000 - 65536);
  EXPECT_TRUE(list.GetState_ParameterAsWord("M", word));
  EXPECT_EQ(word, 0xFFFF);
  EXPECT_TRUE(list.GetState_ParameterAsSmallInt("S", small));
  EXPECT_EQ(small, 40000 - 65536);

  byte = 7, word = 7, small = 7;
  for (const char* name : {"X", "Missing"}) {
    EXPECT_FALSE(list.GetState_ParameterAsByte(name, byte));
    EXPECT_FALSE(list.GetState_ParameterAsWord(name, word));
    EXPECT_FALSE(list.GetState_ParameterAsSmallInt(name, small));
  }
  EXPECT_EQ(byte, 7);
  EXPECT_EQ(word, 7);
  EXPECT_EQ(small, 7);
}

TEST(ParameterListIntegers, MissingParameterLeavesTheValue) {
  const TParameterList list = Parsed("A=1");
  int32_t value = 99;
  int64_t wide = 99;
  EXPECT_FALSE(list.GetState_ParameterAsLongInt("B", value));
  EXPECT_FALSE(list.GetState_ParameterAsInt64("B", wide));
  EXPECT_EQ(value, 99);
  EXPECT_EQ(wide, 99);
}

// ---- Reals --------------------------------------------------------------------

struct RealCase {
  const char* value;
  std::optional<double> expected;  // none: not a number
};

const RealCase kRealCases[] = {
    {"1.5", 1.5},
    {"-2.5e3", -2500},
    {"+2.5E-3", 0.0025},
    {"1E-5", 1e-5},
    {".5", 0.5},
    {"5.", 5},
    {"42", 42},
    {"0", 0},
    {"1e-400", 0},  // too small for a double reads as zero
    {"1,5", std::nullopt},
    {"1.5.2", std::nullopt},
    {"abc", std::nullopt},
    {"1e", std::nullopt},
    {"e5", std::nullopt},
    {".", std::nullopt},
    {"-", std::nullopt},
    {"$1F", std::nullopt},
    {"0x1p3", std::nullopt},
    {"1e400", std::nullopt},  // beyond any double
    {"1.5 x", std::nullopt},
};

TEST(ParameterListReals, DoubleConvertsOrRaisesWithContext) {
  for (const auto& c : kRealCases) {
    TParameterList list;
    list.SetState_AddParameter("Freq", c.value);
    double value = -1;
    if (c.expected) {
      EXPECT_TRUE(list.GetState_ParameterAsDouble("Freq", value)) << c.value;
      EXPECT_DOUBLE_EQ(value, *c.expected) << c.value;
      continue;
    }
    try {
      list.GetState_ParameterAsDouble("Freq", value);
      ADD_FAILURE() << "no error for " << c.value;
    } catch (const EParameterConversionError& error) {
      const std::string message = error.what();
      EXPECT_NE(message.find("Freq"), std::string::npos) << message;
      EXPECT_NE(message.find(c.value), std::string::npos) << message;
    }
    EXPECT_EQ(value, -1) << c.value;
  }
}

TEST(ParameterListReals, RealReportsFalseInsteadOfRaising) {
  for (const auto& c : kRealCases) {
    TParameterList list;
    list.SetState_AddParameter("Freq", c.value);
    float value = -1;
    EXPECT_EQ(list.GetState_ParameterAsReal("Freq", value), c.expected.has_value()) << c.value;
    EXPECT_FLOAT_EQ(value, static_cast<float>(c.expected.value_or(-1))) << c.value;
  }
}

TEST(ParameterListReals, RealRejectsValuesBeyondItsRange) {
  const TParameterList list = Parsed("Big=1e39|Fits=3e38");
  float value = -1;
  EXPECT_FALSE(list.GetState_ParameterAsReal("Big", value));
  EXPECT_EQ(value, -1);
  EXPECT_TRUE(list.GetState_ParameterAsReal("Fits", value));
  EXPECT_FLOAT_EQ(value, 3e38f);
}

TEST(ParameterListReals, MissingParameterIsFalseWithoutRaising) {
  const TParameterList list = Parsed("A=x");
  double value = 7;
  float single = 7;
  EXPECT_FALSE(list.GetState_ParameterAsDouble("B", value));
  EXPECT_FALSE(list.GetState_ParameterAsReal("B", single));
  EXPECT_EQ(value, 7);
  EXPECT_EQ(single, 7);
}

struct FormatCase {
  double value;
  const char* expected;
};

const FormatCase kFormatCases[] = {
    {0, "0"},
    {1, "1"},
    {-2.5, "-2.5"},
    {0.1, "0.1"},
    {1.0 / 3, "0.333333333333333"},
    {2.0 / 3, "0.666666666666667"},
    {123456789012345, "123456789012345"},
    {1e15, "1E15"},
    {1234567890123456, "1.23456789012346E15"},
    {1e20, "1E20"},
    {-1e20, "-1E20"},
    {0.0001, "0.0001"},
    {0.00001, "1E-5"},
    {-1.5e-7, "-1.5E-7"},
    {1e-300, "1E-300"},
    {1.797693134862e308, "1.797693134862E308"},
    // Rounded to 15 digits the largest double would not read back.
    {std::numeric_limits<double>::max(), "1.7976931348623157E308"},
    {std::numeric_limits<double>::lowest(), "-1.7976931348623157E308"},
    {std::numeric_limits<double>::denorm_min(), "4.94065645841247E-324"},
    {100, "100"},
    {12.5e6, "12500000"},
    {std::numeric_limits<double>::infinity(), "INF"},
    {-std::numeric_limits<double>::infinity(), "-INF"},
    {std::numeric_limits<double>::quiet_NaN(), "NAN"},
};

TEST(ParameterDoubleFormat, WritesGeneralFormatWithFifteenDigits) {
  for (const auto& c : kFormatCases) {
    TParameterList list;
    list.SetState_AddParameterAsDouble("D", c.value);
    EXPECT_EQ(list.Item(0).Value(), c.expected);
    EXPECT_EQ(FormatParameterDouble(c.value), c.expected);
  }
}

TEST(ParameterDoubleFormat, WrittenValuesReadBack) {
  for (const auto& c : kFormatCases) {
    TParameterList list;
    list.SetState_AddParameterAsDouble("D", c.value);
    double back = 0;
    ASSERT_TRUE(list.GetState_ParameterAsDouble("D", back)) << c.expected;
    if (std::isnan(c.value)) {
      EXPECT_TRUE(std::isnan(back));
    } else if (std::isinf(c.value)) {
      EXPECT_EQ(back, c.value);
    } else {
      EXPECT_NEAR(back, c.value, std::fabs(c.value) * 1e-14) << c.expected;
    }
  }
}

// ---- Booleans -----------------------------------------------------------------

struct BooleanCase {
  const char* value;
  bool expected;
};

const BooleanCase kBooleanCases[] = {
    {"True", true}, {"TRUE", true}, {"true", true}, {" tRuE ", true},
    {"1", false},   {"Yes", false}, {"False", false}, {"", false}, {"Truth", false},
};

TEST(ParameterListBooleans, OnlyTrueInAnyCaseIsTrue) {
  for (const auto& c : kBooleanCases) {
    TParameterList list;
    list.SetState_AddParameter("Flag", c.value);
    bool flag = !c.expected;
    int16_t wordFlag = 5;
    EXPECT_TRUE(list.GetState_ParameterAsBoolean("Flag", flag)) << c.value;
    EXPECT_TRUE(list.GetState_ParameterAsWordBool("Flag", wordFlag)) << c.value;
    EXPECT_EQ(flag, c.expected) << c.value;
    EXPECT_EQ(wordFlag, c.expected ? -1 : 0) << c.value;
  }
}

TEST(ParameterListBooleans, MissingParameterLeavesTheValue) {
  const TParameterList list = Parsed("Flag=True");
  bool flag = false;
  int16_t wordFlag = 5;
  EXPECT_FALSE(list.GetState_ParameterAsBoolean("Other", flag));
  EXPECT_FALSE(list.GetState_ParameterAsWordBool("Other", wordFlag));
  EXPECT_FALSE(flag);
  EXPECT_EQ(wordFlag, 5);
}

TEST(ParameterListBooleans, TrimmedEqualityIgnoresCaseAndOuterBlanks) {
  EXPECT_TRUE(SameTrimmedText(" True\t", "TRUE"));
  EXPECT_TRUE(SameTrimmedText("\r\n", ""));
  EXPECT_FALSE(SameTrimmedText("Tru e", "true"));
  EXPECT_FALSE(SameTrimmedText("\xc3\xa4", "\xc3\x84"));  // only ASCII letters fold
}

// ---- Wide copies ----------------------------------------------------------------

TEST(ParameterListPChar, FoundValueIsAFreshWideCopy) {
  const TParameterList list = Parsed("Path=C:\\D\xc3\xa9sign\\x.jed|Empty=");
  const OLECHAR* text = nullptr;
  ASSERT_TRUE(list.GetState_ParameterAsPChar("path", text));
  EXPECT_EQ(automation::OleStringView(text), automation::ToOle("C:\\D\xc3\xa9sign\\x.jed"));
  const OLECHAR* second = nullptr;
  ASSERT_TRUE(list.GetState_ParameterAsPChar("path", second));
  EXPECT_NE(second, text);
  FreeParameterText(text);
  FreeParameterText(second);

  ASSERT_TRUE(list.GetState_ParameterAsPChar("Empty", text));
  EXPECT_EQ(text[0], 0);
  FreeParameterText(text);
}

TEST(ParameterListPChar, MissingValueIsTheSharedEmptyText) {
  const TParameterList list = Parsed("A=1");
  const OLECHAR* first = nullptr;
  const OLECHAR* second = nullptr;
  EXPECT_FALSE(list.GetState_ParameterAsPChar("B", first));
  EXPECT_FALSE(list.GetState_ParameterAsPChar("C", second));
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first[0], 0);
  EXPECT_EQ(first, second);
  FreeParameterText(first);  // ignored: the shared text is never freed
  FreeParameterText(nullptr);
  EXPECT_EQ(first[0], 0);
}

// ---- One-call helpers -----------------------------------------------------------

struct SetInTextCase {
  const char* text;
  const char* name;
  const char* value;
  const char* expected;
};

const SetInTextCase kSetInTextCases[] = {
    {"A=1|B=2", "a", "9", "A=9|B=2"},
    {"A=1|B=2", "C", "", "A=1|B=2|C= "},
    {"A=1|B=2", " b ", " 3 ", "A=1|B=3"},
    {"a=1|A=2", "A", "x", "a=x|A=2"},
    {"", "X", "1", "X=1"},
    {" A = 1 |junk|=0|B=2", "C", "3", "A=1|B=2|C=3"},
    {"A=1", "  ", "3", "A=1"},
    {"A=1", "T", "x=y", "A=1|T=x=y"},
};

TEST(ParameterText, SetParameterInTextReplacesInPlaceOrAppends) {
  for (const auto& c : kSetInTextCases) {
    std::string text = c.text;
    SetParameterInText(text, c.name, c.value);
    EXPECT_EQ(text, c.expected) << c.text << " / " << c.name;
  }
}

TEST(ParameterText, GetParameterFromTextFindsTheFirstMatch) {
  std::string value = "stale";
  EXPECT_TRUE(GetParameterFromText("Class=Error|Text=a=b|class=Other", "CLASS", value));
  EXPECT_EQ(value, "Error");
  EXPECT_TRUE(GetParameterFromText("Class=Error|Text=a=b|class=Other", "Text", value));
  EXPECT_EQ(value, "a=b");
  value = "stale";
  EXPECT_FALSE(GetParameterFromText("Class=Error|Text=a=b|class=Other", "Missing", value));
  EXPECT_EQ(value, "");
  value = "stale";
  EXPECT_FALSE(GetParameterFromText("", "Class", value));
  EXPECT_EQ(value, "");
}

// The lookup keeps the last text it read; every answer must still belong to
// the text of its own call.
TEST(ParameterText, GetParameterFromTextFollowsEveryChangeOfText) {
  struct Lookup {
    const char* text;
    const char* name;
    const char* expected;  // null: not found
  };
  const Lookup lookups[] = {
      {"A=1|B=2", "A", "1"},  {"A=1|B=2", "B", "2"},   {"A=3", "A", "3"},
      {"A=3", "B", nullptr},  {"A=1|B=2", "B", "2"},   {"N=x", "N", "x"},
      {"N=X", "N", "X"},  // differs from the previous text only in letter case
      {"", "N", nullptr},     {"N=X", "N", "X"},       {"N=X ", "N", "X"},
      {"A=1|B=2", "A", "1"},
  };
  for (const auto& lookup : lookups) {
    std::string value;
    const bool found = GetParameterFromText(lookup.text, lookup.name, value);
    EXPECT_EQ(found, lookup.expected != nullptr) << lookup.text << " / " << lookup.name;
    EXPECT_EQ(value, lookup.expected ? lookup.expected : "") << lookup.text << " / " << lookup.name;
  }
}

TEST(ParameterText, GetParameterFromTextKeepsItsOwnCopyOfTheText) {
  std::string value;
  {
    std::string temporary = "Action=Flash_ResetDevice";
    EXPECT_TRUE(GetParameterFromText(temporary, "Action", value));
    temporary = "Action=Other";  // the caller's buffer changes under the same address
    EXPECT_TRUE(GetParameterFromText(temporary, "Action", value));
    EXPECT_EQ(value, "Other");
  }
  EXPECT_TRUE(GetParameterFromText(std::string("Action=Again"), "Action", value));
  EXPECT_EQ(value, "Again");
}

}  // namespace
}  // namespace plugin

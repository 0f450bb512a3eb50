#include "config/association.h"
#include "fakes/fake_text_rules.h"

#include <gtest/gtest.h>

#include <climits>
#include <string_view>

namespace pakvane {
namespace {

using namespace std::string_view_literals;

struct ParseCase {
    std::string_view text;
    std::string_view extension;
    std::int32_t flags;
    std::string_view path;
};

class ParseAssociationTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseAssociationTest, SplitsAtFirstEqualsAndFirstCommaAfterIt)
{
    const ParseCase& c = GetParam();
    const Association a = ParseAssociation(c.text);
    EXPECT_EQ(a.extension, c.extension);
    EXPECT_EQ(a.flags, c.flags);
    EXPECT_EQ(a.path, c.path);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ParseAssociationTest,
    ::testing::Values(ParseCase{"zip=511,%COMMANDER_PATH%\\Plugins\\zip.wcx", "zip", 511,
                                "%COMMANDER_PATH%\\Plugins\\zip.wcx"},
                      ParseCase{" rar = 4 , c:\\wcx\\rar.wcx ", "rar", 4, "c:\\wcx\\rar.wcx"},
                      ParseCase{"arj=c:\\wcx\\arj.wcx", "arj", 0, "c:\\wcx\\arj.wcx"},
                      ParseCase{"lst=5,c:\\my,dir\\a=b.wcx", "lst", 5, "c:\\my,dir\\a=b.wcx"},
                      ParseCase{"c:\\x,y.wcx", "", 0, "y.wcx"}, ParseCase{"", "", 0, ""}, ParseCase{"=,", "", 0, ""},
                      ParseCase{"zip=7,,x", "zip", 7, ",x"},
                      ParseCase{"a=b=1,p", "a", 0, "p"},  // "b=1" is not a number
                      ParseCase{"zip=$1F,p", "zip", 31, "p"}, ParseCase{"zip=-1,p", "zip", -1, "p"},
                      ParseCase{"zip= 5 ,p", "zip", 5, "p"},  // the flags text is trimmed before reading
                      ParseCase{"zip=5 5,p", "zip", 0, "p"}, ParseCase{"zip=abc,p", "zip", 0, "p"},
                      // Every code 0..32 is trimmed, embedded NUL included; bytes above 127 never are.
                      ParseCase{"\t\x01zip\x1F=\0 7\r,\x20p q\n"sv, "zip", 7, "p q"},
                      ParseCase{"\xA0zip\xA0=1,\xA0p\xA0", "\xA0zip\xA0", 1, "\xA0p\xA0"},
                      ParseCase{"\xFF\xFE=1,p", "\xFF\xFE", 1, "p"}));

struct FlagsCase {
    std::string_view text;
    std::int32_t flags;
};

class ParseFlagsTest : public ::testing::TestWithParam<FlagsCase> {};

TEST_P(ParseFlagsTest, ReadsDecimalOrHexOrGivesZero)
{
    EXPECT_EQ(ParseFlags(GetParam().text), GetParam().flags) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, ParseFlagsTest,
    ::testing::Values(FlagsCase{"511", 511}, FlagsCase{"007", 7}, FlagsCase{"+7", 7}, FlagsCase{"-1", -1},
                      FlagsCase{"-0", 0}, FlagsCase{"$1F", 31}, FlagsCase{"$1f", 31}, FlagsCase{"x1F", 31},
                      FlagsCase{"X1f", 31}, FlagsCase{"0x1f", 31}, FlagsCase{"0X1F", 31}, FlagsCase{"-0x10", -16},
                      FlagsCase{"+$ff", 255}, FlagsCase{"$00000000001F", 31}, FlagsCase{"0000000000000000000001", 1},
                      // The edges of the signed 32-bit range, decimal and hex.
                      FlagsCase{"2147483647", INT32_MAX}, FlagsCase{"-2147483648", INT32_MIN},
                      FlagsCase{"$7FFFFFFF", INT32_MAX}, FlagsCase{"-$80000000", INT32_MIN}, FlagsCase{"2147483648", 0},
                      FlagsCase{"-2147483649", 0}, FlagsCase{"$80000000", 0}, FlagsCase{"$FFFFFFFF", 0},
                      FlagsCase{"99999999999", 0},
                      // Values that wrap to small numbers in 32-bit arithmetic must still be rejected.
                      FlagsCase{"4294967297", 0}, FlagsCase{"$100000001", 0}, FlagsCase{"-4294967295", 0},
                      // A sign or prefix without digits, and junk.
                      FlagsCase{"", 0}, FlagsCase{"+", 0}, FlagsCase{"-", 0}, FlagsCase{"$", 0}, FlagsCase{"0x", 0},
                      FlagsCase{"x", 0}, FlagsCase{"-$", 0}, FlagsCase{"abc", 0}, FlagsCase{"1F", 0},
                      FlagsCase{"12a", 0}, FlagsCase{"$$1", 0}, FlagsCase{"0x-1", 0}, FlagsCase{"$-1", 0},
                      FlagsCase{"--1", 0}, FlagsCase{"+-1", 0}, FlagsCase{" 5", 0}, FlagsCase{"5 ", 0},
                      FlagsCase{"0b1", 0}, FlagsCase{"1.0", 0}, FlagsCase{"\xB9", 0}));

struct FormatCase {
    std::string_view extension;
    std::int32_t flags;
    std::string_view path;
    std::string_view text;
};

class FormatAssociationTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatAssociationTest, WritesDecimalFlagsAndKeepsPartsAsGiven)
{
    const FormatCase& c = GetParam();
    EXPECT_EQ(FormatAssociation(c.extension, c.flags, c.path), c.text);
}

INSTANTIATE_TEST_SUITE_P(Rows, FormatAssociationTest,
                         ::testing::Values(FormatCase{"zip", 31, "c:\\wcx\\zip.wcx", "zip=31,c:\\wcx\\zip.wcx"},
                                           FormatCase{"zip", -1, "c:\\wcx\\zip.wcx", "zip=-1,c:\\wcx\\zip.wcx"},
                                           FormatCase{"zip", 0, "p", "zip=0,p"},
                                           FormatCase{"zip", INT32_MIN, "p", "zip=-2147483648,p"},
                                           FormatCase{"zip", INT32_MAX, "p", "zip=2147483647,p"},
                                           FormatCase{"", 0, "", "=0,"},
                                           FormatCase{" Zip ", 5, " a,b=c ", " Zip =5, a,b=c "}));

TEST(AssociationTest, FormattedRowsParseBackToTheirParts)
{
    for (const std::int32_t flags : {0, 1, 511, -1, INT32_MIN, INT32_MAX}) {
        const Association original{"7z", flags, "c:\\wcx,x\\a=b.wcx"};
        EXPECT_EQ(ParseAssociation(FormatAssociation(original.extension, original.flags, original.path)), original);
    }
}

TEST(AssociationTest, CanonicalFormTrimsLowerCasesExtensionAndWritesDecimal)
{
    const FakeTextRules rules;
    const struct {
        std::string_view text;
        std::string_view canonical;
    } cases[] = {
        {"Zip = 7 , C:\\WCX\\ZIP.WCX ", "zip=7,C:\\WCX\\ZIP.WCX"},
        {"ZIP=$1F,x", "zip=31,x"},
        {"arj=c:\\a", "arj=0,c:\\a"},
        {"\xC0\xD0\xC6=1,\xC0", "\xE0\xF0\xE6=1,\xC0"},  // Cyrillic extension lower-cased, path kept
    };
    for (const auto& c : cases) EXPECT_EQ(CanonicalAssociation(c.text, rules), c.canonical) << c.text;
    EXPECT_EQ(CanonicalExtension(" \tZiP\r\n", rules), "zip");
}

TEST(FakeTextRulesTest, ModelsCodePages1251And866)
{
    const FakeTextRules rules;
    EXPECT_EQ(rules.UpperAnsi("az\xE0\xFF\xB8\0"sv), "AZ\xC0\xDF\xA8\0"sv);
    EXPECT_EQ(rules.LowerAnsi("AZ\xC0\xDF\xA8[@"), "az\xE0\xFF\xB8[@");
    EXPECT_EQ(rules.ConvertOemToAnsi("\x80\xAF\xE0\xEF\xF0\xF1\xB0z"), "\xC0\xEF\xF0\xFF\xA8\xB8\xB0z");
    EXPECT_EQ(rules.Compare("abc", "ABC"), 0);
    EXPECT_LT(rules.Compare("ab", "abc"), 0);
    EXPECT_GT(rules.Compare("\xE0", "Z"), 0);
}

}  // namespace
}  // namespace pakvane

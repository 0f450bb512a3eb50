// The system text rules against the real Windows API. Byte expectations depend on the
// code pages the process runs with; each table names the code pages it holds for.
#include "platform/text_rules.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace pakvane {
namespace {

using namespace std::string_view_literals;

class TextRulesTest : public ::testing::Test {
protected:
    std::unique_ptr<TextRules> rules = MakeSystemTextRules();
};

struct CaseMapping {
    UINT codePage;
    std::string_view lower;
    std::string_view upper;
};

// The same bytes are different letters in 1252 and 1251: 0xFF is y-diaeresis (upper 0x9F)
// or ya (upper 0xDF); 0xB8 is a cedilla (no case) or yo (upper 0xA8).
const CaseMapping kCaseMappings[] = {
    {1252, "az\xE0\xFF\x9A\xB8\xE9", "AZ\xC0\x9F\x8A\xB8\xC9"},
    {1251, "az\xE0\xFF\x9A\xB8\xE9", "AZ\xC0\xDF\x8A\xA8\xC9"},
};

TEST_F(TextRulesTest, CaseMappingFollowsTheAnsiCodePage)
{
    bool tested = false;
    for (const CaseMapping& m : kCaseMappings) {
        if (m.codePage != GetACP()) continue;
        tested = true;
        EXPECT_EQ(rules->UpperAnsi(m.lower), m.upper);
        EXPECT_EQ(rules->LowerAnsi(m.upper), m.lower);
    }
    if (!tested) GTEST_SKIP() << "no byte table for ANSI code page " << GetACP();
}

TEST_F(TextRulesTest, CaseMappingCoversTheWholeTextIncludingNulBytes)
{
    EXPECT_EQ(rules->UpperAnsi("a\0b\0"sv), "A\0B\0"sv);
    EXPECT_EQ(rules->LowerAnsi("A\0B"sv), "a\0b"sv);
    EXPECT_EQ(rules->UpperAnsi(""), "");
    const std::string longText(100'000, 'q');
    EXPECT_EQ(rules->UpperAnsi(longText), std::string(100'000, 'Q'));
    // A view into a longer text: only its own bytes are read.
    EXPECT_EQ(rules->UpperAnsi(std::string_view("abcd").substr(0, 2)), "AB");
}

TEST_F(TextRulesTest, CompareUsesTheCollationIgnoringCase)
{
    const auto less = [&](std::string_view a, std::string_view b) {
        return rules->Compare(a, b) < 0 && rules->Compare(b, a) > 0;
    };
    // Punctuation, then digits, then letters; byte order would put '_' and '~' after 'Z'.
    EXPECT_TRUE(less("!", "0"));
    EXPECT_TRUE(less("_x", "1x"));
    EXPECT_TRUE(less("~", "0"));
    EXPECT_TRUE(less("9", "a"));
    EXPECT_TRUE(less("a10", "a9"));
    EXPECT_TRUE(less("ab", "a-c"));  // the hyphen is passed over in a word sort
    EXPECT_TRUE(less("", "a"));
    EXPECT_EQ(rules->Compare("ZIP.WCX", "zip.wcx"), 0);
    EXPECT_EQ(rules->Compare("", ""), 0);
    EXPECT_EQ(rules->Compare(std::string_view(), ""), 0);
}

TEST_F(TextRulesTest, CompareReadsExplicitLengthsWithoutLimit)
{
    EXPECT_EQ(rules->Compare(std::string_view("abcX").substr(0, 3), "abc"), 0);
    EXPECT_LT(rules->Compare(std::string_view("abcX").substr(0, 3), "abcd"), 0);
    // Far beyond any fixed buffer: the difference is in the last byte.
    std::string a(20'000, 'm');
    std::string b = a;
    a.back() = 'a';
    b.back() = 'B';
    EXPECT_LT(rules->Compare(a, b), 0);
    EXPECT_GT(rules->Compare(b, a), 0);
}

struct OemMapping {
    UINT oemCodePage;
    UINT ansiCodePage;
    std::string_view oem;
    std::string_view ansi;
};

const OemMapping kOemMappings[] = {
    {437, 1252, "\x82\x81z", "\xE9\xFCz"},  // e-acute, u-diaeresis
    {866, 1251, "\x80\xAF\xE0\xEF\xF0z", "\xC0\xEF\xF0\xFF\xA8z"},  // A, p, r, ya, Yo
};

TEST_F(TextRulesTest, ConvertOemToAnsiConvertsBetweenTheProcessCodePages)
{
    bool tested = false;
    for (const OemMapping& m : kOemMappings) {
        if (m.oemCodePage != GetOEMCP() || m.ansiCodePage != GetACP()) continue;
        tested = true;
        EXPECT_EQ(rules->ConvertOemToAnsi(m.oem), m.ansi);
    }
    EXPECT_EQ(rules->ConvertOemToAnsi("a\0b"sv), "a\0b"sv);
    EXPECT_EQ(rules->ConvertOemToAnsi(""), "");
    if (!tested) GTEST_SKIP() << "no byte table for code pages " << GetOEMCP() << "/" << GetACP();
}

// The sort-key bytes only pre-order a sort, which the comparison then checks, so a wrong
// key costs time, not correctness. For the texts plugin lists are made of they must agree
// with the comparison exactly, or large sorts fall back to the slow way.
TEST_F(TextRulesTest, SortKeysOrderCommonTextsAsTheComparisonDoes)
{
    const std::vector<std::string> texts = {
        "",
        " ",
        "a",
        "A",
        "b",
        "z",
        "Z",
        "0",
        "1",
        "9",
        "10",
        "a9",
        "a10",
        "a09",
        "ab",
        "aB",
        "a b",
        "a_b",
        "a.b",
        "a-b",
        "a-c",
        "-ab",
        "ab-",
        "a'b",
        "'ab",
        "ab'",
        "a--b",
        "zip",
        "ZIP",
        "zip.wcx",
        "zip-wcx",
        "zip_wcx",
        "7z",
        "7-zip",
        "7zip",
        "multi-arc",
        "multiarc",
        "MultiArc_12",
        "sfx'tool 3",
        "sfxtool 3",
        "sfx-tool.wcx",
        "c:\\wcx\\zip.wcx",
        "C:\\WCX\\ZIPX.WCX",
        "c:\\program files\\total commander\\plugins",
        "%commander_path%\\plugins\\wcx",
        "%COMMANDER_PATH%\\PLUGINS\\WCX\\",
        "_x",
        "!x",
        "~x",
        "(a)",
        "[a]",
        "{a}",
        "a&b",
        "a+b",
        "a=b",
        "a@b",
        "a#b",
        "a$b",
        "a;b",
        "a,b",
        "a~b",
        // Letters above 0x7F: Cyrillic under 1251, accented Latin under 1252.
        "\xC0",
        "\xE0",
        "\xC0\xC1",
        "\xE0\xE1",
        "\xC5",
        "\xE5",
        "\xC9",
        "\xE9",
        "\xE9t\xE9",
        "ete",
        "eta",
        "\xD0",
        "\xEF",
        "\xC0"
        "1",
        "1\xC0",
        "z\xC0",
        "\xC0z",
        "\xC1\xC0\xC7\xC0",
        "\xE1\xE0\xE7\xE0",
        "a\xC0",
        "a\xE9"
        "b",
        "aeb",
        "\xC0-\xC1",
        "\xC0'\xC1",
        "\xC0\xC1-",
    };
    std::vector<std::string> keys;
    std::vector<CollationText> prepared;
    for (const std::string& text : texts) {
        prepared.push_back(rules->PrepareCollation(text));
        keys.emplace_back();
        rules->AppendSortKey(prepared.back(), keys.back());
    }
    const auto sign = [](int value) { return value < 0 ? -1 : (value > 0 ? 1 : 0); };
    int disagreements = 0;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        for (std::size_t j = 0; j < texts.size(); ++j) {
            const int expected = sign(rules->ComparePrepared(prepared[i], prepared[j]));
            if (sign(keys[i].compare(keys[j])) == expected) continue;
            if (++disagreements <= 10)
                ADD_FAILURE() << "\"" << texts[i] << "\" vs \"" << texts[j] << "\": comparison " << expected
                              << ", sort keys disagree (ANSI code page " << GetACP() << ")";
        }
    }
    EXPECT_EQ(disagreements, 0);
}

}  // namespace
}  // namespace pakvane

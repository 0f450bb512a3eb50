#include "i18n/interface_strings.h"
#include "i18n/message_detail.h"
#include "i18n/safe_format.h"

#include <gtest/gtest.h>

#include <map>

namespace pakvane {
namespace {

struct FormatCase {
    const char* pattern;
    const char* argument;
    const char* expected;
};

class SafeFormatTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(SafeFormatTest, FormatsOrReturnsThePattern)
{
    const FormatCase& c = GetParam();
    EXPECT_EQ(SafeFormat(std::string_view(c.pattern), std::string_view(c.argument)), c.expected);
    // The wide form follows the same rules; it formats texts already converted for display.
    const std::wstring widePattern(c.pattern, c.pattern + std::char_traits<char>::length(c.pattern));
    const std::wstring wideArgument(c.argument, c.argument + std::char_traits<char>::length(c.argument));
    const std::wstring wideExpected(c.expected, c.expected + std::char_traits<char>::length(c.expected));
    EXPECT_EQ(SafeFormat(std::wstring_view(widePattern), std::wstring_view(wideArgument)), wideExpected);
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, SafeFormatTest,
    ::testing::Values(FormatCase{"Cannot open file %s !!!", "c:\\wincmd.ini", "Cannot open file c:\\wincmd.ini !!!"},
                      FormatCase{"%s", "", ""}, FormatCase{"no directive", "x", "no directive"},
                      FormatCase{"100%% sure: %s", "zip", "100% sure: zip"}, FormatCase{"%%s stays", "zip", "%s stays"},
                      // An argument is inserted as it is, never read for directives.
                      FormatCase{"(%s)", "50%d %s %n", "(50%d %s %n)"},
                      // Failures give the pattern unchanged.
                      FormatCase{"Delete (%d)?", "zip", "Delete (%d)?"}, FormatCase{"%s and %s", "zip", "%s and %s"},
                      FormatCase{"trailing %", "zip", "trailing %"},
                      FormatCase{"%s trailing %", "zip", "%s trailing %"},
                      FormatCase{"width %10s", "zip", "width %10s"}, FormatCase{"%n%s", "zip", "%n%s"},
                      FormatCase{"%s%s%s", "zip", "%s%s%s"}));

TEST(InterfaceStrings, BuiltInTableIsWindows1251)
{
    // "Ошибка": О=0xCE ш=0xF8 и=0xE8 б=0xE1 к=0xEA а=0xE0
    EXPECT_EQ(BuiltInString(18), "\xCE\xF8\xE8\xE1\xEA\xE0");
    // Entry 52 begins with the Latin K, the rest is Cyrillic.
    EXPECT_EQ(BuiltInString(52).substr(0, 2), "K\xEE");
    EXPECT_EQ(BuiltInString(14), "\xDF\xE7\xFB\xEA\\Language");
    EXPECT_EQ(BuiltInString(12).find("%commander_path%") != std::string::npos, true);
    for (int i = 0; i < 54; ++i) EXPECT_FALSE(BuiltInString(i).empty()) << i;
    for (int i = 54; i < 60; ++i) EXPECT_TRUE(BuiltInString(i).empty()) << i;
    EXPECT_TRUE(BuiltInString(-1).empty());
    EXPECT_TRUE(BuiltInString(60).empty());
}

TEST(InterfaceStrings, Utf8ConversionCoversTheAlphabetAndMarksTheRest)
{
    EXPECT_EQ(Utf8ToWindows1251("\xD0\x90\xD1\x8F\xD0\x81\xD1\x91 A"), "\xC0\xFF\xA8\xB8 A");
    EXPECT_EQ(Utf8ToWindows1251("\xE2\x82\xAC"), "?");  // the euro sign is not mapped here
    EXPECT_EQ(Utf8ToWindows1251("\xD0"), "?");  // cut sequence
}

TEST(InterfaceStrings, FillStartsFromBuiltInsAndAppliesReplacements)
{
    InterfaceStrings strings;
    EXPECT_FALSE(strings.IsFilled());
    strings.Fill(std::map<int, std::string>{{18, "Error"}, {99, "ignored"}});
    EXPECT_TRUE(strings.IsFilled());
    EXPECT_EQ(strings[Str::Error], (UiText{"Error", kAnsiCodePage}));
    EXPECT_EQ(strings[Str::Question], (UiText{BuiltInString(16), kBuiltInCodePage}));

    // A later filling forgets the earlier replacements.
    strings.Fill(std::map<int, std::string>{});
    EXPECT_EQ(strings[Str::Error], (UiText{BuiltInString(18), kBuiltInCodePage}));
    EXPECT_EQ(Padded(strings[Str::IniGroup]).text, " " + BuiltInString(0) + " ");
    EXPECT_TRUE(strings.Get(60).text.empty());
}

// A detail line follows the language of the message it stands under: the built-in
// Russian, or English under a language file's text; every Russian line is all Windows-1251.
TEST(InterfaceStrings, DetailLinesFollowTheMessagesLanguage)
{
    InterfaceStrings strings;
    strings.Fill(std::map<int, std::string>{{49, "Cannot load plugin %s"}});
    const UiText& builtIn = strings[Str::Error];
    const UiText& replaced = strings[Str::CannotLoadPlugin];
    EXPECT_TRUE(MessageDetailText(MessageDetail::None, replaced).text.empty());
    for (int i = 1; i <= static_cast<int>(MessageDetail::ConfigurationCrashed); ++i) {
        const auto detail = static_cast<MessageDetail>(i);
        const UiText russian = MessageDetailText(detail, builtIn), english = MessageDetailText(detail, replaced);
        EXPECT_EQ(russian.codePage, kBuiltInCodePage) << i;
        EXPECT_EQ(russian.text.find('?'), std::string::npos) << i << ": " << russian.text;
        EXPECT_GE(static_cast<unsigned char>(russian.text[0]), 0xC0u) << i;  // a Cyrillic capital
        EXPECT_EQ(english.codePage, kAnsiCodePage) << i;
        EXPECT_TRUE(english.text[0] >= 'A' && english.text[0] <= 'Z') << i;
    }
}

}  // namespace
}  // namespace pakvane

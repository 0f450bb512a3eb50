// Reading follows the Windows profile functions as measured under Wine; the same inputs
// are checked against the real functions in the Win32 contract tests.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "config/profile_document.h"
#include "fakes/fake_code_page.h"

namespace pakvane {
namespace {

using namespace std::string_literals;

struct ReadCase {
    const char* name;
    std::string file;
    std::string section;
    std::string key;
    std::optional<std::string> expected;
};

class ProfileRead : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ProfileRead, ReadStringGivesWhatTheProfileFunctionsGive)
{
    testing::FakeCodePage codePage;
    const ProfileDocument document(codePage, GetParam().file);
    EXPECT_EQ(document.ReadString(GetParam().section, GetParam().key), GetParam().expected);
}

const std::string kUtf16Value = "\xFF\xFE[\0s\0]\0\r\0\n\0k\0=\0\xAC\x20\xE5\x65\xE9\0\r\0\n\0"s;  // k=€日é

INSTANTIATE_TEST_SUITE_P(
    Cases, ProfileRead,
    ::testing::Values(ReadCase{"Plain", "[s]\r\nk=v\r\n", "s", "k", "v"},
                      ReadCase{"NamesIgnoreAsciiCase", "[PackerPlugins]\r\nZip=1\r\n", "packerplugins", "ZIP", "1"},
                      ReadCase{"NonAsciiCaseIsNotFolded", "[s]\n\xC4k=1\n", "s", "\xE4k", std::nullopt},
                      ReadCase{"RequestedNamesTrimmed", "[s]\nk=v\n", " s\t", "k ", "v"},
                      ReadCase{"KeyAndValueTrimmed", "[s]\n \t k \t=\t v w \t\n", "s", "k", "v w"},
                      ReadCase{"CtrlZAndVerticalTabTrimmed", "[s]\n\x1Ak\x0B=\x0Cv\x1A\n", "s", "k", "v"},
                      ReadCase{"OtherControlsKept", "[s]\n\x01k=\x01v\x01\n", "s", "\x01k", "\x01v\x01"},
                      ReadCase{"NoBreakSpaceKept", "[s]\nk=\xA0v\xA0\n", "s", "k", "\xA0v\xA0"},
                      ReadCase{"DoubleQuotesStripped", "[s]\nk= \"a b\" \n", "s", "k", "a b"},
                      ReadCase{"SingleQuotesStripped", "[s]\nk='a'\n", "s", "k", "a"},
                      ReadCase{"MismatchedQuotesKept", "[s]\nk=\"a'\n", "s", "k", "\"a'"},
                      ReadCase{"LoneQuoteKept", "[s]\nk=\"\n", "s", "k", "\""},
                      ReadCase{"EmptyQuotes", "[s]\nk=\"\"\n", "s", "k", ""},
                      ReadCase{"EmptyValue", "[s]\nk=\n", "s", "k", ""},
                      ReadCase{"FirstOccurrenceWins", "[s]\nk=1\nK=2\n", "s", "k", "1"},
                      ReadCase{"BareLineHidesLaterKey", "[s]\nfoo\nfoo=1\n", "s", "foo", std::nullopt},
                      ReadCase{"FirstSectionWins", "[s]\na=1\n[S]\nb=2\n", "s", "b", std::nullopt},
                      ReadCase{"HeaderTrailingText", "[s] junk\nk=v\n", "s", "k", "v"},
                      ReadCase{"HeaderInnerBlanks", "[ s ]\nk=v\n", "s", "k", "v"},
                      ReadCase{"HeaderLastBracket", "[s]x]\nk=v\n", "s]x", "k", "v"},
                      ReadCase{"UnclosedHeaderIsALine", "[s]\n[x\nk=v\n", "s", "k", "v"},
                      ReadCase{"CommentLinesAreKeysForLookup", "[s]\n;c=3\n", "s", ";c", "3"},
                      ReadCase{"CrOnly", "[s]\ra=1\rb=2", "s", "b", "2"},
                      ReadCase{"CrInsideLfFile", "[s]\na=1\rb=2\n", "s", "a", "1"},
                      ReadCase{"FinalLineWithoutBreak", "[s]\r\nk=v", "s", "k", "v"},
                      ReadCase{"NulCutsKeyAndValue", "[s]\nk\0x=v\0w\n"s, "s", "k", "v"},
                      ReadCase{"NulBeforeClosingQuote", "[s]\nk=\"a\0b\"\n"s, "s", "k", "\"a"},
                      ReadCase{"EmptyKeyRequested", "[s]\n=1\n", "s", "", std::nullopt},
                      ReadCase{"MissingSection", "[t]\nk=v\n", "s", "k", std::nullopt},
                      ReadCase{"KeyBeforeAnySection", "k=v\n[s]\n", "s", "k", std::nullopt},
                      ReadCase{"Utf8Decoded", "\xEF\xBB\xBF[s]\nk=\xE2\x82\xAC\xC3\xA9\n", "s", "k", "\x80\xE9"},
                      ReadCase{"Utf8InvalidByte", "\xEF\xBB\xBF[s]\nk=a\xFF\n", "s", "k", "a?"},
                      ReadCase{"Utf16Unrepresentable", kUtf16Value, "s", "k", "\x80?\xE9"},
                      ReadCase{"Utf16OddLastByte", "\xFF\xFE[\0s\0]\0\n\0k\0=\0v\0!"s, "s", "k", "v!"}),
    [](const ::testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.name); });

struct SectionCase {
    const char* name;
    std::string file;
    std::vector<ProfileEntry> expected;
};

class ProfileSectionRead : public ::testing::TestWithParam<SectionCase> {};

TEST_P(ProfileSectionRead, ListsEachKeyOnceWithItsFirstValue)
{
    testing::FakeCodePage codePage;
    const ProfileDocument document(codePage, GetParam().file);
    EXPECT_EQ(document.ReadSection("s"), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProfileSectionRead,
    ::testing::Values(
        SectionCase{"Missing", "[t]\nk=v\n", {}},
        SectionCase{"DuplicatesDifferingInCase", "[s]\nzip=511,a\nrar=\nZIP=0,b\n", {{"zip", "511,a"}, {"rar", ""}}},
        SectionCase{"CommentsBareAndEmptyNames",
                    "[s]\nfoo\nfoo=1\n#h=2\n;c=3\n=4\n  k  =  \"q\"  \n",
                    {{"foo", ""}, {"#h", "2"}, {"k", "q"}}},
        SectionCase{"OnlyFirstSection", "[s]\na=1\n[x]\nb=2\n[S]\nc=3\n", {{"a", "1"}}},
        SectionCase{"BlankAndGarbageLines", "\n[s]\n\n  \n\x01\x02\nk=v\n", {{"k", "v"}}}),
    [](const ::testing::TestParamInfo<SectionCase>& info) { return std::string(info.param.name); });

TEST(ProfileSectionRead, LargeSectionHasNoSizeLimit)
{
    testing::FakeCodePage codePage;
    std::string file = "[s]\r\n";
    for (int i = 0; i < 65536; ++i) file += std::to_string(i) + "=" + std::string(40, 'x') + "\r\n";
    const ProfileDocument document(codePage, std::move(file));
    const auto entries = document.ReadSection("S");
    ASSERT_EQ(entries.size(), 65536u);
    EXPECT_EQ(entries.back(), (ProfileEntry{"65535", std::string(40, 'x')}));
}

TEST(ProfileSectionRead, LongLinesAndBinaryGarbageAreHarmless)
{
    testing::FakeCodePage codePage;
    std::string garbage;
    for (int i = 0; i < 200000; ++i) garbage.push_back(static_cast<char>((i * 7919 + i / 256) & 0xFF));
    const std::string longValue(100000, 'v');
    for (const std::string& prefix : {""s, "\xEF\xBB\xBF"s, "\xFF\xFE"s}) {
        const ProfileDocument document(codePage, prefix + garbage + "\n[s]\nk=" + longValue + "\n" + garbage);
        EXPECT_EQ(document.Bytes(), prefix + garbage + "\n[s]\nk=" + longValue + "\n" + garbage);
        if (prefix.empty()) {
            EXPECT_EQ(document.ReadString("s", "k"), longValue);
        }
        (void)document.ReadSection("s");
    }
}

}  // namespace
}  // namespace pakvane

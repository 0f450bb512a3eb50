// Edits change only what they must: every other byte, line break and encoding stays.
#include <gtest/gtest.h>

#include "unit/encoded_text.h"

#include <string>
#include <vector>

#include "config/profile_document.h"
#include "fakes/fake_code_page.h"

namespace pakvane {
namespace {

using namespace std::string_literals;

using testing::Utf16;

struct WriteCase {
    const char* name;
    std::string before;
    std::string key;
    std::string value;
    std::string after;
};

class ProfileWriteString : public ::testing::TestWithParam<WriteCase> {};

TEST_P(ProfileWriteString, ChangesOnlyTheKeyLine)
{
    testing::FakeCodePage codePage;
    ProfileDocument document(codePage, GetParam().before);
    ASSERT_EQ(document.WriteString("s", GetParam().key, GetParam().value), WriteStatus::Ok);
    EXPECT_EQ(document.Bytes(), GetParam().after);
    EXPECT_EQ(document.ReadString("s", GetParam().key), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProfileWriteString,
    ::testing::Values(
        WriteCase{"InPlaceKeepsSpacing", "; top\r\n[s]\r\n  K = old  \r\nx=1\r\n", "k", "new",
                  "; top\r\n[s]\r\n  K = new  \r\nx=1\r\n"},
        WriteCase{"FirstOccurrenceOnly", "[s]\nk=1\nk=2\n", "k", "3", "[s]\nk=3\nk=2\n"},
        WriteCase{"BareLineGetsValue", "[s]\nk\n", "k", "v", "[s]\nk=v\n"},
        WriteCase{"AppendedBeforeClosingBlanks", "[s]\na=1\n\n[t]\nb=2", "k", "v", "[s]\na=1\nk=v\n\n[t]\nb=2"},
        WriteCase{"AppendedAfterHeaderOnly", "[s]\r\n\r\n[t]\r\n", "k", "v", "[s]\r\nk=v\r\n\r\n[t]\r\n"},
        WriteCase{"AppendedAfterLastLineWithoutBreak", "[s]\na=1", "k", "v", "[s]\na=1\nk=v\n"},
        WriteCase{"CrFileGetsCr", "[s]\ra=1\r", "k", "v", "[s]\ra=1\rk=v\r"},
        WriteCase{"SectionAppended", "[t]\nb=2", "k", "v", "[t]\nb=2\n\n[s]\nk=v\n"},
        WriteCase{"SectionAppendedAfterBlank", "[t]\r\nb=2\r\n\r\n", "k", "v", "[t]\r\nb=2\r\n\r\n[s]\r\nk=v\r\n"},
        WriteCase{"NewFileIsCrlf", "", "k", "v", "[s]\r\nk=v\r\n"},
        WriteCase{"Utf16KeepsEncoding", Utf16("[s]\r\na=1\r\n"), "k", "v", Utf16("[s]\r\na=1\r\nk=v\r\n")},
        WriteCase{"Utf16OddLastByteBecomesAUnit", "\xFF\xFE[\0s\0]\0\n\0a\0=\0!"s, "k", "v",
                  "\xFF\xFE[\0s\0]\0\n\0a\0=\0!\0\n\0k\0=\0v\0\n\0"s},
        WriteCase{"Utf8KeepsEncoding", "\xEF\xBB\xBF[s]\na=\xC3\xA9\n", "a", "\xE9\xE9",
                  "\xEF\xBB\xBF[s]\na=\xC3\xA9\xC3\xA9\n"}),
    [](const ::testing::TestParamInfo<WriteCase>& info) { return std::string(info.param.name); });

struct ReplaceCase {
    const char* name;
    std::string before;
    std::vector<ProfileEntry> entries;
    std::string after;
};

class ProfileReplaceSection : public ::testing::TestWithParam<ReplaceCase> {};

TEST_P(ProfileReplaceSection, RewritesOnlyThatSection)
{
    testing::FakeCodePage codePage;
    ProfileDocument document(codePage, GetParam().before);
    ASSERT_EQ(document.ReplaceSection("PackerPlugins", GetParam().entries), WriteStatus::Ok);
    EXPECT_EQ(document.Bytes(), GetParam().after);
    EXPECT_EQ(document.ReadSection("packerplugins"), GetParam().entries);
}

const std::string kAround = "; c\r\n[A]\r\n  x = 1 \n\r\n";
const std::string kAfter = "[PackerPlugins64]\r\nzip=1,c:\\64.wcx\r\n\r\n[B]\ny=2";

INSTANTIATE_TEST_SUITE_P(
    Cases, ProfileReplaceSection,
    ::testing::Values(
        ReplaceCase{"Middle",
                    kAround + "[packerplugins]\r\n ; note\r\nzip = 7, old\r\n\r\n" + kAfter,
                    {{"zip", "7,c:\\zip.wcx"}, {"rar", "0,c:\\rar.wcx"}},
                    kAround + "[packerplugins]\r\nzip=7,c:\\zip.wcx\r\nrar=0,c:\\rar.wcx\r\n\r\n" + kAfter},
        ReplaceCase{"Removed", kAround + "[PackerPlugins]\r\nzip=1,a\r\n\r\n" + kAfter, {}, kAround + kAfter},
        ReplaceCase{"DuplicatesRemoved",
                    "[PackerPlugins]\nzip=1,a\n[B]\nb=1\n[PACKERPLUGINS]\nrar=2,b\n",
                    {{"arj", "3,c"}},
                    "[PackerPlugins]\narj=3,c\n[B]\nb=1\n"},
        ReplaceCase{
            "AllDuplicatesRemoved", "[PackerPlugins]\nzip=1,a\n[B]\nb=1\n[PackerPlugins]\nrar=2,b\n", {}, "[B]\nb=1\n"},
        ReplaceCase{"Created", kAfter, {{"zip", "1,a"}}, kAfter + "\r\n\r\n[PackerPlugins]\r\nzip=1,a\r\n"},
        ReplaceCase{"MissingAndEmpty", kAfter, {}, kAfter},
        ReplaceCase{"LastSectionWithoutFinalBreak",
                    "[A]\nx=1\n[PackerPlugins]\nzip=1,a",
                    {{"rar", "2,b"}},
                    "[A]\nx=1\n[PackerPlugins]\nrar=2,b"},
        ReplaceCase{"HeaderOnlyAtEnd", "[PackerPlugins]", {{"rar", "2,b"}}, "[PackerPlugins]\r\nrar=2,b"},
        ReplaceCase{"LfFile",
                    "[PackerPlugins]\nzip=1,a\n\n[A]\n",
                    {{"a", "1"}, {"b", "2"}},
                    "[PackerPlugins]\na=1\nb=2\n\n[A]\n"},
        ReplaceCase{"Utf16",
                    Utf16("[A]\r\nx=1\r\n[PackerPlugins]\r\nzip=1,a\r\n[B]\r\n"),
                    {{"rar", "2,b"}},
                    Utf16("[A]\r\nx=1\r\n[PackerPlugins]\r\nrar=2,b\r\n[B]\r\n")}),
    [](const ::testing::TestParamInfo<ReplaceCase>& info) { return std::string(info.param.name); });

// A UTF-16 file on a Windows-1252 system: U+65E5 has no ANSI form and reads as '?'.
const std::string kLossy =
    "\xFF\xFE[\0A\0]\0\r\0\n\0x\0=\0\xE5\x65\r\0\n\0"
    "[\0P\0]\0\r\0\n\0z\0i\0p\0=\0"
    "1\0,\0\xE5\x65\r\0\n\0"
    "\xE5\x65=\0"
    "2\0\r\0\n\0"s;

TEST(ProfileLossyText, UnchangedRowsKeepTheirOriginalCharacters)
{
    testing::FakeCodePage codePage;
    ProfileDocument document(codePage, kLossy);
    auto entries = document.ReadSection("P");
    ASSERT_EQ(entries, (std::vector<ProfileEntry>{{"zip", "1,?"}, {"?", "2"}}));
    entries.insert(entries.begin(), ProfileEntry{"rar", "3,c:\\r.wcx"});
    ASSERT_EQ(document.ReplaceSection("P", entries), WriteStatus::Ok);
    EXPECT_EQ(document.Bytes(),
              "\xFF\xFE[\0A\0]\0\r\0\n\0x\0=\0\xE5\x65\r\0\n\0"
              "[\0P\0]\0\r\0\n\0r\0a\0r\0=\0"
              "3\0,\0c\0:\0\\\0r\0.\0w\0c\0x\0\r\0\n\0"
              "z\0i\0p\0=\0"
              "1\0,\0\xE5\x65\r\0\n\0"
              "\xE5\x65=\0"
              "2\0\r\0\n\0"s);
    const std::string written = document.Bytes();
    ASSERT_EQ(document.WriteString("P", "zip", "1,?"), WriteStatus::Ok);
    EXPECT_EQ(document.Bytes(), written);
}

TEST(ProfileLossyText, RowsRenderedAlikeKeepTheirOwnCharacters)
{
    testing::FakeCodePage codePage;
    // [P] with the lines U+65E5=2 and U+672C=2: both read as "?=2".
    const std::string file =
        "\xFF\xFE[\0P\0]\0\n\0\xE5\x65=\0"
        "2\0\n\0\x2C\x67=\0"
        "2\0\n\0"s;
    ProfileDocument document(codePage, file);
    const auto entries = document.ReadSection("P");
    ASSERT_EQ(entries, (std::vector<ProfileEntry>{{"?", "2"}, {"?", "2"}}));
    EXPECT_EQ(document.ReadString("P", "?"), std::nullopt);
    ASSERT_EQ(document.ReplaceSection("P", entries), WriteStatus::Ok);
    EXPECT_EQ(document.Bytes(), file);
    EXPECT_EQ(document.ReplaceSection("P", {{"?", "3"}}), WriteStatus::Unrepresentable);
}

TEST(ProfileLossyText, ChangedRowNeedingALostCharacterIsRefused)
{
    testing::FakeCodePage codePage;
    for (const bool replace : {true, false}) {
        ProfileDocument document(codePage, kLossy);
        const WriteStatus status = replace ? document.ReplaceSection("P", {{"zip", "7,?"}, {"?", "2"}})
                                           : document.WriteString("P", "zip", "7,?");
        EXPECT_EQ(status, WriteStatus::Unrepresentable);
        EXPECT_EQ(document.Bytes(), kLossy);
        EXPECT_FALSE(document.Modified());
    }
    // Only the word that held the lost character is refused, not every '?'.
    ProfileDocument document(codePage, kLossy);
    EXPECT_EQ(document.WriteString("P", "zip", "7,c:\\a?b\\z.wcx"), WriteStatus::Ok);
}

TEST(ProfileUnstorableText, IsRefusedAndNothingChanges)
{
    testing::FakeCodePage codePage;
    const std::string file = "[s]\r\nk=v\r\n";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"k", "a\r\nb=c"}, {"k", "a\nb"}, {"k", "a\0b"s}, {"a=b", "v"}, {"", "v"}, {"[x]", "v"}, {";k", "v"}};
    for (const auto& [key, value] : cases) {
        ProfileDocument document(codePage, file);
        EXPECT_EQ(document.WriteString("s", key, value), WriteStatus::Unrepresentable) << key;
        EXPECT_EQ(document.ReplaceSection("s", {{key, value}}), WriteStatus::Unrepresentable) << key;
        EXPECT_EQ(document.WriteString("s\n[t", "k", "v"), WriteStatus::Unrepresentable);
        EXPECT_EQ(document.Bytes(), file);
    }
}

TEST(ProfileLargeFiles, BigSectionAndBigFileRewriteInPlace)
{
    testing::FakeCodePage codePage;
    std::vector<ProfileEntry> entries;
    for (int i = 0; i < 65536; ++i)
        entries.push_back({std::to_string(i), "511,c:\\plugins\\p" + std::to_string(i) + ".wcx"});
    const std::string head = "[A]\r\n" + std::string(100000, 'a') + "\r\n";
    std::string tail = "[B]\r\n";
    while (tail.size() < 2u * 1024 * 1024) tail += "key=some value of a line\r\n";
    ProfileDocument document(codePage, head + "[PackerPlugins]\r\nx=1\r\n" + tail);
    ASSERT_EQ(document.ReplaceSection("PackerPlugins", entries), WriteStatus::Ok);
    EXPECT_EQ(document.Bytes().compare(0, head.size(), head), 0);
    EXPECT_EQ(document.Bytes().compare(document.Bytes().size() - tail.size(), tail.size(), tail), 0);
    EXPECT_EQ(document.ReadSection("PackerPlugins"), entries);
}

}  // namespace
}  // namespace pakvane

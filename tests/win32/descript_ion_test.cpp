// Plugin comments in real descript.ion files with real attributes.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>

#include "comments/descript_ion.h"
#include "platform/text_rules.h"
#include "platform/win32/file_system.h"
#include "win32/test_files.h"

namespace pakvane {
namespace {

class DescriptIonTest : public ::testing::Test {
protected:
    void SetUp() override { folder = testing::MakeScratchFolder("pvion"); }
    std::string Ion() const { return folder + "descript.ion"; }
    std::string Library(const std::string& name) const { return folder + name; }
    DWORD Attributes() const { return GetFileAttributesA(Ion().c_str()); }
    void Put(const std::string& text, DWORD attributes)
    {
        ASSERT_TRUE(testing::WriteBytes(Ion(), text));
        ASSERT_TRUE(SetFileAttributesA(Ion().c_str(), attributes));
    }
    bool Write(const std::string& name, const std::string& comment)
    {
        return WritePluginComment(files, *rules, Library(name), comment);
    }
    std::string Read(const std::string& name) const { return ReadPluginComment(files, *rules, Library(name)); }

    std::string folder;
    Win32FileSystem files;
    std::unique_ptr<TextRules> rules = MakeSystemTextRules();
};

constexpr DWORD kHiddenArchive = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE;

TEST_F(DescriptIonTest, RewriteForOneLibraryKeepsEveryOtherEntry)
{
    const std::string longComment(100'000, 'x');
    Put("\"Spaced Name.wcx\"  quoted one\r\n"
        "ZIP.WCX\r\n"
        "tabbed.wcx\tone\r\n"
        "lonelf.wcx lf ended\n"
        "zip.wcx old comment\r\n"
        "empty.wcx\r\n"
        "long.wcx " +
            longComment +
            "\r\n"
            "\x1A"
            "after.wcx past ctrl-z\r\n",
        FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM);
    EXPECT_EQ(Read("zip.wcx"), "old comment");
    EXPECT_EQ(Read("after.wcx"), "past ctrl-z");
    EXPECT_EQ(Read("spaced name.WCX"), "quoted one");
    EXPECT_EQ(Read("long.wcx"), longComment);

    ASSERT_TRUE(Write("Zip.wcx", "new\r\ncomment"));
    EXPECT_EQ(testing::ReadBytes(Ion()),
              "\"Spaced Name.wcx\" quoted one\r\n"
              "tabbed.wcx one\r\n"
              "lonelf.wcx lf ended\r\n"
              "empty.wcx \r\n"
              "long.wcx " +
                  longComment +
                  "\r\n"
                  "after.wcx past ctrl-z\r\n"
                  "Zip.wcx new comment\r\n");
    EXPECT_EQ(Attributes(), kHiddenArchive);
    EXPECT_EQ(Read("ZIP.wcx"), "new comment");
}

TEST_F(DescriptIonTest, FirstEntryWithACommentWins)
{
    Put("zip.wcx\r\n\"ZIP.WCX\" second\r\nzip.wcx third\r\n", FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(Read("zip.wcx"), "second");
    EXPECT_EQ(Read("other.wcx"), "");
    EXPECT_EQ(ReadPluginComment(files, *rules, folder + "none\\zip.wcx"), "");
}

TEST_F(DescriptIonTest, FileGoesWithItsLastEntryAndIsNotMadeForNothing)
{
    EXPECT_TRUE(Write("zip.wcx", "  "));
    EXPECT_EQ(Attributes(), INVALID_FILE_ATTRIBUTES);

    ASSERT_TRUE(Write("zip.wcx", "c"));
    EXPECT_EQ(testing::ReadBytes(Ion()), "zip.wcx c\r\n");
    EXPECT_EQ(Attributes(), kHiddenArchive);
    ASSERT_TRUE(SetFileAttributesA(Ion().c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    EXPECT_TRUE(Write("ZIP.WCX", ""));
    EXPECT_EQ(Attributes(), INVALID_FILE_ATTRIBUTES);
}

TEST_F(DescriptIonTest, FileThatCannotBeReadIsNotRewritten)
{
    Put("a.wcx keep me\r\n", FILE_ATTRIBUTE_HIDDEN);
    const DWORD before = Attributes();
    {
        HANDLE held = CreateFileA(Ion().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        EXPECT_FALSE(Write("zip.wcx", "new"));
        EXPECT_FALSE(Write("a.wcx", ""));
        CloseHandle(held);
    }
    EXPECT_EQ(testing::ReadBytes(Ion()), "a.wcx keep me\r\n");
    EXPECT_EQ(Attributes(), before);

    // A comment file that cannot be created at all.
    ASSERT_TRUE(DeleteFileA(Ion().c_str()));
    ASSERT_TRUE(CreateDirectoryA(Ion().c_str(), nullptr));
    EXPECT_FALSE(Write("zip.wcx", "new"));
}

// 0xFF and 0xB8 are small letters under 1251 (upper-cased to 0xDF and 0xA8) but not such
// pairs under 1252: the names match only where the ANSI code page says so.
TEST_F(DescriptIonTest, NamesCompareUpperCasedInTheAnsiCodePage)
{
    Put("\xDF\xA8.WCX old\r\nother.wcx o\r\n", FILE_ATTRIBUTE_NORMAL);
    const bool sameName = GetACP() == 1251;
    EXPECT_EQ(Read("\xFF\xB8.wcx"), sameName ? "old" : "");
    ASSERT_TRUE(Write("\xFF\xB8.wcx", "new"));
    EXPECT_EQ(testing::ReadBytes(Ion()),
              std::string(sameName ? "" : "\xDF\xA8.WCX old\r\n") + "other.wcx o\r\n\xFF\xB8.wcx new\r\n")
        << "ANSI code page " << GetACP();
}

}  // namespace
}  // namespace pakvane

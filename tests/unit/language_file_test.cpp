#include "i18n/language_file.h"
#include "i18n/interface_strings.h"
#include "i18n/safe_format.h"
#include "fakes/fake_code_page.h"
#include "fakes/fake_text_rules.h"
#include "fakes/memory_file_system.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>

namespace pakvane {
namespace {

// Gives the names it holds, in its own order, as a folder listing does; a name ending in
// "\\" is a folder.
class NamedListing final : public DirectoryLister {
public:
    std::vector<std::string> names;
    std::vector<std::string> asked;
    bool List(const std::string& pattern, const std::function<void(const DirectoryEntry&)>& visit) override
    {
        asked.push_back(pattern);
        for (const std::string& name : names) {
            const bool folder = name.ends_with('\\');
            visit(
                DirectoryEntry{folder ? name.substr(0, name.size() - 1) : name, folder ? kFileAttributeDirectory : 0});
        }
        return true;
    }
    std::unique_ptr<FileReader> OpenFile(const std::string&) override { return nullptr; }
};

class LanguageFileTest : public ::testing::Test {
protected:
    void Put(const std::string& name, const std::string& text) { files.files["c:\\pv\\" + name] = text; }
    std::optional<LanguageStrings> Read(const std::string& name) const { return folder.ReadStrings(name); }

    testing::MemoryFileSystem files;
    testing::FakeCodePage codePage;
    NamedListing listing;
    LanguageFolder folder{files, codePage, listing, "c:\\pv"};
};

TEST_F(LanguageFileTest, ReadsTheNamedKeysOnlyAndOnlyFromALanguageFile)
{
    using S = LanguageStrings;
    const std::string head = "[Language]\r\nLng=Test\r\n[Strings]\r\n";
    struct Case {
        const char* what;
        std::string text;
        std::optional<S> expected;
    };
    const Case cases[] = {
        {"no language section", "[Strings]\r\n1=One\r\n", std::nullopt},
        {"empty language name", "[Language]\r\nLng=\r\n[Strings]\r\n1=One\r\n", std::nullopt},
        {"quoted empty name", "[Language]\r\nLng=\"\"\r\n[Strings]\r\n1=One\r\n", std::nullopt},
        {"no strings at all", "[language]\r\nLNG=Test\r\n", S{}},
        {"keys 1 and 60 name entries 0 and 59; others are no keys",
         head + "0=zero\r\n1=One\r\n01=leading zero\r\n+2=sign\r\n60=Last\r\n61=beyond\r\nx=y\r\n",
         S{{0, "One"}, {59, "Last"}}},
        {"an empty value empties its entry, a line without '=' is no key", head + "7=\r\n8\r\n", S{{6, ""}}},
        {"directives are text until formatted", head + "18=%d%n\r\n21=%s%s%s\r\n50=%",
         S{{17, "%d%n"}, {20, "%s%s%s"}, {49, "%"}}},
        {"the first of two lines of a key wins", head + "1=first\r\n1=second\r\n", S{{0, "first"}}},
        {"a value is cut after 2047 characters", head + "1=" + std::string(3000, 'x'), S{{0, std::string(2047, 'x')}}},
    };
    for (const Case& c : cases) {
        Put("t.lng", c.text);
        EXPECT_EQ(Read("t.lng"), c.expected) << c.what;
    }
    EXPECT_EQ(Read("missing.lng"), std::nullopt);
    EXPECT_EQ(Read(""), std::nullopt) << "no name is the folder itself";
    Put("locked.lng", head + "1=One\r\n");
    files.unreadable.insert("c:\\pv\\locked.lng");
    EXPECT_EQ(Read("locked.lng"), std::nullopt);
}

// A UTF-8 file with a byte order mark is read as the profile functions read it: decoded,
// then given in the ANSI code page (here 1252), '?' for what that lacks.
TEST_F(LanguageFileTest, AUtf8FileWithBomComesInTheAnsiCodePage)
{
    Put("fr.lng",
        "\xEF\xBB\xBF[Language]\r\nLng=Fran\xC3\xA7"
        "ais\r\n[Strings]\r\n1=D\xC3\xA9j\xC3\xA0 \xD0\xAF\r\n");
    listing.names = {"fr.lng"};
    EXPECT_EQ(folder.List(), (std::vector<LanguageFile>{{"fr.lng",
                                                         "Fran\xE7"
                                                         "ais"}}));
    EXPECT_EQ(Read("fr.lng"), (LanguageStrings{{0, "D\xE9j\xE0 ?"}}));
}

TEST_F(LanguageFileTest, ListsLanguageFilesInTheFoldersOrder)
{
    Put("b.lng", "[Language]\r\nLng=Same\r\n");
    Put("A.LNG", "[Language]\r\nLng= Alpha \r\n");
    Put("c.lng", "[Language]\r\nLng=Same\r\n");
    Put("empty.lng", "[Language]\r\nLng=\r\n");
    Put("x.lngx", "[Language]\r\nLng=Short name match\r\n");
    Put("locked.lng", "[Language]\r\nLng=Locked\r\n");
    files.unreadable.insert("c:\\pv\\locked.lng");
    Put("folder.lng", "[Language]\r\nLng=A folder\r\n");  // listed as a folder: never read
    listing.names = {"b.lng", "x.lngx",       "empty.lng", "gone.lng", "locked.lng",
                     "A.LNG", "folder.lng\\", "c.lng",     ".lng"};
    EXPECT_EQ(folder.List(), (std::vector<LanguageFile>{{"b.lng", "Same"}, {"A.LNG", "Alpha"}, {"c.lng", "Same"}}));
    EXPECT_EQ(listing.asked, std::vector<std::string>{"c:\\pv\\*.lng"});

    // Without a folder (the executable's path unknown) nothing is listed or read.
    LanguageFolder nowhere(files, codePage, listing, "");
    Put("..\\relative.lng", "[Language]\r\nLng=X\r\n");
    EXPECT_TRUE(nowhere.List().empty());
    EXPECT_EQ(nowhere.ReadStrings("b.lng"), std::nullopt);
}

TEST(LanguageFileNames, FoundIgnoringCaseInTheAnsiCodePage)
{
    const FakeTextRules rules;  // Windows-1251
    const std::vector<LanguageFile> listed{
        {"English.lng", "English"}, {"\xD0\xF3\xF1.lng", "Rus"}, {"ENGLISH.LNG", "2"}};
    EXPECT_EQ(FindLanguageFile(listed, "english.LNG", rules), 0u);
    EXPECT_EQ(FindLanguageFile(listed, "\xF0\xF3\xF1.LNG", rules), 1u);  // "рус" for "Рус"
    EXPECT_EQ(FindLanguageFile(listed, "English", rules), std::nullopt);
    EXPECT_EQ(FindLanguageFile(listed, "", rules), std::nullopt);
    EXPECT_EQ(FolderOfPath("C:\\Tools\\pakvane.exe"), "C:\\Tools\\");
    EXPECT_EQ(FolderOfPath("pakvane.exe"), "");
}

// The language files that ship with the program: complete, patterns that format, and the
// English one without a single non-ASCII byte (so no Russian left).
TEST(ShippedLanguageFiles, AreCompleteTranslations)
{
    testing::MemoryFileSystem files;
    const testing::FakeCodePage codePage;
    NamedListing listing;
    listing.names = {"English.lng", "German.lng"};
    for (const std::string& name : listing.names) {
        std::ifstream in(std::string(PAKVANE_LANGUAGE_DIR) + "/" + name, std::ios::binary);
        ASSERT_TRUE(in) << name;
        files.files["c:\\pv\\" + name].assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    const LanguageFolder folder(files, codePage, listing, "c:\\pv\\");
    ASSERT_EQ(folder.List().size(), 2u);
    for (const std::string& name : listing.names) {
        const auto strings = folder.ReadStrings(name);
        ASSERT_TRUE(strings) << name;
        const std::map<int, std::string> entries(strings->begin(), strings->end());
        for (int i = 0; i < kInterfaceStringCount; ++i) {
            ASSERT_TRUE(entries.count(i)) << name << " entry " << i;
            EXPECT_EQ(entries.at(i).empty(), BuiltInString(i).empty()) << name << " entry " << i;
            const bool pattern = BuiltInString(i).find("%s") != std::string::npos;
            EXPECT_EQ(SafeFormat(entries.at(i), "@") != entries.at(i), pattern) << name << " entry " << i;
            EXPECT_EQ(entries.at(i).find("%commander_path%") != std::string::npos,
                      BuiltInString(i).find("%commander_path%") != std::string::npos)
                << name << " entry " << i;
        }
    }
    const std::string& english = files.files["c:\\pv\\English.lng"];
    for (const char c : english) EXPECT_TRUE(c == '\r' || c == '\n' || (c >= 0x20 && c < 0x7F)) << int(c);
}

}  // namespace
}  // namespace pakvane

// The line rules of descript.ion files and the rewrite for one library.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "comments/descript_ion.h"
#include "fakes/fake_text_rules.h"

namespace pakvane {
namespace {

TEST(CommentLinesTest, SplitsQuotedAndUnquotedEntries)
{
    const struct {
        const char* line;
        CommentEntry entry;
    } cases[] = {
        {"zip.wcx Packs zip files", {"zip.wcx", "Packs zip files"}},
        {"\"my plugin.wcx\"   two words ", {"my plugin.wcx", "two words"}},
        {"\" spaced.wcx \"x", {"spaced.wcx", "x"}},
        {"\"unclosed name.wcx", {"unclosed name.wcx", ""}},
        {"\"\" comment", {"", "comment"}},
        {"zip.wcx\tone", {"zip.wcx", "one"}},                // no space: the tab separates
        {"zip.wcx\ttwo words", {"zip.wcx\ttwo", "words"}},   // a space wins over an earlier tab
        {"zip.wcx", {"zip.wcx", ""}},
        {"a\"b.wcx c", {"a\"b.wcx", "c"}},                  // a quote inside a name is no quoting
    };
    for (const auto& c : cases) EXPECT_EQ(SplitCommentLine(c.line), c.entry) << c.line;
}

TEST(CommentLinesTest, WritesQuotesOnlyForNamesWithSpaces)
{
    EXPECT_EQ(FormatCommentLine({"my plugin.wcx", "c"}), "\"my plugin.wcx\" c");
    EXPECT_EQ(FormatCommentLine({"tab\tname.wcx", "c"}), "tab\tname.wcx c");
    EXPECT_EQ(FormatCommentLine({"bare.wcx", ""}), "bare.wcx ");
}

TEST(CommentLinesTest, EveryLineBreakEndsALineAndBlankLinesVanish)
{
    const struct {
        std::string text;
        std::vector<std::string_view> lines;
    } cases[] = {
        {"a 1\r\nb 2\r\n", {"a 1", "b 2"}},
        {"a 1\nb 2", {"a 1", "b 2"}},                       // lone LF
        {"a 1\rb 2\n\r\n", {"a 1", "b 2"}},                  // lone CR, LF CR
        {"a 1\r\n\x1A" "b 2\r\n\x1A", {"a 1", "b 2"}},       // text after Ctrl+Z is kept
        {"  \t\r\n\x01 a 1 \x02\r\n", {"a 1"}},              // control bytes trimmed
        {std::string("a\0 1\r\n", 6), {std::string_view("a\0 1", 4)}},
        {"", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(CommentFileLines(c.text), c.lines) << c.text;
}

TEST(CommentLinesTest, StoredCommentIsOneTrimmedLine)
{
    EXPECT_EQ(SingleLineComment("first\r\nsecond"), "first second");
    EXPECT_EQ(SingleLineComment("a\nb\rc\x1A" "d"), "a b c d");  // no byte that would split the entry
    EXPECT_EQ(SingleLineComment(" \r\n x \r\n"), "x");
    EXPECT_EQ(SingleLineComment("\r\n\r\n"), "");
}

TEST(CommentLinesTest, RewriteReplacesEveryEntryOfTheLibraryAndKeepsTheRest)
{
    FakeTextRules rules;
    const struct {
        const char* what;
        std::string old;
        const char* name;
        const char* comment;
        std::string expected;
    } cases[] = {
        {"only entry removed", "zip.wcx old\r\n", "zip.wcx", "", ""},
        {"no file, no comment", "", "zip.wcx", "", ""},
        {"appended last, duplicates dropped, others canonical",
         "ZIP.WCX\r\n\"Rar.wcx\" r\r\nzip.wcx first\r\n\"a b.wcx\"   spaced\r\n", "zip.wcx", "new",
         "Rar.wcx r\r\n\"a b.wcx\" spaced\r\nzip.wcx new\r\n"},
        {"tab entry with two words survives", "zip.wcx\tmy notes\r\n", "zip.wcx", "c",
         "zip.wcx\tmy notes\r\nzip.wcx c\r\n"},
        {"tab entry with one word is the library's", "zip.wcx\tnotes\r\n", "zip.wcx", "c", "zip.wcx c\r\n"},
        {"lone LF and Ctrl+Z lose no entry", "a.wcx 1\nzip.wcx 2\nb.wcx 3\x1A" "c.wcx 4", "zip.wcx", "",
         "a.wcx 1\r\nb.wcx 3\r\nc.wcx 4\r\n"},
        {"library name with a space is quoted", "", "my zip.wcx", "c", "\"my zip.wcx\" c\r\n"},
        {"pasted line breaks become spaces", "", "zip.wcx", "one\r\ntwo\nthree", "zip.wcx one two three\r\n"},
        {"Cyrillic names compare upper-cased", "\xC0\xD0\xD5\xC8\xC2.WCX old\r\n", "\xE0\xf0\xf5\xe8\xe2.wcx", "c",
         "\xE0\xf0\xf5\xe8\xe2.wcx c\r\n"},
    };
    for (const auto& c : cases) EXPECT_EQ(RewriteCommentFile(c.old, c.name, c.comment, rules), c.expected) << c.what;
}

TEST(CommentLinesTest, CommentFileSitsBesideTheLibrary)
{
    const struct {
        const char* library;
        const char* file;
        const char* name;
    } cases[] = {
        {"c:\\tc\\plugins\\zip.wcx", "c:\\tc\\plugins\\descript.ion", "zip.wcx"},
        {"c:zip.wcx", "c:descript.ion", "zip.wcx"},
        {"zip.wcx", "descript.ion", "zip.wcx"},
        {"c:/tc/zip.wcx", "c:/tc/descript.ion", "zip.wcx"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CommentFilePath(c.library), c.file) << c.library;
        EXPECT_EQ(LibraryFileName(c.library), c.name) << c.library;
    }
}

}  // namespace
}  // namespace pakvane

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
        {"\"my plugin.wcx\"   two words ", {"my plugin.wcx", "two words"}},
        {"\" spaced.wcx \"x", {"spaced.wcx", "x"}},
        {"\"unclosed name.wcx", {"unclosed name.wcx", ""}},
        {"zip.wcx\tone", {"zip.wcx", "one"}},  // no space: the tab separates
        {"zip.wcx\ttwo words", {"zip.wcx\ttwo", "words"}},  // a space wins over an earlier tab
        {"zip.wcx", {"zip.wcx", ""}},
        {"a\"b.wcx c", {"a\"b.wcx", "c"}},  // a quote inside a name is no quoting
    };
    for (const auto& c : cases) EXPECT_EQ(SplitCommentLine(c.line), c.entry) << c.line;
}

TEST(CommentLinesTest, EveryLineBreakEndsALineAndBlankLinesVanish)
{
    const struct {
        std::string text;
        std::vector<std::string_view> lines;
    } cases[] = {
        {"a 1\nb 2", {"a 1", "b 2"}},  // lone LF
        {"a 1\rb 2\n\r\n", {"a 1", "b 2"}},  // lone CR, LF CR
        {"a 1\r\n\x1A"
         "b 2\r\n\x1A",
         {"a 1", "b 2"}},  // text after Ctrl+Z is kept
        {"  \t\r\n\x01 a 1 \x02\r\n", {"a 1"}},  // control bytes trimmed
        {std::string("a\0 1", 4), {std::string_view("a\0 1", 4)}},
    };
    for (const auto& c : cases) EXPECT_EQ(CommentFileLines(c.text), c.lines) << c.text;
}

TEST(CommentLinesTest, RewriteWritesEntriesInTheirOwnForm)
{
    FakeTextRules rules;
    const struct {
        std::string old;
        const char* name;
        const char* comment;
        std::string expected;
    } cases[] = {
        {"", "zip.wcx", " \r\n ", ""},
        {"zip.wcx\tmy notes\r\n", "zip.wcx", "c", "zip.wcx\tmy notes\r\nzip.wcx c\r\n"},  // not the library's entry
        {"zip.wcx\tnotes\r\n", "ZIP.wcx", "c", "ZIP.wcx c\r\n"},  // the library's entry
        {"\"tab\tname.wcx\" x\r\n", "my zip.wcx", "c", "tab\tname.wcx x\r\n\"my zip.wcx\" c\r\n"},
        {"", "zip.wcx", "one\r\ntwo\nthree\x1A", "zip.wcx one two three\r\n"},  // nothing that splits the line
    };
    for (const auto& c : cases) EXPECT_EQ(RewriteCommentFile(c.old, c.name, c.comment, rules), c.expected) << c.old;
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

// Sorting through the system collation, where order differs from byte order, and the
// prepared comparison the sort uses against CompareStringA itself.
#include "config/association.h"
#include "config/association_list.h"
#include "config/association_sort.h"
#include "platform/text_rules.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace pakvane {
namespace {

TEST(SortAssociationsCollationTest, OrdersByTheUserCollation)
{
    const std::unique_ptr<TextRules> rules = MakeSystemTextRules();
    AssociationList list;
    for (const char* text : {"a9=0,p", "A10=1,p", "1x=0,p", "_x=0,p", "a-c=0,p", "ab=0,P"}) list.Append(text, false);
    list.SetChecked(1, true);
    list.Select(1);
    SortAssociations(list, SortMode::ByExtension, *rules);

    std::vector<std::string> texts;
    for (const AssociationRow& row : list.Rows()) texts.push_back(row.text);
    // Keys: _XP < 1XP < A10P < A9P < ABP < A-CP (the hyphen counts for nothing here).
    EXPECT_EQ(texts, (std::vector<std::string>{"_x=0,p", "1x=0,p", "A10=1,p", "a9=0,p", "ab=0,P", "a-c=0,p"}));
    EXPECT_EQ(list.Selected(), 2);
    EXPECT_TRUE(list.Row(2).checked);
}

int Sign(int value)
{
    return value < 0 ? -1 : (value > 0 ? 1 : 0);
}

int CompareStringASign(const std::string& a, const std::string& b)
{
    return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()), b.data(),
                          static_cast<int>(b.size())) -
           CSTR_EQUAL;
}

// Texts where the collation departs from byte order in every way we know of: punctuation
// before digits before letters, ignored hyphens and apostrophes, numbers as digits,
// accented and Cyrillic letters (0xC0-0xFF are Cyrillic under 1251, Latin under 1252),
// case, prefixes, long texts and an embedded NUL.
std::vector<std::string> VariedTexts()
{
    std::vector<std::string> texts = {
        "",
        " ",
        "!",
        "\"",
        "#",
        "$",
        "%",
        "&",
        "(",
        ")",
        "*",
        ",",
        ".",
        "/",
        ":",
        ";",
        "?",
        "@",
        "[",
        "\\",
        "]",
        "^",
        "_",
        "{",
        "|",
        "}",
        "~",
        "+",
        "<",
        "=",
        ">",
        "0",
        "1",
        "9",
        "10",
        "a",
        "A",
        "b",
        "z",
        "Z",
        "a-b",
        "ab",
        "a-c",
        "-ab",
        "ab-",
        "a'b",
        "'ab",
        "ab'",
        "a--b",
        "co-op",
        "coop",
        "co'op",
        "a9",
        "a10",
        "a09",
        "A10",
        "zip",
        "ZIP",
        "zip.wcx",
        "ZIP.WCX",
        "zip_wcx",
        "zip-wcx",
        "C:\\WCX\\ZIP.WCX",
        "C:\\WCX\\ZIPX.WCX",
        "%COMMANDER_PATH%\\PLUGINS\\ZIP.WCX",
        "7Z",
        "7-ZIP",
        "\xC0",
        "\xE0",
        "\xC0\xC1",
        "\xE0\xE1",
        "\xC5",
        "\xA8",
        "\xB8",
        "\xC5\xC6",
        "\xA8\xC6",
        "\xE5\xE6",
        "\xB8\xE6",
        "\xC9",
        "\xD0",
        "\xDF",
        "\xFF",
        "\xE9t\xE9",
        "ete",
        "\xC1\xC0\xC7\xC0",
        "\xE1\xE0\xE7\xE0",
        "\xC0-\xC1",
        "\xC0'\xC1",
        "\x80",
        "\x96",
        "\x97",
        "\x91x",
        "\x92x",
        "\xB9",
        "a\xA0"
        "b",
        "\xC0"
        "1",
        "1\xC0",
        "z\xC0",
        "\xC0z",
        std::string("a\0b", 3),
        std::string("a\0c", 3),
    };
    texts.push_back(std::string(300, 'm') + "a");  // longer than any fixed buffer of the A call
    texts.push_back(std::string(300, 'M') + "B");
    return texts;
}

TEST(PreparedCollationTest, AgreesWithCompareStringAOnEveryPair)
{
    const std::unique_ptr<TextRules> rules = MakeSystemTextRules();
    const std::vector<std::string> texts = VariedTexts();
    std::vector<CollationText> prepared;
    for (const std::string& text : texts) prepared.push_back(rules->PrepareCollation(text));

    int disagreements = 0;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        for (std::size_t j = 0; j < texts.size(); ++j) {
            const int expected = CompareStringASign(texts[i], texts[j]);
            const int actual = Sign(rules->ComparePrepared(prepared[i], prepared[j]));
            if (actual == expected) continue;
            if (++disagreements <= 10) {
                ADD_FAILURE() << "\"" << texts[i] << "\" vs \"" << texts[j] << "\": CompareStringA " << expected
                              << ", prepared " << actual << " (ANSI code page " << GetACP() << ")";
            }
        }
    }
    EXPECT_EQ(disagreements, 0);
}

// The documented order, built the slow way: each row inserted before the first key that
// does not compare less with CompareStringA, so equal keys come out later row first.
std::vector<std::string> ReferenceOrder(const std::vector<std::string>& rows, SortMode mode, const TextRules& rules)
{
    std::vector<std::string> keys;
    std::vector<std::string> sorted;
    for (const std::string& row : rows) {
        const std::string key = AssociationSortKey(row, mode, rules);
        std::size_t low = 0, high = keys.size();
        while (low < high) {
            const std::size_t mid = (low + high) / 2;
            if (CompareStringASign(keys[mid], key) < 0)
                low = mid + 1;
            else
                high = mid;
        }
        keys.insert(keys.begin() + static_cast<std::ptrdiff_t>(low), key);
        sorted.insert(sorted.begin() + static_cast<std::ptrdiff_t>(low), row);
    }
    return sorted;
}

TEST(PreparedCollationTest, SortGivesTheOrderOfCompareStringA)
{
    const std::unique_ptr<TextRules> rules = MakeSystemTextRules();
    const std::vector<std::string> pieces = VariedTexts();
    // Rows drawn from the varied texts by a fixed pseudo-random walk, so that extensions and
    // paths mix punctuation, digits, ignored characters, letters of both cases and repeats.
    std::vector<std::string> rows;
    std::uint32_t state = 12345;
    const auto next = [&] {
        state = state * 1103515245u + 12345u;
        return (state >> 8) % pieces.size();
    };
    for (int i = 0; i < 1500; ++i) {
        std::string extension = pieces[next()];
        std::string path = pieces[next()] + pieces[next()];
        for (std::string* part : {&extension, &path})
            for (char& c : *part)
                if (c == '\0' || c == '=' || c == ',') c = 'q';  // keep the line syntax intact
        rows.push_back(extension + "=" + std::to_string(i) + "," + path);
    }

    for (const SortMode mode : {SortMode::ByExtension, SortMode::ByPlugin}) {
        AssociationList list;
        for (const std::string& row : rows) list.Append(row, false);
        SortAssociations(list, mode, *rules);
        std::vector<std::string> actual;
        for (const AssociationRow& row : list.Rows()) actual.push_back(row.text);
        EXPECT_EQ(actual, ReferenceOrder(rows, mode, *rules))
            << (mode == SortMode::ByExtension ? "by extension" : "by plugin");
    }
}

// 2,000 rows of the kinds plugin lists hold, plus the awkward ones: punctuation, digits,
// hyphens and apostrophes (passed over at first), bytes above 0x7F (Cyrillic under 1251),
// long shared prefixes, and the same key several times in other case and spacing.
std::vector<std::string> MixedRows()
{
    const char* const extensions[] = {"zip",   "7z",   "a-b", "ab", "a'c",          "tar.gz",       "r00",       "r1",
                                      "r10",   "_x",   "!x",  "~x", "\xE0\xF0\xF5", "\xC0\xD0\xD5", "\xE9t\xE9", "ete",
                                      "co-op", "coop", "A10", "a9"};
    const char* const folders[] = {"%COMMANDER_PATH%\\Plugins\\wcx\\",
                                   "C:\\Program Files\\Total Commander\\Plugins\\wcx\\",
                                   "d:\\tools\\tc\\plugins\\wcx\\", "c:\\\xCF\xEB\xE0\xE3\xE8\xED\xFB\\"};
    const char* const names[] = {
        "Multi-Arc", "MultiArc", "Sfx'Tool", "SfxTool", "total7zip", "7-Zip", "(x)", "[y]", "\xE0\xF0\xF5\xE8\xE2",
        "plugin_",   "plugin.",  "plugin "};
    std::vector<std::string> rows;
    std::uint32_t state = 2024;
    const auto next = [&](std::size_t size) {
        state = state * 1664525u + 1013904223u;
        return static_cast<std::size_t>((state >> 8) % size);
    };
    for (int i = 0; i < 2000; ++i) {
        if (i >= 10 && i % 9 == 0) {
            // An earlier row's key again, written differently.
            const Association earlier = ParseAssociation(rows[next(rows.size())]);
            rows.push_back(" " + earlier.extension + " = " + std::to_string(i) + " , " + earlier.path + " ");
            continue;
        }
        std::string extension = extensions[next(std::size(extensions))];
        if (i % 5 == 0) extension += std::to_string(i % 13);
        const std::string path = std::string(folders[next(std::size(folders))]) + names[next(std::size(names))] +
                                 std::to_string(next(40)) + "\\" + names[next(std::size(names))] + ".wcx";
        rows.push_back(extension + "=" + std::to_string(i) + "," + path);
    }
    return rows;
}

TEST(PreparedCollationTest, TwoPhaseSortGivesTheOrderOfCompareStringAOnMixedRows)
{
    const std::vector<std::string> rows = MixedRows();
    for (const SortMode mode : {SortMode::ByExtension, SortMode::ByPlugin}) {
        const std::unique_ptr<TextRules> system = MakeSystemTextRules();
        const TextRules& rules = *system;
        AssociationList list;
        for (const std::string& row : rows) list.Append(row, false);
        SortAssociations(list, mode, rules);
        std::vector<std::string> actual;
        for (const AssociationRow& row : list.Rows()) actual.push_back(row.text);
        const char* name = mode == SortMode::ByExtension ? "by extension" : "by plugin";
        EXPECT_EQ(actual, ReferenceOrder(rows, mode, rules)) << name << ", ANSI code page " << GetACP();
    }
}

}  // namespace
}  // namespace pakvane

#include "config/association.h"
#include "config/association_list.h"
#include "config/association_sort.h"
#include "fakes/fake_text_rules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace pakvane {
namespace {

AssociationList MakeList(const std::vector<AssociationRow>& rows, int selected = -1)
{
    AssociationList list;
    for (const AssociationRow& row : rows) list.Append(row.text, row.checked);
    list.Select(selected);
    return list;
}

using TextList = std::vector<std::string>;

TextList Texts(const AssociationList& list)
{
    TextList texts;
    for (const AssociationRow& row : list.Rows()) texts.push_back(row.text);
    return texts;
}

TEST(AssociationSortKeyTest, JoinsTrimmedPartsWithoutSeparatorInUpperCase)
{
    const FakeTextRules rules;
    EXPECT_EQ(AssociationSortKey("ab=0,c:\\p.wcx", SortMode::ByExtension, rules), "ABC:\\P.WCX");
    EXPECT_EQ(AssociationSortKey("ab=0,c:\\p.wcx", SortMode::ByPlugin, rules), "C:\\P.WCXAB");
    EXPECT_EQ(AssociationSortKey(" a\xE0 = 1 , b ", SortMode::ByExtension, rules),
              "A\xC0"
              "B");
}

struct OrderCase {
    const char* name;
    SortMode mode;
    TextList before;
    TextList after;
};

class SortOrderTest : public ::testing::TestWithParam<OrderCase> {};

TEST_P(SortOrderTest, SortsAscendingByKey)
{
    const FakeTextRules rules;
    AssociationList list;
    for (const std::string& text : GetParam().before) list.Append(text, false);
    SortAssociations(list, GetParam().mode, rules);
    EXPECT_EQ(Texts(list), GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, SortOrderTest,
    ::testing::Values(OrderCase{"ExtensionFirst",
                                SortMode::ByExtension,
                                {"zip=0,c:\\a.wcx", "arj=0,c:\\z.wcx"},
                                {"arj=0,c:\\z.wcx", "zip=0,c:\\a.wcx"}},
                      OrderCase{"SameExtensionByPath",
                                SortMode::ByExtension,
                                {"zip=0,d:\\zip.wcx", "zip=0,c:\\zip.wcx", "arj=0,e:\\a.wcx"},
                                {"arj=0,e:\\a.wcx", "zip=0,c:\\zip.wcx", "zip=0,d:\\zip.wcx"}},
                      // No separator: ABC:\P.WCX sorts before AZ:\P.WCX although "a" < "ab".
                      OrderCase{"NoSeparator",
                                SortMode::ByExtension,
                                {"a=0,z:\\p.wcx", "ab=0,c:\\p.wcx"},
                                {"ab=0,c:\\p.wcx", "a=0,z:\\p.wcx"}},
                      OrderCase{"PluginFirst",
                                SortMode::ByPlugin,
                                {"zip=0,c:\\wcx\\multi.wcx", "cab=0,c:\\wcx\\cab.wcx", "arj=0,c:\\wcx\\multi.wcx"},
                                {"cab=0,c:\\wcx\\cab.wcx", "arj=0,c:\\wcx\\multi.wcx", "zip=0,c:\\wcx\\multi.wcx"}},
                      // Case and blanks around the parts do not count; flags are not part of the key.
                      OrderCase{"CaseAndBlanksIgnored",
                                SortMode::ByExtension,
                                {"Zip = 1 , B", "zip=2,a", "ZIP=3,C"},
                                {"zip=2,a", "Zip = 1 , B", "ZIP=3,C"}}),
    [](const auto& info) { return std::string(info.param.name); });

// Rules whose sort-key bytes can be made to disagree with the comparison: the sort must
// come out right whatever the keys say. (How many comparisons it takes is the benchmark's.)
class DistortingRules : public FakeTextRules {
public:
    using Distortion = std::function<std::string(const std::string& key)>;
    explicit DistortingRules(Distortion distort) : distort_(std::move(distort)) {}

    void AppendSortKey(const CollationText& text, std::string& key) const override
    {
        std::string own;
        FakeTextRules::AppendSortKey(text, own);
        key += distort_ ? distort_(own) : own;
    }

private:
    Distortion distort_;
};

// The documented order, built the slow way: each row in turn goes before the first key
// that does not compare less, so equal keys come out later row first.
TextList ReferenceOrder(const TextList& rows, const TextRules& rules)
{
    std::vector<std::string> keys;
    TextList sorted;
    for (const std::string& row : rows) {
        const std::string key = AssociationSortKey(row, SortMode::ByExtension, rules);
        std::size_t at = 0, end = keys.size();
        while (at < end) {
            const std::size_t mid = (at + end) / 2;
            if (rules.Compare(keys[mid], key) < 0)
                at = mid + 1;
            else
                end = mid;
        }
        keys.insert(keys.begin() + static_cast<std::ptrdiff_t>(at), key);
        sorted.insert(sorted.begin() + static_cast<std::ptrdiff_t>(at), row);
    }
    return sorted;
}

// 2,000 rows in a scrambled order, every tenth key repeated in other case and spacing,
// with letters of both alphabets so that the upper-casing counts.
TextList ScrambledRows()
{
    TextList rows;
    for (std::size_t i = 0; i < 2000; ++i) {
        const std::size_t n = (i * 769) % 1800;  // 769 is prime: 1,800 distinct keys, some twice
        std::string extension = "e" + std::to_string(n % 60) + (n % 3 ? "\xE0" : "\xC0");
        std::string path = "c:\\plugins\\p" + std::to_string(n / 60) + ".wcx";
        if (i % 2) std::transform(path.begin(), path.end(), path.begin(), [](char c) { return c == 'p' ? 'P' : c; });
        rows.push_back((i % 4 ? "" : " ") + extension + "=" + std::to_string(i) + "," + path);
    }
    return rows;
}

struct PreOrderCase {
    const char* name;
    DistortingRules::Distortion distort;
};

class PreOrderTest : public ::testing::TestWithParam<PreOrderCase> {};

TEST_P(PreOrderTest, OrderIsTheComparisonsWhateverTheSortKeysSay)
{
    const TextList rows = ScrambledRows();
    const FakeTextRules plain;
    const TextList expected = ReferenceOrder(rows, plain);

    const DistortingRules rules(GetParam().distort);
    AssociationList list;
    for (const std::string& row : rows) list.Append(row, false);
    SortAssociations(list, SortMode::ByExtension, rules);
    EXPECT_EQ(Texts(list), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, PreOrderTest,
    ::testing::Values(PreOrderCase{"Agreeing", nullptr},
                      // Some keys sort a little out of place (plugin 7 among plugin 8's rows): the insertion
                      // pass moves them back.
                      PreOrderCase{"SomeDisagree",
                                   [](std::string key) {
                                       const std::size_t at = key.find("\\P7.");
                                       if (at != std::string::npos) key[at + 2] = '8';
                                       return key;
                                   }},
                      // Keys that say nothing: the pass gives up and a full sort takes over.
                      PreOrderCase{"AllEqual", [](const std::string&) { return std::string(); }},
                      // Keys in exactly the reverse order.
                      PreOrderCase{"Reversed",
                                   [](const std::string& key) {
                                       std::string reversed = key;
                                       for (char& c : reversed)
                                           c = static_cast<char>(0xFF - static_cast<unsigned char>(c));
                                       return reversed + "\xFF";
                                   }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SortAssociationsTest, EqualKeysReverseOnEverySort)
{
    const FakeTextRules rules;
    // Same extension and path (in different case and spacing), told apart by their flags.
    AssociationList list = MakeList(
        {{"zip=1,c:\\z.wcx", true}, {"arj=0,a", false}, {"ZIP=2,C:\\Z.WCX", false}, {" zip = 3 , c:\\z.wcx", true}});
    SortAssociations(list, SortMode::ByExtension, rules);
    EXPECT_EQ(Texts(list), (TextList{"arj=0,a", " zip = 3 , c:\\z.wcx", "ZIP=2,C:\\Z.WCX", "zip=1,c:\\z.wcx"}));
    SortAssociations(list, SortMode::ByExtension, rules);
    EXPECT_EQ(Texts(list), (TextList{"arj=0,a", "zip=1,c:\\z.wcx", "ZIP=2,C:\\Z.WCX", " zip = 3 , c:\\z.wcx"}));
}

TEST(SortAssociationsTest, ChecksAndSelectionMoveWithTheirRows)
{
    const FakeTextRules rules;
    AssociationList list = MakeList({{"zip=0,z", true}, {"rar=0,r", false}, {"arj=0,a", true}, {"cab=0,c", false}}, 1);
    SortAssociations(list, SortMode::ByExtension, rules);
    ASSERT_EQ(Texts(list), (TextList{"arj=0,a", "cab=0,c", "rar=0,r", "zip=0,z"}));
    EXPECT_TRUE(list.Row(0).checked);
    EXPECT_FALSE(list.Row(1).checked);
    EXPECT_FALSE(list.Row(2).checked);
    EXPECT_TRUE(list.Row(3).checked);
    EXPECT_EQ(list.Selected(), 2);

    list.Select(-1);
    SortAssociations(list, SortMode::ByPlugin, rules);
    EXPECT_EQ(list.Selected(), -1);
}

TEST(SortAssociationsTest, ListsOfNoneOrOneRowStayAsTheyAre)
{
    const FakeTextRules rules;
    AssociationList empty;
    SortAssociations(empty, SortMode::ByExtension, rules);
    EXPECT_EQ(empty.Count(), 0u);
    EXPECT_EQ(empty.Selected(), -1);

    AssociationList one = MakeList({{" Zip = $1F , p ", true}}, 0);
    SortAssociations(one, SortMode::ByPlugin, rules);
    ASSERT_EQ(one.Count(), 1u);
    EXPECT_EQ(one.Row(0).text, " Zip = $1F , p ");
    EXPECT_TRUE(one.Row(0).checked);
    EXPECT_EQ(one.Selected(), 0);
}

// Positions past 65,535 must keep their identity: pairs of equal keys are spread over the
// whole list, and each pair must come out with its later row first.
TEST(SortAssociationsTest, SortsListsLongerThan65536Rows)
{
    const FakeTextRules rules;
    constexpr std::size_t kPairs = 35'001;
    constexpr std::size_t kRows = kPairs * 2;
    // Keys are zero-padded so that byte order equals numeric order.
    const auto key = [](std::size_t n) {
        const std::string digits = std::to_string(n);
        std::string padded = "k";
        padded.append(6 - digits.size(), '0').append(digits);
        return padded;
    };
    AssociationList list;
    for (std::size_t i = 0; i < kRows; ++i) {
        // Row i gets key i * 7919 mod kPairs (7919 is coprime to kPairs), so the two rows of a
        // pair stand kPairs apart. The flags carry the old position so the result can be traced.
        list.Append(key((i * 7919) % kPairs) + "=" + std::to_string(i) + ",p", i % 3 == 0);
    }
    const std::size_t selectedOld = kRows - 2;
    list.Select(static_cast<int>(selectedOld));
    SortAssociations(list, SortMode::ByExtension, rules);

    ASSERT_EQ(list.Count(), kRows);
    int foundSelected = -1;
    for (std::size_t j = 0; j < kRows; ++j) {
        const Association row = ParseAssociation(list.Row(j).text);
        const std::size_t old = static_cast<std::size_t>(row.flags);
        ASSERT_EQ(row.extension, key(j / 2)) << "row " << j;
        // Within a pair the row from the later half comes first.
        ASSERT_EQ(old >= kPairs, j % 2 == 0) << "row " << j;
        ASSERT_EQ(list.Row(j).checked, old % 3 == 0) << "row " << j;
        if (old == selectedOld) foundSelected = static_cast<int>(j);
    }
    EXPECT_EQ(list.Selected(), foundSelected);
}

}  // namespace
}  // namespace pakvane

#include "config/association_list.h"
#include "config/association_rules.h"
#include "fakes/fake_text_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pakvane {
namespace {

AssociationList MakeList(const std::vector<AssociationRow>& rows, int selected)
{
    AssociationList list;
    for (const AssociationRow& row : rows) list.Append(row.text, row.checked);
    list.Select(selected);
    return list;
}

std::vector<bool> Checks(const AssociationList& list)
{
    std::vector<bool> checks;
    for (const AssociationRow& row : list.Rows()) checks.push_back(row.checked);
    return checks;
}

const std::vector<AssociationRow> kRows = {
    {"ZIP=1,c:\\a.wcx", true},  {"zip=2,c:\\b.wcx", true},   {"zip=3,c:\\c.wcx", false},
    {"rar=1,c:\\d.wcx", true},  {" Zip =4,c:\\e.wcx", true},  // same extension once trimmed
    {"zipx=1,c:\\f.wcx", true},  // longer extension, not a rival
    {"zi=1,c:\\g.wcx", true},   {"c:\\zip.wcx", true},  // no extension at all
};

TEST(EnforceSingleEnabledTest, SwitchingOnSwitchesOffRivalsOfAnyCase)
{
    const FakeTextRules rules;
    AssociationList list = MakeList(kRows, 0);
    EXPECT_EQ(EnforceSingleEnabled(list, rules), 2u);
    EXPECT_EQ(Checks(list), (std::vector<bool>{true, false, false, true, false, true, true, true}));
    EXPECT_EQ(list.Selected(), 0);
    for (std::size_t i = 0; i < kRows.size(); ++i) EXPECT_EQ(list.Row(i).text, kRows[i].text);

    // The rule holds from the other side too: the lower-case row wins when it is chosen.
    AssociationList again = MakeList(kRows, 1);
    EXPECT_EQ(EnforceSingleEnabled(again, rules), 2u);
    EXPECT_EQ(Checks(again), (std::vector<bool>{false, true, false, true, false, true, true, true}));
}

TEST(EnforceSingleEnabledTest, SwitchingOffOrNoSelectionChangesNothing)
{
    const FakeTextRules rules;
    const std::vector<bool> before = Checks(MakeList(kRows, -1));
    for (const int selected : {2, -1}) {
        AssociationList list = MakeList(kRows, selected);
        EXPECT_EQ(EnforceSingleEnabled(list, rules), 0u);
        EXPECT_EQ(Checks(list), before);
    }
}

TEST(EnforceSingleEnabledTest, ComparesExtensionsLowerCasedInTheAnsiCodePage)
{
    const FakeTextRules rules;
    // "\xC0\xD0\xC6" and "\xE0\xF0\xE6" are the same Cyrillic extension in code page 1251.
    AssociationList list =
        MakeList({{"\xE0\xF0\xE6=0,a", true}, {"\xC0\xD0\xC6=0,b", true}, {"\xE0\xF0=0,c", true}}, 1);
    EXPECT_EQ(EnforceSingleEnabled(list, rules), 1u);
    EXPECT_EQ(Checks(list), (std::vector<bool>{false, true, true}));
}

}  // namespace
}  // namespace pakvane

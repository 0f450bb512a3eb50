#include "config/association_list.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace pakvane {
namespace {

// Four rows a..d, b and d switched on.
AssociationList FourRows(int selected)
{
    AssociationList list;
    list.Append("a=0,a.wcx", false);
    list.Append("b=0,b.wcx", true);
    list.Append("c=0,c.wcx", false);
    list.Append("d=0,d.wcx", true);
    list.Select(selected);
    return list;
}

std::vector<AssociationRow> Snapshot(const AssociationList& list)
{
    return list.Rows();
}

bool SameRows(const std::vector<AssociationRow>& a, const std::vector<AssociationRow>& b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].text != b[i].text || a[i].checked != b[i].checked) return false;
    return true;
}

struct ReorderCase {
    const char* name;
    std::vector<std::size_t> order;
    int selectedBefore;
    int selectedAfter;
};

class ReorderTest : public ::testing::TestWithParam<ReorderCase> {};

TEST_P(ReorderTest, RowsTakeTheirChecksAndTheSelectionAlong)
{
    const ReorderCase& c = GetParam();
    AssociationList list = FourRows(c.selectedBefore);
    const std::vector<AssociationRow> before = Snapshot(list);
    list.Reorder(c.order);
    ASSERT_EQ(list.Count(), before.size());
    for (std::size_t i = 0; i < c.order.size(); ++i) {
        EXPECT_EQ(list.Row(i).text, before[c.order[i]].text) << "row " << i;
        EXPECT_EQ(list.Row(i).checked, before[c.order[i]].checked) << "row " << i;
    }
    EXPECT_EQ(list.Selected(), c.selectedAfter);
}

INSTANTIATE_TEST_SUITE_P(Orders, ReorderTest,
                         ::testing::Values(ReorderCase{"Identity", {0, 1, 2, 3}, 2, 2},
                                           ReorderCase{"Reversed", {3, 2, 1, 0}, 1, 2},
                                           ReorderCase{"RotatedSelectionFirst", {1, 2, 3, 0}, 1, 0},
                                           ReorderCase{"RotatedSelectionLast", {1, 2, 3, 0}, 0, 3},
                                           ReorderCase{"NothingSelected", {2, 0, 3, 1}, -1, -1}),
                         [](const auto& info) { return std::string(info.param.name); });

// An order that is not a permutation of the rows would lose or duplicate rows: refused,
// and the list stays as it was.
TEST(ReorderTest, RefusesAnOrderThatIsNotAPermutation)
{
    const std::vector<std::vector<std::size_t>> bad = {
        {0, 1, 2},  // a row left out
        {0, 1, 2, 3, 0},  // one too many
        {0, 1, 1, 3},  // a row twice, another lost
        {0, 1, 2, 4},  // no such row
    };
    for (const auto& order : bad) {
        AssociationList list = FourRows(2);
        const std::vector<AssociationRow> before = Snapshot(list);
        EXPECT_THROW(list.Reorder(order), std::invalid_argument);
        EXPECT_TRUE(SameRows(list.Rows(), before));
        EXPECT_EQ(list.Selected(), 2);
    }
}

TEST(ReorderTest, EmptyListTakesTheEmptyOrder)
{
    AssociationList list;
    list.Reorder({});
    EXPECT_EQ(list.Count(), 0u);
    EXPECT_EQ(list.Selected(), -1);
}

}  // namespace
}  // namespace pakvane

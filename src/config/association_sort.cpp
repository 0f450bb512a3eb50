#include "config/association_sort.h"

#include "config/association.h"
#include "config/association_list.h"
#include "platform/text_rules.h"

#include <algorithm>
#include <numeric>
#include <vector>

namespace pakvane {

std::string AssociationSortKey(std::string_view rowText, SortMode mode, const TextRules& rules)
{
    const Association parsed = ParseAssociation(rowText);
    const std::string& first = mode == SortMode::ByExtension ? parsed.extension : parsed.path;
    const std::string& second = mode == SortMode::ByExtension ? parsed.path : parsed.extension;
    std::string key;
    key.reserve(first.size() + second.size());
    key.append(first).append(second);
    return rules.UpperAnsi(key);
}

void SortAssociations(AssociationList& list, SortMode mode, const TextRules& rules)
{
    const std::size_t count = list.Count();
    if (count < 2) return;

    // Keys are built and made ready for the collation once per row; the comparisons only
    // read them (converting on every comparison cost most of the time of a large sort).
    std::vector<CollationText> keys;
    keys.reserve(count);
    for (const AssociationRow& row : list.Rows())
        keys.push_back(rules.PrepareCollation(AssociationSortKey(row.text, mode, rules)));

    // A stable sort over the old positions taken in reverse puts the later of two rows
    // with equal keys first. Positions are full-size indexes, so there is no row limit.
    std::vector<std::size_t> order(count);
    std::iota(order.rbegin(), order.rend(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return rules.ComparePrepared(keys[a], keys[b]) < 0;
    });

    const std::vector<AssociationRow>& old = list.Rows();
    const int oldSelected = list.Selected();
    std::vector<AssociationRow> sorted;
    sorted.reserve(count);
    int newSelected = -1;
    for (const std::size_t from : order) {
        if (static_cast<int>(from) == oldSelected) newSelected = static_cast<int>(sorted.size());
        sorted.push_back(old[from]);
    }
    list.Replace(std::move(sorted), newSelected);
}

}  // namespace pakvane

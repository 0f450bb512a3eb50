#include "config/association_sort.h"

#include "config/association.h"
#include "config/association_list.h"
#include "platform/text_rules.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace pakvane {

namespace {

// The key's two parts joined without a separator, not yet upper-cased.
void AppendKeyParts(std::string_view rowText, SortMode mode, std::string& out)
{
    const Association parsed = ParseAssociation(rowText);
    const std::string& first = mode == SortMode::ByExtension ? parsed.extension : parsed.path;
    const std::string& second = mode == SortMode::ByExtension ? parsed.path : parsed.extension;
    out.append(first).append(second);
}

// Straight insertion sort: correct from any starting order, and cheap from a nearly sorted
// one (one comparison per element plus one per inversion). Gives up, leaving some
// permutation in place, once it has moved elements more than moveBudget times.
template <class Before>
bool InsertionSort(std::vector<std::size_t>& order, Before before, std::size_t moveBudget)
{
    std::size_t moves = 0;
    for (std::size_t i = 1; i < order.size(); ++i) {
        const std::size_t item = order[i];
        std::size_t at = i;
        while (at > 0 && before(item, order[at - 1])) {
            order[at] = order[at - 1];
            --at;
            if (++moves > moveBudget) {
                order[at] = item;
                return false;
            }
        }
        order[at] = item;
    }
    return true;
}

// A row in the pre-order: its sort-key bytes, with the first eight of them as a number so
// that most comparisons need no memory beyond the entry itself.
struct PreOrderEntry {
    std::uint64_t head;
    std::string_view key;
    std::size_t position;
};

std::uint64_t Head(std::string_view key)
{
    std::uint64_t head = 0;
    for (std::size_t i = 0; i < 8; ++i)
        head = (head << 8) | (i < key.size() ? static_cast<unsigned char>(key[i]) : 0u);
    return head;
}

}  // namespace

std::string AssociationSortKey(std::string_view rowText, SortMode mode, const TextRules& rules)
{
    std::string key;
    AppendKeyParts(rowText, mode, key);
    return rules.UpperAnsi(key);
}

void SortAssociations(AssociationList& list, SortMode mode, const TextRules& rules)
{
    const std::vector<AssociationRow>& old = list.Rows();
    const std::size_t count = old.size();
    if (count < 2) return;

    // Keys are built and made ready for the collation once per row; the comparisons only
    // read them. All keys are upper-cased in one call, a NUL after each: a call per key
    // cost a large share of the sort.
    std::string joined;
    std::vector<std::size_t> ends(count);
    for (std::size_t i = 0; i < count; ++i) {
        AppendKeyParts(old[i].text, mode, joined);
        ends[i] = joined.size();
        joined.push_back('\0');
    }
    joined = rules.UpperAnsi(joined);
    std::vector<CollationText> keys;
    keys.reserve(count);
    std::string sortKeys;
    sortKeys.reserve(joined.size() * 2);  // about what the system's keys take
    std::vector<std::size_t> sortKeyEnds(count);
    for (std::size_t i = 0, begin = 0; i < count; begin = ends[i++] + 1) {
        keys.push_back(rules.PrepareCollation(std::string_view(joined).substr(begin, ends[i] - begin)));
        rules.AppendSortKey(keys.back(), sortKeys);
        sortKeyEnds[i] = sortKeys.size();
    }
    joined = {};

    // A collation comparison is costly, so a full sort with it is slow on long lists. The
    // sort-key bytes give nearly the same order at the price of byte comparisons; an
    // insertion pass with the real comparison then corrects the few rows where the two
    // disagree, so the result is exactly the collation's order either way.
    std::vector<PreOrderEntry> entries(count);
    for (std::size_t i = 0, begin = 0; i < count; begin = sortKeyEnds[i++]) {
        const std::string_view key = std::string_view(sortKeys).substr(begin, sortKeyEnds[i] - begin);
        entries[i] = {Head(key), key, i};
    }
    std::sort(entries.begin(), entries.end(), [](const PreOrderEntry& a, const PreOrderEntry& b) {
        if (a.head != b.head) return a.head < b.head;
        const int byKey = a.key.compare(b.key);
        return byKey != 0 ? byKey < 0 : a.position > b.position;
    });
    std::vector<std::size_t> order(count);
    for (std::size_t j = 0; j < count; ++j) order[j] = entries[j].position;
    entries = {};
    sortKeys = {};

    // The order: ascending by key, and among equal keys the later old position first.
    // Positions are full-size indexes, so there is no row limit.
    const auto before = [&](std::size_t a, std::size_t b) {
        const int byKey = rules.ComparePrepared(keys[a], keys[b]);
        return byKey != 0 ? byKey < 0 : a > b;
    };
    // Should the two orders disagree widely, the insertion pass would grow quadratic; it
    // stops early and a full sort with the real comparison takes over.
    if (!InsertionSort(order, before, 4 * count)) std::stable_sort(order.begin(), order.end(), before);

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

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
    const AssociationParts parts = SplitAssociation(rowText);
    const std::string_view first = mode == SortMode::ByExtension ? parts.extension : parts.path;
    const std::string_view second = mode == SortMode::ByExtension ? parts.path : parts.extension;
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
    for (std::size_t i = 0; i < 8; ++i) head = (head << 8) | (i < key.size() ? static_cast<unsigned char>(key[i]) : 0u);
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
    const std::vector<AssociationRow>& rows = list.Rows();
    const std::size_t count = rows.size();
    if (count < 2) return;

    // Keys are built once per row; the comparisons only read them. All keys are upper-cased
    // in one call, a NUL after each: a call per key cost a large share of the sort. Every
    // stage keeps all rows' data in one buffer: on long lists, an allocation per row and
    // the scattered memory it gives cost more than the work itself.
    std::size_t textBytes = 0;
    for (const AssociationRow& row : rows) textBytes += row.text.size() + 1;
    std::string joined;
    joined.reserve(textBytes);
    std::vector<std::size_t> ends(count);
    for (std::size_t i = 0; i < count; ++i) {
        AppendKeyParts(rows[i].text, mode, joined);
        ends[i] = joined.size();
        joined.push_back('\0');
    }
    joined = rules.UpperAnsi(joined);
    std::vector<std::string_view> texts(count);
    for (std::size_t i = 0, begin = 0; i < count; begin = ends[i++] + 1)
        texts[i] = std::string_view(joined).substr(begin, ends[i] - begin);
    ends = {};

    // A collation comparison is costly, so a full sort with it is slow on long lists. The
    // sort-key bytes give nearly the same order at the price of byte comparisons; an
    // insertion pass with the real comparison then corrects the few rows where the two
    // disagree, so the result is exactly the collation's order either way. The keys are
    // prepared a small batch at a time for their sort-key bytes (a buffer that stays in the
    // cache), then once more in the pre-order for the pass, which so reads them in sequence.
    std::string sortKeys;
    sortKeys.reserve(textBytes * 2 + count * 2);  // what the keys take without rare characters
    std::vector<std::size_t> sortKeyEnds(count);
    std::u16string units;
    std::vector<std::size_t> unitEnds;
    {
        constexpr std::size_t kBatch = 256;
        std::vector<std::string_view> batch;
        for (std::size_t first = 0; first < count; first += kBatch) {
            const std::size_t last = std::min(count, first + kBatch);
            batch.assign(texts.begin() + static_cast<std::ptrdiff_t>(first),
                         texts.begin() + static_cast<std::ptrdiff_t>(last));
            rules.PrepareCollations(batch, units, unitEnds);
            for (std::size_t i = 0, begin = 0; i < batch.size(); begin = unitEnds[i++]) {
                const std::u16string_view prepared = std::u16string_view(units).substr(begin, unitEnds[i] - begin);
                rules.AppendSortKey(CollationText::View(prepared), sortKeys);
                sortKeyEnds[first + i] = sortKeys.size();
            }
        }
    }
    std::vector<PreOrderEntry> entries(count);
    for (std::size_t i = 0, begin = 0; i < count; begin = sortKeyEnds[i++]) {
        const std::string_view key = std::string_view(sortKeys).substr(begin, sortKeyEnds[i] - begin);
        entries[i] = {Head(key), key, i};
    }
    sortKeyEnds = {};
    std::sort(entries.begin(), entries.end(), [](const PreOrderEntry& a, const PreOrderEntry& b) {
        if (a.head != b.head) return a.head < b.head;
        const int byKey = a.key.compare(b.key);
        return byKey != 0 ? byKey < 0 : a.position > b.position;
    });
    std::vector<std::size_t> order(count);
    for (std::size_t j = 0; j < count; ++j) order[j] = entries[j].position;
    entries = {};
    sortKeys = {};

    std::vector<std::string_view> inOrder(count);
    for (std::size_t j = 0; j < count; ++j) inOrder[j] = texts[order[j]];
    texts = {};
    rules.PrepareCollations(inOrder, units, unitEnds);
    inOrder = {};
    joined = {};
    std::vector<CollationText> keys(count);
    for (std::size_t j = 0, begin = 0; j < count; begin = unitEnds[j++])
        keys[j] = CollationText::View(std::u16string_view(units).substr(begin, unitEnds[j] - begin));

    // The order: ascending by key, and among equal keys the later old position first. The
    // pass sorts ranks in the pre-order (keys[rank]); order[rank] is the row's old position.
    // Positions are full-size indexes, so there is no row limit.
    std::vector<std::size_t> ranks(count);
    for (std::size_t j = 0; j < count; ++j) ranks[j] = j;
    const auto before = [&](std::size_t a, std::size_t b) {
        const int byKey = rules.ComparePrepared(keys[a], keys[b]);
        return byKey != 0 ? byKey < 0 : order[a] > order[b];
    };
    // Should the two orders disagree widely, the insertion pass would grow quadratic; it
    // stops early and a full sort with the real comparison takes over.
    if (!InsertionSort(ranks, before, 4 * count)) std::stable_sort(ranks.begin(), ranks.end(), before);
    keys = {};
    units = {};

    std::vector<std::size_t> sorted(count);
    for (std::size_t j = 0; j < count; ++j) sorted[j] = order[ranks[j]];
    list.Reorder(sorted);
}

}  // namespace pakvane

#pragma once
// How many collation comparisons the sort makes per row: its pre-order from the sort keys
// should leave one check per neighbouring pair, and keys that say nothing useful should
// cost a full sort, not a quadratic repair.

namespace pakvane::bench {

void PrintSortComparisons();

}  // namespace pakvane::bench

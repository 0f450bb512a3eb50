#pragma once
// Ordering of the association list, by extension or by plugin path.
#include <string>
#include <string_view>

namespace pakvane {

class AssociationList;
class TextRules;

enum class SortMode { ByExtension, ByPlugin };

// The key a row sorts by: parsed extension and path (both trimmed) joined without a
// separator, extension first or path first, upper-cased in the ANSI code page.
std::string AssociationSortKey(std::string_view rowText, SortMode mode, const TextRules& rules);

// Sorts ascending by key with the user's collation, ignoring case. Among rows with equal
// keys the later row of the old order comes first, so each sort reverses such runs.
// Check states and the selection move with their rows; the list is replaced in one step.
// Lists of fewer than two rows are left alone.
void SortAssociations(AssociationList& list, SortMode mode, const TextRules& rules);

}  // namespace pakvane

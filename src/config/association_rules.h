#pragma once
// The rule that at most one switched-on row exists per extension.
#include <cstddef>

namespace pakvane {

class AssociationList;
class TextRules;

// Acts on the selected row (the one whose check box changed, or the row just added or
// edited): when it is switched on, every other row with the same extension (trimmed,
// lower-cased in the ANSI code page, then equal byte for byte) is switched off. A row
// switched off affects nothing else. Returns how many rows were switched off.
// Every call counts as a change of the list: the caller enables Apply whatever the result.
std::size_t EnforceSingleEnabled(AssociationList& list, const TextRules& rules);

}  // namespace pakvane

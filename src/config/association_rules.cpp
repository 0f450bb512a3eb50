#include "config/association_rules.h"

#include "config/association.h"
#include "config/association_list.h"
#include "platform/text_rules.h"

#include <string_view>

namespace pakvane {

std::size_t EnforceSingleEnabled(AssociationList& list, const TextRules& rules)
{
    const int selected = list.Selected();
    if (selected < 0 || static_cast<std::size_t>(selected) >= list.Count()) return 0;
    const AssociationRow& chosen = list.Row(static_cast<std::size_t>(selected));
    if (!chosen.checked) return 0;

    const std::string extension = CanonicalExtension(SplitAssociation(chosen.text).extension, rules);
    std::size_t switchedOff = 0;
    for (std::size_t i = 0; i < list.Count(); ++i) {
        if (i == static_cast<std::size_t>(selected) || !list.Row(i).checked) continue;
        const std::string_view other = SplitAssociation(list.Row(i).text).extension;
        // Case mapping keeps the byte length, so a different length can never match.
        if (other.size() != extension.size()) continue;
        if (rules.LowerAnsi(other) == extension) {
            list.SetChecked(i, false);
            ++switchedOff;
        }
    }
    return switchedOff;
}

}  // namespace pakvane

#include "comments/plugin_memo.h"

#include "comments/descript_ion.h"
#include "config/association.h"
#include "config/association_list.h"
#include "plugins/plugin_twin.h"
#include "plugins/version_summary.h"

namespace pakvane {

PluginMemo SelectedPluginMemo(const AssociationList& list, std::string& commanderFolder, const CommanderFolderUi& ui,
                              const PluginFacts& facts, const InterfaceStrings& strings)
{
    PluginMemo memo;
    const int selected = list.Selected();
    if (selected >= 0 && static_cast<std::size_t>(selected) < list.Count()) {
        std::string path = ParseAssociation(list.Row(static_cast<std::size_t>(selected)).text).path;
        if (ExpandCommanderPath(path, commanderFolder, ui, facts.rules)) {
            memo.versions = VersionSummary(facts.versions, PluginLibraryFor(facts.libraries, facts.rules, path));
            memo.comment.text = ReadPluginComment(facts.files, facts.rules, path);
        }
    }
    if (memo.comment.text.empty()) memo.comment = strings[Str::NoComment];
    return memo;
}

}  // namespace pakvane

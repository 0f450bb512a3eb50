#include "config/commander_path.h"

#include "config/association.h"
#include "config/association_list.h"
#include "i18n/message_sink.h"
#include "platform/text_rules.h"

namespace pakvane {

bool ChooseCommanderFolder(std::string& folder, FolderPicker& picker)
{
    const std::optional<std::string> chosen = picker.PickFolder(Str::AskCommanderFolder, folder);
    if (!chosen) return false;
    std::string trimmed(TrimBlanks(*chosen));
    if (trimmed.empty()) return false;
    if (trimmed.back() != '\\') trimmed += '\\';
    folder = std::move(trimmed);
    return true;
}

bool EnsureCommanderFolder(std::string& folder, const CommanderFolderUi& ui)
{
    if (!folder.empty()) return true;
    ui.messages.Show(UiMessage{Str::CommanderPathUnknown, Str::Error, kMessageIconError, std::nullopt});
    return ChooseCommanderFolder(folder, ui.picker);
}

bool ExpandCommanderPath(std::string& path, std::string& folder, const CommanderFolderUi& ui, const TextRules& rules)
{
    path = std::string(TrimBlanks(path));
    if (path.empty()) return false;
    const std::string head = rules.UpperAnsi(std::string_view(path).substr(0, kCommanderPathPrefixUpper.size()));
    if (head != kCommanderPathPrefixUpper) return true;
    if (!EnsureCommanderFolder(folder, ui)) return false;
    path = folder + path.substr(kCommanderPathPrefixUpper.size());
    return true;
}

std::optional<std::size_t> SubstituteCommanderPath(AssociationList& list, std::string& folder,
                                                   const CommanderFolderUi& ui, const TextRules& rules,
                                                   SortMode sortMode)
{
    if (!EnsureCommanderFolder(folder, ui)) return std::nullopt;
    const std::string upperFolder = rules.UpperAnsi(folder);
    std::size_t rewritten = 0;
    for (std::size_t i = 0; i < list.Count(); ++i) {
        const Association entry = ParseAssociation(list.Row(i).text);
        if (rules.UpperAnsi(entry.path).rfind(upperFolder, 0) != 0) continue;
        const std::string path = std::string(kCommanderPathPrefix) + entry.path.substr(upperFolder.size());
        list.SetText(i, FormatAssociation(entry.extension, entry.flags, path));
        ++rewritten;
    }
    SortAssociations(list, sortMode, rules);
    return rewritten;
}

std::optional<std::size_t> RemoveCommanderPath(AssociationList& list, std::string& folder, const CommanderFolderUi& ui,
                                               const TextRules& rules, SortMode sortMode)
{
    if (!EnsureCommanderFolder(folder, ui)) return std::nullopt;
    std::size_t rewritten = 0;
    for (std::size_t i = 0; i < list.Count(); ++i) {
        const Association entry = ParseAssociation(list.Row(i).text);
        std::string path = entry.path;
        if (!ExpandCommanderPath(path, folder, ui, rules)) continue;
        list.SetText(i, FormatAssociation(entry.extension, entry.flags, path));
        ++rewritten;
    }
    SortAssociations(list, sortMode, rules);
    return rewritten;
}

}  // namespace pakvane

#pragma once
// Plugin paths relative to the Total Commander folder ("%commander_path%\..."): expanding
// them, and rewriting every row of the list into that form or back into full paths. The
// commander folder is the window's text: empty when unknown, else ending with "\".
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "config/association_sort.h"
#include "i18n/interface_strings.h"

namespace pakvane {

class AssociationList;
class MessageSink;
class TextRules;

// The prefix as recognised (on the upper-cased path) and as written.
inline constexpr std::string_view kCommanderPathPrefixUpper = "%COMMANDER_PATH%\\";
inline constexpr std::string_view kCommanderPathPrefix = "%commander_path%\\";

// The folder picker, supplied by the window layer.
class FolderPicker {
public:
    virtual ~FolderPicker() = default;
    // Shows the picker titled with the interface string, initial as its initial selection;
    // the chosen folder, or nullopt when the user cancelled.
    virtual std::optional<std::string> PickFolder(Str title, const std::string& initial) = 0;
};

// What asking for the commander folder needs: the window that owns the message and the picker.
struct CommanderFolderUi {
    MessageSink& messages;
    FolderPicker& picker;
};

// Lets the user choose the commander folder (picker titled with interface string 25, the
// current folder as initial selection). A confirmed, non-empty choice (trimmed) becomes the
// folder, with "\" appended when missing; returns whether a choice was made.
bool ChooseCommanderFolder(std::string& folder, FolderPicker& picker);

// True when the folder is known; otherwise message 50 (caption 18, error icon), then the
// choice above. A cancelled choice is not remembered: the next call asks again.
bool EnsureCommanderFolder(std::string& folder, const CommanderFolderUi& ui);

// Trims path; false when it is empty. A path beginning with the prefix (any case) needs the
// folder: false when none is obtained (path stays trimmed), else the prefix is replaced by
// the folder. Any other path is used as it stands.
bool ExpandCommanderPath(std::string& path, std::string& folder, const CommanderFolderUi& ui, const TextRules& rules);

// The number of rows rewritten (each one a change of the list: the caller sets the
// unsaved-changes state when it is not 0), or nullopt when no folder was obtained and the
// list was left alone. Check states stay; the list is sorted by sortMode afterwards.
//
// SubstituteCommanderPath: rows whose path begins with the folder (compared upper-cased)
// get the prefix in its place.
std::optional<std::size_t> SubstituteCommanderPath(AssociationList& list, std::string& folder,
                                                   const CommanderFolderUi& ui, const TextRules& rules,
                                                   SortMode sortMode);
// RemoveCommanderPath: every row with a non-empty path is rewritten with the path expanded,
// in the form extension "=" flags "," path.
std::optional<std::size_t> RemoveCommanderPath(AssociationList& list, std::string& folder, const CommanderFolderUi& ui,
                                               const TextRules& rules, SortMode sortMode);

}  // namespace pakvane

#pragma once
// The text under the association list: the selected plugin's comment, a line break, and
// its version summary.
#include <string>

#include "config/commander_path.h"
#include "i18n/interface_strings.h"

namespace pakvane {

class AssociationList;
class DirectoryLister;
class FileSystem;
class TextRules;
class VersionInfoSource;

struct PluginMemo {
    UiText comment;  // the library's comment (ANSI), or interface string 51
    std::string versions;  // ANSI; empty, or the version summary beginning with CR LF
    bool operator==(const PluginMemo&) const = default;
};

// Where the memo's facts come from.
struct PluginFacts {
    const FileSystem& files;
    const VersionInfoSource& versions;
    const TextRules& rules;
    DirectoryLister& libraries;  // for the .wcx64 twin whose version information stands for a .wcx
};

// The memo for the list's selected row. Expanding a relative path may ask for the
// commander folder through ui. Shown as comment, CR LF, versions (each part widened from
// its own code page). The comment belongs to the file the row names; the versions are those
// of the library that stands behind it (a .wcx64 twin, see plugin_twin.h).
PluginMemo SelectedPluginMemo(const AssociationList& list, std::string& commanderFolder, const CommanderFolderUi& ui,
                              const PluginFacts& facts, const InterfaceStrings& strings);

}  // namespace pakvane

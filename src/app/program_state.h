#pragma once
// The main window's program state. Controls and menus only show it: every enabled and
// checked state of the window's buttons and menu items is derived from it by
// DeriveCommandStates, and nothing is ever read back from a control to learn it.
#include <string>

#include "config/association_sort.h"

namespace pakvane {

struct ProgramState {
    bool configurationLoaded = false;  // a configuration file is loaded: rows may be added
    // Properties and Delete are offered. Set by a load with rows and by an add or an edit;
    // it stays when the list becomes empty (the commands then do nothing).
    bool rowCommands = false;
    bool unsavedChanges = false;  // the list differs from what was last loaded or saved
    SortMode sortMode = SortMode::ByExtension;
    // The chosen language file's name (kept as the user or the settings spelled it); empty for
    // the built-in strings. languageFileUsed: its strings are in force (it could be read).
    std::string languageFile;
    bool languageFileUsed = false;
};

struct CommandStates {
    bool add = false;
    bool properties = false;
    bool remove = false;
    bool apply = false;
    bool sortByExtension = true;  // which of the two sort items carries the radio mark
};

inline CommandStates DeriveCommandStates(const ProgramState& state)
{
    CommandStates commands;
    commands.add = state.configurationLoaded;
    commands.properties = state.rowCommands;
    commands.remove = state.rowCommands;
    commands.apply = state.unsavedChanges;
    commands.sortByExtension = state.sortMode == SortMode::ByExtension;
    return commands;
}

}  // namespace pakvane

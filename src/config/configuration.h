#pragma once
// Moving the association list between the two files that keep it: switched-on rows in
// the configuration file's PackerPlugins section, switched-off rows in the section of
// the same name in the program's settings file.
#include <string>

#include "config/association_list.h"
#include "platform/code_page.h"
#include "platform/environment.h"
#include "platform/file_system.h"
#include "platform/text_rules.h"

namespace pakvane {

inline constexpr char kPackerSection[] = "PackerPlugins";

class ProfileDocument;

// What the load and save need from the system.
struct ConfigurationIo {
    FileSystem& files;
    const CodePage& codePage;
    const TextRules& rules;
    const Environment& environment;
};

// Total Commander lets a section hold only "RedirectSection=<file>"; the section then
// lives in that file. The value may hold %COMMANDER_PATH% and other variables, and a
// relative path is taken from the configuration file's folder.
struct PackerSectionPlace {
    enum class Kind { InPlace, Redirected, Unresolved };
    Kind kind = Kind::InPlace;
    std::string path;  // the file holding the lines; for Unresolved the value as written
};
PackerSectionPlace LocatePackerSection(const ProfileDocument& configuration, const std::string& configurationPath,
                                       const std::string& commanderFolder, const Environment& environment);

// Why the section's lines cannot be reached through a redirect.
enum class RedirectProblem {
    None,
    Unresolved,  // the target holds a variable that has no value
    ToItself,  // the target is the configuration file itself
    Chain,  // the target redirects again: Total Commander follows one step only
};

struct LoadResult {
    enum class Outcome { Loaded, Missing, Failed };
    Outcome outcome = Outcome::Failed;
    std::string problemPath;  // the file to name when telling the user about a failure
    RedirectProblem redirect = RedirectProblem::None;
};

// Fills the list: first the settings file's switched-off rows (unchecked, dropped when
// their extension or path is empty), then the configuration file's lines (checked), as
// "key=value". A missing configuration file changes nothing; any other failure leaves
// the list empty. A file in a form that cannot be read right (UTF-16 big-endian, a broken
// [PackerPlugins header and no section) fails rather than loading as an empty list that a
// save would then write into.
LoadResult LoadAssociations(const ConfigurationIo& io, const std::string& configurationPath,
                            const std::string& settingsPath, const std::string& commanderFolder, AssociationList& list);

// Why a save wrote nothing and wants the user's answer first.
enum class SaveConflict {
    None,
    ChangedMeanwhile,  // a section no longer holds what the list was loaded from
    ConfigurationDeleted,  // the configuration file the list came from is gone
};

struct SaveOptions {
    bool overwriteChanges = false;  // the user chose to overwrite what was changed meanwhile
    bool createDeleted = false;  // the user chose to create the deleted configuration file anew
};

struct SaveResult {
    WriteStatus status = WriteStatus::Ok;
    std::string problemPath;  // the file that could not be written or found, or that changed
    RedirectProblem redirect = RedirectProblem::None;
    SaveConflict conflict = SaveConflict::None;  // status is Failed when there is one
};

// Rewrites both sections, each file in one step: the unchecked rows into the settings file
// keyed by their list position, then the checked rows in canonical form into the
// configuration file, followed by the section's lines the list does not show (comments,
// lines without '=', later lines for the same extension), which stay in their order; a
// second section of the name stays as it is. The section disappears when nothing is left.
// Unless options say otherwise, nothing is written when either section no longer holds what
// the list's origin records, or when the configuration file it came from was deleted. The settings
// file goes first and a failure there stops the save before the configuration file is
// touched: a row switched off then still stands in the configuration file instead of
// being in neither. Nothing is written when the section's place cannot be found.
SaveResult SaveAssociations(const ConfigurationIo& io, const std::string& configurationPath,
                            const std::string& settingsPath, const std::string& commanderFolder, AssociationList& list,
                            SaveOptions options = {});

// What makes a file unusable for a load beyond "cannot open": the load names the file, and
// this tells the user why.
enum class LoadProblem {
    None,
    RedirectToItself,  // its RedirectSection points to the file itself
    RedirectChain,  // it is a redirect's target and redirects again
    BigEndianText,  // UTF-16 big-endian, which the profile functions cannot read either
    MalformedHeader,  // no [PackerPlugins] section, but a "[PackerPlugins" line without "]"
};
LoadProblem DiagnoseLoadFailure(const ConfigurationIo& io, const std::string& path, const std::string& commanderFolder);

}  // namespace pakvane

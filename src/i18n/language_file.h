#pragma once
// Language files: profile files in the executable's folder, named "*.lng". [Language] Lng
// names the language (a file without it is none); [Strings] key N replaces interface
// string N - 1, for N from 1 to 60. A value is used exactly as read, no escapes.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/code_page.h"
#include "platform/file_system.h"
#include "platform/directory_lister.h"
#include "platform/text_rules.h"

namespace pakvane {

struct LanguageFile {
    std::string fileName;  // as listed, without folder
    std::string name;  // [Language] Lng, the caption of its menu item
    bool operator==(const LanguageFile&) const = default;
};

// The replacements a language file gives: (interface-string index, ANSI text), only for the
// keys it has. Entries it does not name keep their built-in texts.
using LanguageStrings = std::vector<std::pair<int, std::string>>;

// The folder part of a file path, ending in a backslash; empty for a bare name.
std::string FolderOfPath(std::string_view path);

class LanguageFolder {
public:
    // folder: where the language files are (the executable's folder), ending in a backslash;
    // an empty one holds none.
    LanguageFolder(FileSystem& files, const CodePage& codePage, DirectoryLister& listing, std::string folder);

    const std::string& Folder() const { return folder_; }

    // Every "*.lng" file with a non-empty language name, in the order the folder lists them.
    // A file that cannot be read is left out; the others still come.
    std::vector<LanguageFile> List() const;

    // The file's replacements; nullopt when the file is missing, is no language file (no
    // non-empty language name) or cannot be read. An empty name reads nothing: that is the
    // folder itself.
    std::optional<LanguageStrings> ReadStrings(const std::string& fileName) const;

private:
    std::optional<std::string> ReadName(const std::string& fileName) const;

    FileSystem* files_;
    const CodePage* codePage_;
    DirectoryLister* listing_;
    std::string folder_;
};

// The first listed file whose name equals fileName ignoring case (ANSI upper case, so
// Cyrillic letters too); nullopt when none does or fileName is empty.
std::optional<std::size_t> FindLanguageFile(const std::vector<LanguageFile>& files, std::string_view fileName,
                                            const TextRules& rules);

}  // namespace pakvane

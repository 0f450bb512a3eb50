#pragma once
// A profile (INI) file on disk. It stands for a path only: every call reads the file,
// and every write puts the whole new file in place in one step. Nothing is cached.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/profile_document.h"
#include "platform/code_page.h"
#include "platform/file_system.h"

namespace pakvane {

struct ProfileValue {
    std::string section, key, value;
};

class ProfileFile {
public:
    ProfileFile(FileSystem& files, const CodePage& codePage, std::string path);

    const std::string& Path() const { return path_; }
    bool Exists() const;

    // As GetPrivateProfileStringA; nullopt when the file, section or key is absent.
    std::optional<std::string> ReadString(std::string_view section, std::string_view key) const;
    // Every distinct key of the first section of that name, in file order, with the value of
    // its first occurrence; keys with empty values included. Empty when the file is missing.
    std::vector<ProfileEntry> ReadSection(std::string_view section) const;
    // The whole file as it is now; an empty one when it is missing or cannot be read.
    ProfileDocument Read() const;

    // A missing file is created. A file that exists but cannot be read is never overwritten.
    WriteStatus WriteString(std::string_view section, std::string_view key, std::string_view value);
    // Several values, each as WriteString puts it, in one write of the file.
    WriteStatus WriteStrings(const std::vector<ProfileValue>& values);
    WriteStatus ReplaceSection(std::string_view section, const std::vector<ProfileEntry>& entries);
    // The same on this file's content already read by the caller, which saves reading it again.
    WriteStatus ReplaceSection(ProfileDocument loaded, std::string_view section,
                               const std::vector<ProfileEntry>& entries);

private:
    std::optional<ProfileDocument> Load() const;
    template <class Change>
    WriteStatus Update(Change change);
    template <class Change>
    WriteStatus Apply(ProfileDocument& document, Change change);

    FileSystem* files_;
    const CodePage* codePage_;
    std::string path_;
};

}  // namespace pakvane

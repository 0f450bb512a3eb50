#pragma once
// The files of one folder whose names match a wildcard pattern.
#include <string>
#include <vector>

namespace pakvane {

class FolderListing {
public:
    virtual ~FolderListing() = default;

    // The names (without folder) of the files in folder (which ends in a backslash) that match
    // pattern ("*.lng"), hidden, system and read-only ones included and folders left out, in
    // the order the file system gives them. Empty when the folder is missing or unreadable.
    virtual std::vector<std::string> ListFiles(const std::string& folder, const std::string& pattern) const = 0;
};

}  // namespace pakvane

#pragma once
#include "platform/directory_lister.h"

namespace pakvane {

// FindFirstFileW/FindNextFileW, names given in the ANSI code page (a name it cannot spell in
// its short form), and CreateFileA: the ANSI names are the ones the program writes into rows
// and hands to the loader and the profile functions.
class Win32DirectoryLister final : public DirectoryLister {
public:
    bool List(const std::string& pattern, const std::function<void(const DirectoryEntry&)>& visit) override;
    std::unique_ptr<FileReader> OpenFile(const std::string& path) override;
};

}  // namespace pakvane

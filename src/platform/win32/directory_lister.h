#pragma once
#include "platform/directory_lister.h"

namespace pakvane {

// FindFirstFileA/FindNextFileA and CreateFileA: the ANSI names are the ones the search
// writes into rows and hands to the loader.
class Win32DirectoryLister final : public DirectoryLister {
public:
    bool List(const std::string& pattern, const std::function<void(const DirectoryEntry&)>& visit) override;
    std::unique_ptr<FileReader> OpenFile(const std::string& path) override;
};

}  // namespace pakvane

#pragma once
#include "platform/folder_listing.h"

namespace pakvane {

// FindFirstFileW/FindNextFileW over the folder, names given in the ANSI code page.
class Win32FolderListing final : public FolderListing {
public:
    std::vector<std::string> ListFiles(const std::string& folder, const std::string& pattern) const override;
};

}  // namespace pakvane

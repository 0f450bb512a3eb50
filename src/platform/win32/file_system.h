#pragma once
#include <cstddef>
#include <string>

#include "platform/file_system.h"

namespace pakvane {

class Win32FileSystem final : public FileSystem {
public:
    std::optional<std::string> ReadFile(const std::string& path) const override;
    bool FileExists(const std::string& path) const override;
    WriteStatus ReplaceContent(const std::string& path, std::string_view bytes) override;
    bool SetAttributes(const std::string& path, std::uint32_t attributes) override;
    bool RemoveFile(const std::string& path) override;
    bool CanReplace(const std::string& path) const override;
};

// Removes what interrupted saves left beside a file: the "~pv*.tmp" files of the folder that
// path names (a file in it, or the folder with a trailing backslash) last written before
// this process started, and nothing else. Returns how many were removed.
std::size_t RemoveLeftoverTemporaryFiles(const std::string& path);

}  // namespace pakvane

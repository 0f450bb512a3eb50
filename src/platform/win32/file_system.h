#pragma once
#include "platform/file_system.h"

namespace pakvane {

class Win32FileSystem final : public FileSystem {
public:
    std::optional<std::string> ReadFile(const std::string& path) const override;
    bool FileExists(const std::string& path) const override;
    WriteStatus ReplaceContent(const std::string& path, std::string_view bytes) override;
    bool SetAttributes(const std::string& path, std::uint32_t attributes) override;
    bool RemoveFile(const std::string& path) override;
};

}  // namespace pakvane

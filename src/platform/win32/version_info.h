#pragma once
#include "platform/version_info.h"

namespace pakvane {

// GetFileVersionInfoSizeA / GetFileVersionInfoA / VerQueryValueA / VerLanguageNameA.
class Win32VersionInfoSource final : public VersionInfoSource {
public:
    std::unique_ptr<VersionResource> Read(const std::string& path) const override;
    std::string LanguageName(std::uint16_t language) const override;
};

}  // namespace pakvane

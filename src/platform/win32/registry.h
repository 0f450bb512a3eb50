#pragma once
#include "platform/registry.h"

namespace pakvane {

class Win32Registry final : public Registry {
public:
    std::optional<std::string> ReadString(RegistryRoot root, std::string_view key,
                                          std::string_view value) const override;
};

}  // namespace pakvane

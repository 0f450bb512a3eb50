#pragma once
#include "platform/environment.h"

namespace pakvane {

class Win32Environment final : public Environment {
public:
    std::optional<std::string> Variable(std::string_view name) const override;
    std::string WindowsFolder() const override;
};

}  // namespace pakvane

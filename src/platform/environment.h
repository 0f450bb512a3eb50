#pragma once
// Process environment and the system folders the program asks for.
#include <optional>
#include <string>
#include <string_view>

namespace pakvane {

class Environment {
public:
    virtual ~Environment() = default;
    // The variable's value; nullopt when it is not set.
    virtual std::optional<std::string> Variable(std::string_view name) const = 0;
    // The Windows folder, without a trailing backslash (as the system reports it).
    virtual std::string WindowsFolder() const = 0;
};

}  // namespace pakvane

#pragma once
// Read-only access to the registry values Total Commander leaves behind.
#include <optional>
#include <string>
#include <string_view>

namespace pakvane {

enum class RegistryRoot { LocalMachine, CurrentUser };

class Registry {
public:
    virtual ~Registry() = default;
    // Opens the key (never creates it) and reads a string value. nullopt when the key
    // cannot be opened; an empty string when the key opens but the value is missing or
    // not a string. The key is opened for full access, as Total Commander's own tools do,
    // so a key the user may not write to is skipped.
    virtual std::optional<std::string> ReadString(RegistryRoot root, std::string_view key,
                                                  std::string_view value) const = 0;
};

}  // namespace pakvane

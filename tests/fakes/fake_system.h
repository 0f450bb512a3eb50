#pragma once
// In-memory registry and environment for the portable tests.
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/environment.h"
#include "platform/registry.h"

namespace pakvane::testing {

class FakeRegistry final : public Registry {
public:
    // Keys that exist but refuse full access, as a key the user may not write to.
    std::set<std::pair<RegistryRoot, std::string>> lockedKeys;
    std::map<std::pair<RegistryRoot, std::string>, std::map<std::string, std::string>> keys;
    mutable std::vector<std::string> reads;  // "HKLM\\value" in the order asked

    void Set(RegistryRoot root, const std::string& key, const std::string& value, const std::string& data)
    {
        keys[{root, key}][value] = data;
    }

    std::optional<std::string> ReadString(RegistryRoot root, std::string_view key,
                                          std::string_view value) const override
    {
        reads.push_back(std::string(root == RegistryRoot::LocalMachine ? "HKLM\\" : "HKCU\\") + std::string(value));
        const std::pair<RegistryRoot, std::string> id{root, std::string(key)};
        if (lockedKeys.count(id)) return std::nullopt;
        auto k = keys.find(id);
        if (k == keys.end()) return std::nullopt;
        auto v = k->second.find(std::string(value));
        return v == k->second.end() ? std::string() : v->second;
    }
};

class FakeEnvironment final : public Environment {
public:
    std::map<std::string, std::string> variables;
    std::string windowsFolder = "C:\\windows";

    std::optional<std::string> Variable(std::string_view name) const override
    {
        auto it = variables.find(std::string(name));
        if (it == variables.end()) return std::nullopt;
        return it->second;
    }
    std::string WindowsFolder() const override { return windowsFolder; }
};

}  // namespace pakvane::testing

#include "plugins/plugin_twin.h"

#include <cstdint>
#include <memory>
#include <optional>

#include "platform/directory_lister.h"
#include "platform/text_rules.h"
#include "plugins/pe_exports.h"

namespace pakvane {

namespace {

constexpr std::string_view kTwinSuffix = "64";

std::optional<std::uint16_t> PluginMachineOfFile(DirectoryLister& files, const std::string& path)
{
    const std::unique_ptr<FileReader> file = files.OpenFile(path);
    if (!file) return std::nullopt;
    return PackerPluginMachine(*file);
}

}  // namespace

PluginExtension PluginExtensionOf(std::string_view name, const TextRules& rules)
{
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) return PluginExtension::None;
    const std::string extension = rules.UpperAnsi(name.substr(dot));
    if (extension == ".WCX") return PluginExtension::Wcx;
    if (extension == ".WCX64") return PluginExtension::Wcx64;
    return PluginExtension::None;
}

std::string TwinPath(const std::string& path, const TextRules& rules)
{
    switch (PluginExtensionOf(path, rules)) {
    case PluginExtension::Wcx:
        return path + std::string(kTwinSuffix);
    case PluginExtension::Wcx64:
        return path.substr(0, path.size() - kTwinSuffix.size());
    case PluginExtension::None:
        break;
    }
    return std::string();
}

std::string PluginLibraryFor(DirectoryLister& files, const TextRules& rules, const std::string& path)
{
    if (PluginExtensionOf(path, rules) != PluginExtension::Wcx) return path;
    // The twin is looked at first: most .wcx files have none, and then the .wcx is not read.
    std::string twin = TwinPath(path, rules);
    if (PluginMachineOfFile(files, twin) != kMachineAmd64) return path;
    const std::optional<std::uint16_t> own = PluginMachineOfFile(files, path);
    if (own == kMachineI386 || own == kMachineAmd64) return path;
    return twin;
}

}  // namespace pakvane

#include "config/locate.h"

#include "config/association.h"

namespace pakvane {

namespace {

std::string Trim(std::string_view text)
{
    return std::string(TrimBlanks(text));
}

// Windows turns "C:\tc folder\" on a command line into C:\tc folder" (the backslash escapes
// the closing quote); no path holds a quote, so a trailing one is that leftover.
std::string ArgumentPath(std::string_view text)
{
    text = TrimBlanks(text);
    if (!text.empty() && text.back() == '"') text = TrimBlanks(text.substr(0, text.size() - 1));
    return std::string(text);
}

constexpr std::size_t kVariableLimit = 260;

std::string RegistryValue(const Registry& registry, RegistryRoot root, const char* value)
{
    return Trim(registry.ReadString(root, kCommanderRegistryKey, value).value_or(std::string()));
}

}  // namespace

LocateResult LocateConfigurationFile(const std::vector<std::string>& arguments, const std::string& rememberedFile,
                                     const Registry& registry, const Environment& environment,
                                     const std::function<bool(const std::string&)>& load)
{
    using Outcome = LocateResult::Outcome;
    if (!arguments.empty()) {
        const std::string path = ArgumentPath(arguments[0]);
        return {load(path) ? Outcome::Loaded : Outcome::ArgumentFailed, path};
    }

    const std::function<std::string()> candidates[] = {
        [&] { return Trim(rememberedFile); },
        [&] { return RegistryValue(registry, RegistryRoot::LocalMachine, "IniFileName"); },
        [&] { return RegistryValue(registry, RegistryRoot::CurrentUser, "IniFileName"); },
        [&] { return environment.WindowsFolder() + "\\WinCmd.ini"; },
    };
    for (const auto& candidate : candidates) {
        const std::string path = candidate();
        if (!path.empty() && load(path)) return {Outcome::Loaded, path};
    }
    return {Outcome::NoneFound, std::string()};
}

std::string ReadCommanderPathVariable(const Environment& environment)
{
    const std::string value = environment.Variable("COMMANDER_PATH").value_or(std::string());
    return value.size() < kVariableLimit ? value : std::string();
}

std::string LocateCommanderFolder(const std::vector<std::string>& arguments, const std::string& rememberedFolder,
                                  const Registry& registry, const Environment& environment)
{
    std::string folder = rememberedFolder;
    if (arguments.size() >= 2) folder = ArgumentPath(arguments[1]);
    if (folder.empty()) folder = Trim(ReadCommanderPathVariable(environment));
    if (folder.empty()) folder = RegistryValue(registry, RegistryRoot::LocalMachine, "InstallDir");
    if (folder.empty()) folder = RegistryValue(registry, RegistryRoot::CurrentUser, "InstallDir");
    if (!folder.empty() && folder.back() != '\\') folder += '\\';
    return folder;
}

}  // namespace pakvane

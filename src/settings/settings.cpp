#include "settings/settings.h"

#include "config/whole_number.h"

#include <cstdint>
#include <limits>

namespace pakvane {

std::string SettingsPathFor(std::string_view executablePath)
{
    const std::size_t nameStart =
        executablePath.find_last_of("\\/:") == std::string_view::npos ? 0 : executablePath.find_last_of("\\/:") + 1;
    const std::size_t dot = executablePath.rfind('.');
    const std::string_view stem =
        (dot != std::string_view::npos && dot >= nameStart) ? executablePath.substr(0, dot) : executablePath;
    return std::string(stem) + ".ini";
}

std::optional<int> ParseSettingsInteger(std::string_view text)
{
    return ParseWholeNumber(text, NumberSyntax::Settings);
}

Settings::Settings(ProfileFile file) : file_(std::move(file)), snapshot_(file_.Read()) {}

std::string Settings::ReadText(std::string_view section, std::string_view key, std::string_view fallback) const
{
    auto value = snapshot_.ReadString(section, key);
    return value ? *value : std::string(fallback);
}

int Settings::ReadInteger(std::string_view section, std::string_view key, int fallback) const
{
    auto value = snapshot_.ReadString(section, key);
    if (!value) return fallback;
    return ParseSettingsInteger(*value).value_or(fallback);
}

bool Settings::ReadBool(std::string_view section, std::string_view key, bool fallback) const
{
    auto value = snapshot_.ReadString(section, key);
    if (!value) return fallback;
    auto number = ParseSettingsInteger(*value);
    return number ? *number != 0 : fallback;
}

void Settings::WriteText(std::string_view section, std::string_view key, std::string_view value)
{
    snapshot_.WriteString(section, key, value);
    pending_.push_back({std::string(section), std::string(key), std::string(value)});
}

void Settings::WriteInteger(std::string_view section, std::string_view key, int value)
{
    WriteText(section, key, std::to_string(value));
}

void Settings::WriteBool(std::string_view section, std::string_view key, bool value)
{
    WriteText(section, key, value ? "1" : "0");
}

bool Settings::Save()
{
    if (pending_.empty()) return true;
    if (file_.WriteStrings(pending_) != WriteStatus::Ok) return false;
    pending_.clear();
    return true;
}

StartupSettings ReadStartupSettings(const Settings& settings)
{
    StartupSettings values;
    values.language = settings.ReadText("Tools", "Lng");
    values.sortByExtension = settings.ReadBool("Tools", "Sort", true);
    values.commanderFolder = settings.ReadText("Setup", "ComPath");
    values.configurationFile = settings.ReadText("Setup", "IniFile");
    return values;
}

WindowPlacementSettings ReadWindowPlacement(const Settings& settings, const WindowPlacementSettings& defaults)
{
    WindowPlacementSettings p;
    p.left = settings.ReadInteger("Main", "Left", defaults.left);
    p.top = settings.ReadInteger("Main", "Top", defaults.top);
    p.width = settings.ReadInteger("Main", "Width", defaults.width);
    p.height = settings.ReadInteger("Main", "Height", defaults.height);
    p.memoHeight = settings.ReadInteger("Main", "Splitt", defaults.memoHeight);
    p.maximized = settings.ReadBool("Main", "Maximized", defaults.maximized);
    return p;
}

bool WriteClosingSettings(Settings& settings, const ClosingSettings& v)
{
    settings.WriteBool("Main", "Maximized", v.placement.maximized);
    settings.WriteInteger("Main", "Left", v.placement.left);
    settings.WriteInteger("Main", "Top", v.placement.top);
    settings.WriteInteger("Main", "Width", v.placement.width);
    settings.WriteInteger("Main", "Height", v.placement.height);
    settings.WriteInteger("Main", "Splitt", v.placement.memoHeight);
    settings.WriteText("Tools", "Lng", v.language);
    settings.WriteBool("Tools", "Sort", v.sortByExtension);
    settings.WriteText("Setup", "ComPath", v.commanderFolder);
    settings.WriteText("Setup", "IniFile", v.configurationFile);
    return settings.Save();
}

DialogPosition ReadPropertiesPosition(const Settings& settings, const DialogPosition& centred)
{
    return {settings.ReadInteger("Prop", "Left", centred.left), settings.ReadInteger("Prop", "Top", centred.top)};
}

bool WritePropertiesPosition(Settings& settings, const DialogPosition& position)
{
    settings.WriteInteger("Prop", "Left", position.left);
    settings.WriteInteger("Prop", "Top", position.top);
    return settings.Save();
}

}  // namespace pakvane

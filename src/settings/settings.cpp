#include "settings/settings.h"

#include <cstdint>
#include <limits>

namespace pakvane {

std::string SettingsPathFor(std::string_view executablePath)
{
    const std::size_t nameStart = executablePath.find_last_of("\\/:") == std::string_view::npos
                                      ? 0
                                      : executablePath.find_last_of("\\/:") + 1;
    const std::size_t dot = executablePath.rfind('.');
    const std::string_view stem =
        (dot != std::string_view::npos && dot >= nameStart) ? executablePath.substr(0, dot) : executablePath;
    return std::string(stem) + ".ini";
}

std::optional<int> ParseSettingsInteger(std::string_view text)
{
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        std::uint64_t value = 0;
        for (char c : text.substr(2)) {
            int digit;
            if (c >= '0' && c <= '9') digit = c - '0';
            else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
            else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
            else return std::nullopt;
            value = value * 16 + static_cast<unsigned>(digit);
            if (value > 0xFFFFFFFFull) return std::nullopt;
        }
        return static_cast<int>(static_cast<std::uint32_t>(value));
    }
    bool negative = false;
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (i == text.size()) return std::nullopt;
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<std::int64_t>(std::numeric_limits<int>::max()) + 1) return std::nullopt;
    }
    if (negative) value = -value;
    if (value > std::numeric_limits<int>::max() || value < std::numeric_limits<int>::min()) return std::nullopt;
    return static_cast<int>(value);
}

std::string Settings::ReadText(std::string_view section, std::string_view key, std::string_view fallback) const
{
    auto value = file_.ReadString(section, key);
    return value ? *value : std::string(fallback);
}

int Settings::ReadInteger(std::string_view section, std::string_view key, int fallback) const
{
    auto value = file_.ReadString(section, key);
    if (!value) return fallback;
    return ParseSettingsInteger(*value).value_or(fallback);
}

bool Settings::ReadBool(std::string_view section, std::string_view key, bool fallback) const
{
    auto value = file_.ReadString(section, key);
    if (!value) return fallback;
    auto number = ParseSettingsInteger(*value);
    return number ? *number != 0 : fallback;
}

bool Settings::WriteText(std::string_view section, std::string_view key, std::string_view value)
{
    return file_.WriteString(section, key, value) == WriteStatus::Ok;
}

bool Settings::WriteInteger(std::string_view section, std::string_view key, int value)
{
    return WriteText(section, key, std::to_string(value));
}

bool Settings::WriteBool(std::string_view section, std::string_view key, bool value)
{
    return WriteText(section, key, value ? "1" : "0");
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
    return settings.WriteBool("Main", "Maximized", v.placement.maximized) &&
           settings.WriteInteger("Main", "Left", v.placement.left) &&
           settings.WriteInteger("Main", "Top", v.placement.top) &&
           settings.WriteInteger("Main", "Width", v.placement.width) &&
           settings.WriteInteger("Main", "Height", v.placement.height) &&
           settings.WriteInteger("Main", "Splitt", v.placement.memoHeight) &&
           settings.WriteText("Tools", "Lng", v.language) &&
           settings.WriteBool("Tools", "Sort", v.sortByExtension) &&
           settings.WriteText("Setup", "ComPath", v.commanderFolder) &&
           settings.WriteText("Setup", "IniFile", v.configurationFile);
}

DialogPosition ReadPropertiesPosition(const Settings& settings, const DialogPosition& centred)
{
    return {settings.ReadInteger("Prop", "Left", centred.left), settings.ReadInteger("Prop", "Top", centred.top)};
}

bool WritePropertiesPosition(Settings& settings, const DialogPosition& position)
{
    return settings.WriteInteger("Prop", "Left", position.left) && settings.WriteInteger("Prop", "Top", position.top);
}

}  // namespace pakvane

#pragma once
// The program's own settings file beside its executable: typed values over a profile file.
// Every read and write goes to the disk at once; nothing is cached.
#include <optional>
#include <string>
#include <string_view>

#include "config/profile_file.h"

namespace pakvane {

// The executable's path with its extension replaced by ".ini" (appended when it has none).
std::string SettingsPathFor(std::string_view executablePath);

// A whole number in decimal with an optional sign, or hexadecimal after "0x"/"0X";
// nullopt for anything else or a value beyond 32 bits.
std::optional<int> ParseSettingsInteger(std::string_view text);

class Settings {
public:
    explicit Settings(ProfileFile file) : file_(std::move(file)) {}

    std::string ReadText(std::string_view section, std::string_view key, std::string_view fallback = {}) const;
    int ReadInteger(std::string_view section, std::string_view key, int fallback) const;
    // Any non-zero number is true; absent or not a number gives the fallback.
    bool ReadBool(std::string_view section, std::string_view key, bool fallback) const;

    bool WriteText(std::string_view section, std::string_view key, std::string_view value);
    bool WriteInteger(std::string_view section, std::string_view key, int value);
    bool WriteBool(std::string_view section, std::string_view key, bool value);

    ProfileFile& File() { return file_; }
    const ProfileFile& File() const { return file_; }

private:
    ProfileFile file_;
};

// The values read while the main window is created.
struct StartupSettings {
    std::string language;          // Tools/Lng: a language file name, empty for built-in
    bool sortByExtension = true;   // Tools/Sort
    std::string commanderFolder;   // Setup/ComPath
    std::string configurationFile; // Setup/IniFile
};
StartupSettings ReadStartupSettings(const Settings& settings);

// The main window's saved placement. Fields hold the defaults the window passes in
// until a saved value replaces them.
struct WindowPlacementSettings {
    int left = 0, top = 0, width = 0, height = 0;
    int memoHeight = 0;
    bool maximized = false;
};
WindowPlacementSettings ReadWindowPlacement(const Settings& settings, const WindowPlacementSettings& defaults);

// Everything written at close, in the order it is written.
struct ClosingSettings {
    WindowPlacementSettings placement;  // normal-state bounds
    std::string language;
    bool sortByExtension = true;
    std::string commanderFolder;
    std::string configurationFile;
};
// Stops at the first write that fails; returns whether all were written.
bool WriteClosingSettings(Settings& settings, const ClosingSettings& values);

// Where the properties dialog stood when it last closed; centred is the default.
struct DialogPosition {
    int left = 0, top = 0;
};
DialogPosition ReadPropertiesPosition(const Settings& settings, const DialogPosition& centred);
bool WritePropertiesPosition(Settings& settings, const DialogPosition& position);

}  // namespace pakvane

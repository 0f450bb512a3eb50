#pragma once
// The program's own settings file beside its executable: typed values over a profile file.
// The file is read once, when the object is made, and written once, by Save: reads come
// from that snapshot, writes change it and are kept until Save puts them all in place in
// one step. Closing therefore never leaves a half-written settings file.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/profile_file.h"

namespace pakvane {

// The executable's path with its extension replaced by ".ini" (appended when it has none).
std::string SettingsPathFor(std::string_view executablePath);

// A whole number in decimal with an optional sign, or hexadecimal after "0x"/"0X";
// nullopt for anything else or a value beyond 32 bits.
std::optional<int> ParseSettingsInteger(std::string_view text);

class Settings {
public:
    explicit Settings(ProfileFile file);

    std::string ReadText(std::string_view section, std::string_view key, std::string_view fallback = {}) const;
    int ReadInteger(std::string_view section, std::string_view key, int fallback) const;
    // Any non-zero number is true; absent or not a number gives the fallback.
    bool ReadBool(std::string_view section, std::string_view key, bool fallback) const;

    void WriteText(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, int value);
    void WriteBool(std::string_view section, std::string_view key, bool value);

    // Writes every value changed since the object was made into the file as it is on disk
    // now (the association save rewrites its PackerPlugins section meanwhile), in one step.
    // False when that fails; the file is then as it was and the values stay pending.
    bool Save();

    const ProfileFile& File() const { return file_; }

private:
    ProfileFile file_;
    ProfileDocument snapshot_;
    std::vector<ProfileValue> pending_;
};

// The values read while the main window is created.
struct StartupSettings {
    std::string language;  // Tools/Lng: a language file name, empty for built-in
    bool sortByExtension = true;  // Tools/Sort
    std::string commanderFolder;  // Setup/ComPath
    std::string configurationFile;  // Setup/IniFile
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
// All in one write of the file; returns whether it was written.
bool WriteClosingSettings(Settings& settings, const ClosingSettings& values);

// Where the properties dialog stood when it last closed; centred is the default.
struct DialogPosition {
    int left = 0, top = 0;
};
DialogPosition ReadPropertiesPosition(const Settings& settings, const DialogPosition& centred);
bool WritePropertiesPosition(Settings& settings, const DialogPosition& position);

}  // namespace pakvane

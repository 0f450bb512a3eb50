#pragma once
// The table of interface strings: every caption, hint and message the program shows.
// The built-in texts are Russian in Windows-1251; a language file may replace entries.
#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace pakvane {

constexpr int kInterfaceStringCount = 60;
constexpr unsigned kBuiltInCodePage = 1251;  // the built-in texts
constexpr unsigned kAnsiCodePage = 0;  // CP_ACP: language files and data

// 8-bit text together with the code page it is written in, so the window layer can show
// Windows-1251 built-ins correctly on a Windows whose ANSI code page is another one.
struct UiText {
    std::string text;
    unsigned codePage = kAnsiCodePage;
    bool operator==(const UiText&) const = default;
};

// Entry numbers, named for the places that use them.
enum class Str : int {
    IniGroup = 0,
    OpenFile = 1,
    IniFilter = 2,
    AllFilesFilter = 3,
    ListGroup = 4,
    Add = 5,
    Properties = 6,
    Delete = 7,
    Apply = 8,
    Cancel = 9,
    SortByExtension = 10,
    SortByPlugin = 11,
    AutoCommanderPath = 12,
    RemoveCommanderPath = 13,
    Language = 14,
    SaveQuestion = 15,
    Question = 16,
    CannotOpenFile = 17,
    Error = 18,
    IniNotFound = 19,
    DeleteQuestion = 20,
    SaveSucceeded = 21,
    Information = 22,
    SaveFailedRetry = 23,
    Extras = 24,
    AskCommanderFolder = 25,
    CapabilitiesGroup = 26,
    CapCreate = 27,
    CapModify = 28,
    CapMultiVolume = 29,
    CapDelete = 30,
    CapOptionsDialog = 31,
    CapMemoryPack = 32,
    CapDetectByContent = 33,
    CapSearchText = 34,
    CapHideIcon = 35,
    CapHideIconHint = 36,
    ExtensionAndPathGroup = 37,
    PluginFilter = 38,
    NoConfigureFunction = 39,
    AutoDetect = 40,
    ConfigurePlugin = 41,
    NoExtension = 42,
    NoPlugin = 43,
    FindPlugins = 44,
    AskSearchFolder = 45,
    DefaultLanguage = 46,
    PropertiesCaption = 47,
    DetermineCommanderPath = 48,
    CannotLoadPlugin = 49,
    CommanderPathUnknown = 50,
    NoComment = 51,
    Comment = 52,
    CannotSaveComment = 53,
};

// The built-in text of entry index, in Windows-1251; empty for 54..59 and out-of-range indexes.
const std::string& BuiltInString(int index);

// Converts UTF-8 text with Latin and Cyrillic letters to Windows-1251; characters the code
// page lacks become '?'. The built-in table is kept as UTF-8 in the source for readability.
std::string Utf8ToWindows1251(std::string_view utf8);

// The current interface strings: the only table the rest of the program reads.
class InterfaceStrings {
public:
    // Refills all 60 entries from the built-in texts, then applies the replacements a
    // language file gives (index -> ANSI text); entries it does not name stay built-in.
    template <class Overrides>
    void Fill(const Overrides& overrides)
    {
        FillBuiltIn();
        for (const auto& [index, text] : overrides) Replace(index, text);
    }
    void FillBuiltIn();
    void Replace(int index, std::string ansiText);

    bool IsFilled() const { return filled_; }
    // An out-of-range index yields an empty text rather than a crash.
    const UiText& Get(int index) const;
    const UiText& operator[](Str id) const { return Get(static_cast<int>(id)); }

private:
    std::array<UiText, kInterfaceStringCount> entries_{};
    bool filled_ = false;
};

// Group-box captions carry one space on each side.
UiText Padded(const UiText& text);

}  // namespace pakvane

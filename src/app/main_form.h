#pragma once
// The main window TMainForm: the configuration file's path, the check list of
// associations over a read-only memo, and a column of image buttons. It holds the program
// state and the association list and runs the commands; its controls, menus, list view
// and image buttons are the shared window pieces of app/ui, made from its tables.
#include <windows.h>

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/program_state.h"
#include "app/prop_form.h"
#include "app/ui/button_images.h"
#include "app/ui/check_list_view.h"
#include "app/ui/control_table.h"
#include "app/ui/dpi.h"
#include "app/ui/menu_table.h"
#include "app/ui/splitter.h"
#include "app/ui/win32_handles.h"
#include "app/ui/window_bridge.h"
#include "config/association_list.h"
#include "i18n/language_file.h"
#include "i18n/interface_strings.h"
#include "settings/settings.h"

namespace pakvane {

struct SystemServices;

class TMainForm final : private WindowBridge, private SplitterDelegate, private CheckListDelegate {
public:
    // arguments: the command-line arguments after the program name (1: configuration
    // file, 2: commander folder). endsProgram: closing the window ends the message loop.
    TMainForm(HINSTANCE instance, std::vector<std::string> arguments, bool endsProgram = true);
    ~TMainForm() override;

    // The settings file to use instead of the one beside the executable; call before Create.
    void UseSettingsFile(std::string path);
    const std::string& SettingsPath() const { return settingsPath_; }
    // The folder to take language files from instead of the executable's; call before Create.
    void UseLanguageFolder(std::string folder) { languageFolder_ = std::move(folder); }

    // Creates the window and runs the creation steps; the window stays hidden until Show.
    // Throws, leaving no window, when the window cannot be made.
    void Create();
    void Show(int showCommand);
    using WindowBridge::Handle;
    HWND Control(int id) const { return GetDlgItem(Handle(), id); }

    // The window's tables, for checks over all its controls and commands.
    static std::span<const ControlRow> ControlRows();
    static std::span<const MenuRow> MenuRows();  // every menu's items, submenus included
    static bool HandlesCommand(int id);

    // Puts a loaded configuration in place: shows the path, allows adding, fills the list
    // (row 0 selected, row commands offered when there are rows). Leaves Apply alone.
    void SetConfiguration(std::string iniPath, std::vector<AssociationRow> rows);
    // The path shown in IniShow (the configuration file in use), as ANSI bytes.
    const std::string& ConfigurationPath() const { return iniPath_; }

    // The association list. Call RefreshList after changing it.
    AssociationList& List() { return list_; }
    const AssociationList& List() const { return list_; }
    void RefreshList() { listView_.Refresh(); }

    // The current interface strings; call ApplyCaptions after refilling them.
    InterfaceStrings& Strings() { return strings_; }
    const InterfaceStrings& Strings() const { return strings_; }
    void ApplyCaptions();

    // The program state, and the commands that change it; every change is shown at once.
    const ProgramState& State() const { return state_; }
    void DisableListCommands();  // Add, Properties, Delete and Apply withdrawn
    void EnableRowCommands();  // Properties and Delete offered
    bool HasUnsavedChanges() const { return state_.unsavedChanges; }
    void SetUnsavedChanges(bool changed);
    bool SortByExtension() const { return state_.sortMode == SortMode::ByExtension; }
    void SetSortByExtension(bool byExtension);
    const std::string& LanguageFile() const { return state_.languageFile; }

    void SetMemoText(std::wstring_view text);
    int MemoHeight() const { return memoHeight_; }
    // Gives the memo a height, brought into the bounds of the list group.
    void SetMemoHeight(int height);
    // The window's size as created: it never gets smaller.
    SIZE MinimumSize() const { return minimumSize_; }

    // The commander folder: ends in a backslash, or empty when unknown.
    const std::string& CommanderFolder() const { return commanderFolder_; }
    void SetCommanderFolder(std::string folder) { commanderFolder_ = std::move(folder); }

    HMENU PopupMenuHandle() const { return popupMenu_.get(); }
    HMENU ToolsMenuHandle() const { return toolsMenu_.get(); }
    HMENU LanguageMenuHandle() const { return languageMenu_; }
    HWND HintWindow() const { return hints_.Handle(); }
    const DpiScale& Scale() const { return scale_; }

private:
    const std::string& Argument(std::size_t index) const;
    const std::string& ConfigFileArgument() const { return Argument(0); }

    // Creation (main_form.cpp).
    void FormCreate();
    void ShowConfigurationPath(std::string path);

    // The language submenu (main_form_language.cpp).
    void BuildLanguageMenu(std::string savedFile);
    bool ApplyLanguage();
    LanguageFolder Languages() const;
    void ShowLanguageMark();

    // Settings (main_form_settings.cpp).
    void OpenSettings();
    void ReadStartupSettings();
    void WriteSettings();
    void RestorePlacement();

    // The configuration file (main_form_config.cpp).
    void LocateConfigurationFile();
    void LocateCommanderFolder();
    bool LoadConfiguration(const std::string& path);
    bool SettleUnsavedChanges();
    void ReportLoadFailure();
    std::string CommanderFolderForPaths() const;
    bool SaveConfiguration();
    void SortList();
    void EnforceSingleEnabled();

    // Messages and window events (main_form.cpp).
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT FormActivate(WPARAM wParam);
    void FormCanResize(WINDOWPOS& position) const;
    void FormClose();

    // Commands (main_form_commands.cpp): a table of ids and handlers.
    struct CommandRow {
        int id;
        void (TMainForm::*handler)(int id);
    };
    static std::span<const CommandRow> Commands();
    template <void (TMainForm::*Handler)()>
    void Run(int)
    {
        (this->*Handler)();
    }
    void OnCommand(int id);
    bool IsCommandEnabled(int id) const;
    void ShowCommandStates();
    void OpenIniButtonClick();
    void AddButtonClick();
    void PropButtonClick();
    void DelButtonClick();
    void CommentItemClick();
    void ApplyButtonClick();
    void CancelButtonClick();
    void ToolButtonClick();
    void Sort1ItemClick(int id);
    void DefComItemClick();
    void AutoItemClick();
    void DelAutoItemClick();
    void FindItemClick();
    void DefLngItemClick(int id);

    // The plugin and commander-folder commands (main_form_plugins.cpp).
    template <class Action>
    auto WithCommanderFolderUi(HWND owner, Action&& action);
    void RewritePluginPaths(bool substitute);

    // Editing associations (main_form_edit.cpp).
    std::string RowTextOf(const PluginProperties& properties) const;
    std::vector<std::string> KnownPluginPaths() const;
    PropertiesContext PropertiesContextFor();
    void FinishRowEdit();

    // Controls, menus and layout (main_form_layout.cpp).
    void CreateControls();
    void CreateMenus();
    void LayoutControls();
    int GroupBox2Height() const;
    std::optional<int> SplitterProposeOffset(int offset) override;
    void SplitterApplyOffset(int offset) override;
    LRESULT ColorStatic(HDC dc, HWND control);

    // The association list's events (main_form_list.cpp).
    void CheckListSelectionChanged() override;
    void CheckListToggled(int index) override;
    void CheckListCommand(int command) override;
    void CheckListContextMenu(POINT screen) override;
    void WCXListClick();
    void WCXListClickCheck();

    HINSTANCE instance_;
    std::vector<std::string> arguments_;
    bool endsProgram_;
    DpiScale scale_;
    std::unique_ptr<SystemServices> services_;
    std::string settingsPath_;
    std::optional<Settings> settings_;  // from creation to the end of the close handler
    std::string rememberedConfiguration_;
    std::string lastLoadProblem_;
    bool commanderFolderLocated_ = false;

    ProgramState state_;
    InterfaceStrings strings_;
    AssociationList list_;
    std::string iniPath_;
    std::string commanderFolder_;
    std::string languageFolder_;
    std::vector<pakvane::LanguageFile> languageFiles_;  // one per language item, in menu order

    UniqueFont font_;
    int captionHeight_ = 13;  // text height of the group boxes' captions
    HintTooltip hints_;
    ImageButtons imageButtons_;
    CheckListView listView_;
    UniqueMenu popupMenu_;
    UniqueMenu toolsMenu_;
    HMENU languageMenu_ = nullptr;  // owned by toolsMenu_
    Splitter splitter_;

    bool controlsCreated_ = false;
    bool firstActivation_ = false;
    HWND lastFocus_ = nullptr;
    SIZE minimumSize_{};
    int memoHeight_ = 0;
};

}  // namespace pakvane

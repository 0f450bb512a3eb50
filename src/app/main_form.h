#pragma once
// The main window TMainForm: the configuration file's path, the check list of
// associations over a read-only memo, and a column of image buttons. The association list
// lives in an AssociationList; the list box only shows it.
#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/button_images.h"
#include "app/dpi.h"
#include "app/splitter.h"
#include "app/win32_handles.h"
#include "app/window_bridge.h"
#include "config/association_list.h"
#include "config/association_sort.h"
#include "i18n/interface_strings.h"
#include "settings/settings.h"

namespace pakvane {

struct SystemServices;

class TMainForm final : private WindowBridge, private SplitterDelegate {
public:
    // arguments: the command-line arguments after the program name (1: configuration
    // file, 2: commander folder). endsProgram: closing the window ends the message loop.
    TMainForm(HINSTANCE instance, std::vector<std::string> arguments, bool endsProgram = true);
    ~TMainForm() override;

    // The settings file to use instead of the one beside the executable; call before Create.
    void UseSettingsFile(std::string path);
    const std::string& SettingsPath() const { return settingsPath_; }

    // Creates the window and runs the creation steps; the window stays hidden until Show.
    void Create();
    void Show(int showCommand);
    using WindowBridge::Handle;
    HWND Control(int id) const { return GetDlgItem(Handle(), id); }

    // The command line; empty texts when an argument was not given.
    const std::string& ConfigFileArgument() const { return Argument(0); }
    const std::string& CommanderFolderArgument() const { return Argument(1); }

    // Puts a loaded configuration in place: shows the path, enables adding, fills the list
    // (row 0 selected, row commands enabled when there are rows). Leaves Apply alone.
    void SetConfiguration(std::string iniPath, std::vector<AssociationRow> rows);
    // The path shown in IniShow (the configuration file in use), as ANSI bytes.
    const std::string& ConfigurationPath() const { return iniPath_; }
    void ShowConfigurationPath(std::string path);

    // The association list. Call RefreshList after changing it.
    AssociationList& List() { return list_; }
    const AssociationList& List() const { return list_; }
    // Rebuilds the list box from the model with drawing suspended, then repaints once.
    void RefreshList();
    // Shows changed check states only; the rows' texts and order must be unchanged.
    void RefreshChecks();

    // The current interface strings; call ApplyCaptions after refilling them.
    InterfaceStrings& Strings() { return strings_; }
    const InterfaceStrings& Strings() const { return strings_; }
    void ApplyCaptions();

    // Enabling of the edit commands.
    void DisableListCommands();  // Add, Prop, Del (buttons and items) and Apply
    void EnableAddCommands();    // AddButton, AddItem
    void EnableRowCommands();    // PropButton, PropItem, DelButton, DelItem
    // The unsaved-changes state is the enabled state of ApplyButton.
    bool HasUnsavedChanges() const;
    void SetUnsavedChanges(bool changed);

    void SetMemoText(std::wstring_view text);
    int MemoHeight() const { return memoHeight_; }
    // Gives the memo a height, brought into the bounds of the list group.
    void SetMemoHeight(int height);
    // The window's size as created: it never gets smaller.
    SIZE MinimumSize() const { return minimumSize_; }

    // The commander folder: ends in a backslash, or empty when unknown.
    const std::string& CommanderFolder() const { return commanderFolder_; }
    void SetCommanderFolder(std::string folder) { commanderFolder_ = std::move(folder); }
    // The chosen language file's name, empty for the built-in strings.
    const std::string& LanguageFile() const { return languageFile_; }

    // The sort order: Sort1Item (by extension) or Sort2Item (by plugin) checked.
    bool SortByExtension() const;
    void SetSortByExtension(bool byExtension);

    HMENU PopupMenuHandle() const { return popupMenu_.get(); }
    HMENU ToolsMenuHandle() const { return toolsMenu_.get(); }
    HMENU LanguageMenuHandle() const { return languageMenu_; }
    const DpiScale& Scale() const { return scale_; }

private:
    const std::string& Argument(std::size_t index) const;

    // Creation (main_form.cpp).
    void FormCreate();
    void OpenSettings();
    void ReadStartupSettings();
    void BuildLanguageMenu(const std::string& savedLanguageFile);
    bool ApplyLanguage();
    void LocateConfigurationFile();
    void LocateCommanderFolder();

    // The configuration file (main_form_config.cpp).
    bool LoadConfiguration(const std::string& path);
    bool SettleUnsavedChanges();
    SortMode CurrentSortMode() const;
    void ReportLoadFailure();
    std::string CommanderFolderForPaths() const;

    // Messages and window events (main_form.cpp).
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT FormActivate(WPARAM wParam);
    void FormCanResize(WINDOWPOS& position) const;
    void FormResize();
    void FormClose();
    void RestorePlacement();
    void OnCommand(int id);
    bool IsCommandEnabled(int id) const;

    // Commands (main_form.cpp). Those filled by other parts of the program are marked there.
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
    bool SaveConfiguration();
    void WriteSettings();
    void SortList();

    // Controls and layout (main_form_layout.cpp).
    void CreateControls();
    void LoadButtonImages();
    void LayoutControls();
    int GroupBox2Height() const;
    std::optional<int> SplitterProposeOffset(int offset) override;
    void SplitterApplyOffset(int offset) override;
    LRESULT ColorStatic(HDC dc, HWND control);
    void DrawImageButton(const DRAWITEMSTRUCT& item);
    void OpenThemes();
    static LRESULT CALLBACK GroupBoxProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                              UINT_PTR id, DWORD_PTR self);

    // The association list view (main_form_list.cpp).
    void SubclassList();
    static LRESULT CALLBACK ListProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                          UINT_PTR id, DWORD_PTR self);
    LRESULT WCXListMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void WCXListDrawItem(const DRAWITEMSTRUCT& item);
    void DrawCheckBox(HDC dc, const RECT& area, bool checked, bool enabled);
    int CheckAreaWidth() const;
    int RowHeight() const { return scale_(13); }
    int ListItemFromPoint(POINT point) const;
    void SyncSelectionFromView();
    void ToggleRowCheck(int index);
    void WCXListClick();
    void WCXListClickCheck();
    void EnforceSingleEnabled();
    void WCXListContextMenu(LPARAM screenPoint);

    // Menus, hints and captions (main_form_menus.cpp).
    void CreateMenus();
    void CreateTooltips();
    void SetHint(int controlId, const std::wstring& text);
    void SetMenuCaption(int id, const std::wstring& text);
    void SetCommandEnabled(int controlId, int menuItemId, bool enabled);
    void EnableControl(int id, bool enabled);

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

    InterfaceStrings strings_;
    AssociationList list_;
    std::string iniPath_;
    std::string commanderFolder_;
    std::string languageFile_;

    UniqueFont font_;
    int captionHeight_ = 13;  // text height of the group boxes' captions
    ButtonImages buttonImages_;
    UniqueTheme buttonTheme_;
    UniqueMenu popupMenu_;
    UniqueMenu toolsMenu_;
    HMENU languageMenu_ = nullptr;  // owned by toolsMenu_
    HWND tooltip_ = nullptr;        // owned by the window
    HWND listBox_ = nullptr;
    UniqueTheme listTheme_;
    Splitter splitter_;

    bool controlsCreated_ = false;
    bool firstActivation_ = false;
    HWND lastFocus_ = nullptr;
    SIZE minimumSize_{};
    int memoHeight_ = 0;
};

}  // namespace pakvane

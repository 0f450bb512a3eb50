#pragma once
// TBrowseFolderDialog: the shell's folder browser (SHBrowseForFolderA) as a small
// component. The owner sets the properties, calls Execute and reads the chosen folder from
// Path. Beyond the shell's dialog it opens centred on the primary screen, with Path
// already selected, and with a title-bar text of the caller's choice.
#include <windows.h>

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>

#include "config/commander_path.h"

namespace pakvane {

class InterfaceStrings;

// Browsing options, each one shell flag (positions as listed).
enum class TBrowseFlag {
    bfComputers,
    bfPrinters,
    bfNotNetwork,
    bfOnlySysAnsectors,
    bfOnlySysDir,
    bfStatusText,
    bfEditBox,
    bfIncludeFiles,
};

class TBrowseFlags {
public:
    constexpr TBrowseFlags() = default;
    constexpr TBrowseFlags(std::initializer_list<TBrowseFlag> flags)
    {
        for (const TBrowseFlag flag : flags) bits_ |= Bit(flag);
    }
    constexpr bool Has(TBrowseFlag flag) const { return (bits_ & Bit(flag)) != 0; }
    constexpr bool operator==(const TBrowseFlags&) const = default;

private:
    static constexpr std::uint8_t Bit(TBrowseFlag flag)
    {
        return static_cast<std::uint8_t>(1u << static_cast<int>(flag));
    }
    std::uint8_t bits_ = 0;
};

// The folder at the top of the tree.
enum class TRootFolder { rfDeskTop, rfDrives, rfNetWork, rfPersonal, rfOtherRoot };

// The BIF_* flags for a set of options.
UINT ShellBrowseFlags(TBrowseFlags flags);

class TBrowseFolderDialog {
public:
    explicit TBrowseFolderDialog(HWND owner = nullptr) : Owner(owner) {}
    TBrowseFolderDialog(const TBrowseFolderDialog&) = delete;
    TBrowseFolderDialog& operator=(const TBrowseFolderDialog&) = delete;
    ~TBrowseFolderDialog();

    // Plain values, read by Execute. UI texts are wide so that they show correctly whatever
    // the ANSI code page; paths are ANSI data.
    std::wstring Title;  // instruction above the tree; none when empty
    TBrowseFlags Flag;  // browsing options
    TRootFolder Root = TRootFolder::rfDeskTop;
    std::string OtherRoot;  // the top folder when Root is rfOtherRoot
    std::string Path;  // before Execute: the folder to select; after a confirmed one: the choice
    std::wstring Caption;  // title-bar text; the shell's own when empty
    HWND Owner = nullptr;  // the program's top-level window, owner of the browser

    // Shows the browser modally, the program's other windows disabled meanwhile. True when
    // the user confirmed a folder (Path then holds it); false, Path unchanged, otherwise.
    bool Execute();

    // The browser's window while it is open; null otherwise.
    HWND BrowserWindow() const { return window_; }

private:
    static int CALLBACK BrowseCallback(HWND hwnd, UINT message, LPARAM parameter, LPARAM data);
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR data);
    void PrepareBrowserWindow();
    void Attach(HWND hwnd);
    void Detach();

    HWND window_ = nullptr;
};

// The core's folder picker over a TBrowseFolderDialog: the title from the interface
// strings, the initial folder as Path; the dialog's other properties stay as they are.
class BrowseFolderPicker final : public FolderPicker {
public:
    BrowseFolderPicker(TBrowseFolderDialog& dialog, const InterfaceStrings& strings)
        : dialog_(dialog),
          strings_(strings)
    {
    }
    std::optional<std::string> PickFolder(Str title, const std::string& initial) override;

private:
    TBrowseFolderDialog& dialog_;
    const InterfaceStrings& strings_;
};

}  // namespace pakvane

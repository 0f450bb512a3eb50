// The folder picker, driven in-process: a second thread finds the shell's browser window
// of the test thread, looks at it and presses a button, as a user would.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "app/browse_folder_dialog.h"
#include "app/ui/ui_text.h"
#include "i18n/interface_strings.h"
#include "win32/picker_driver.h"
#include "win32/test_files.h"

namespace pakvane {
namespace {

using testing::kTreeId;
using testing::PickerDriver;
using testing::SelectedItem;
using testing::Sighting;
using testing::TextOf;

class BrowseFolderDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        target = testing::MakeScratchFolder("pvpick") + "Target";
        ASSERT_TRUE(CreateDirectoryA(target.c_str(), nullptr));
        // Wine's item ids carry a folder's last-access time: read each folder of the path
        // once, so that the browser finds them as they now are.
        for (std::string folder = target; folder.size() > 3; folder.resize(folder.find_last_of('\\'))) {
            WIN32_FIND_DATAA found;
            const HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
            while (search != INVALID_HANDLE_VALUE && FindNextFileA(search, &found)) {}
            if (search != INVALID_HANDLE_VALUE) FindClose(search);
        }
        strings.FillBuiltIn();
        SetActiveWindow(owner);
    }
    void TearDown() override
    {
        DestroyWindow(owner);
        DestroyWindow(other);
    }
    static HWND TopWindow(int x)
    {
        return CreateWindowExW(0, L"STATIC", L"window", WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, 0, 200, 120, nullptr,
                               nullptr, GetModuleHandleW(nullptr), nullptr);
    }

    HWND other = TopWindow(300);
    HWND owner = TopWindow(0);
    std::string target;
    InterfaceStrings strings;
};

TEST_F(BrowseFolderDialogTest, OpensCentredOnTheFolderAndReturnsTheConfirmedOne)
{
    TBrowseFolderDialog dialog(owner);
    dialog.Flag = {TBrowseFlag::bfOnlySysDir};
    dialog.Caption = L"\x0412\x044B\x0431\x043E\x0440";  // Cyrillic, whatever the ANSI code page
    BrowseFolderPicker picker(dialog, strings);

    PickerDriver driver(owner, IDOK, [](HWND browser) { return SelectedItem(browser) == L"Target"; });
    const std::optional<std::string> chosen = picker.PickFolder(Str::AskCommanderFolder, target);
    const Sighting seen = driver.Join();
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.selected, L"Target");
    EXPECT_EQ(seen.caption, dialog.Caption);
    EXPECT_EQ(seen.title, Widen(strings[Str::AskCommanderFolder]));
    EXPECT_EQ(seen.rect.left, (GetSystemMetrics(SM_CXSCREEN) - (seen.rect.right - seen.rect.left)) / 2);
    EXPECT_EQ(seen.rect.top, (GetSystemMetrics(SM_CYSCREEN) - (seen.rect.bottom - seen.rect.top)) / 2);
    EXPECT_FALSE(seen.ownerEnabled);

    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(lstrcmpiA(chosen->c_str(), target.c_str()), 0) << *chosen;
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_TRUE(IsWindowEnabled(other));
    EXPECT_EQ(GetActiveWindow(), owner);
    EXPECT_EQ(dialog.BrowserWindow(), nullptr);
}

TEST_F(BrowseFolderDialogTest, CancelKeepsThePathAndEmptyTextsKeepTheShells)
{
    TBrowseFolderDialog dialog(owner);
    dialog.Path = "C:\\no such folder here";
    PickerDriver driver(owner, IDCANCEL);
    EXPECT_FALSE(dialog.Execute());
    const Sighting seen = driver.Join();
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.title, L"");
    EXPECT_FALSE(seen.caption.empty());
    EXPECT_EQ(seen.selected, L"");
    EXPECT_EQ(dialog.Path, "C:\\no such folder here");
    EXPECT_TRUE(IsWindowEnabled(other));
    EXPECT_EQ(GetActiveWindow(), owner);
}

TEST_F(BrowseFolderDialogTest, OnlyFileSystemFoldersCanBeConfirmed)
{
    TBrowseFolderDialog dialog(owner);
    dialog.Flag = {TBrowseFlag::bfOnlySysDir};
    dialog.Root = TRootFolder::rfDrives;
    // Selects the tree's top item, the list of drives, which has no file-system path.
    PickerDriver driver(owner, IDOK, [](HWND browser) {
        const HWND tree = GetDlgItem(browser, kTreeId);
        const LPARAM top = SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0);
        if (top) SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, top);
        return top && SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0) == top;
    });
    EXPECT_FALSE(dialog.Execute());
    const Sighting seen = driver.Join();
    EXPECT_FALSE(seen.selected.empty());
    EXPECT_FALSE(seen.okEnabled);
}

}  // namespace
}  // namespace pakvane

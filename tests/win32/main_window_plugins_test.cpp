// The main window's plugin commands on real files: the memo for the selected row (a real
// plugin library with version information and a descript.ion comment), and the
// commander-path commands with the folder known and unknown (the real folder picker).
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/control_ids.h"
#include "app/main_form.h"
#include "app/ui/ui_text.h"
#include "platform/win32/version_info.h"
#include "plugins/version_summary.h"
#include "win32/picker_driver.h"
#include "win32/recorded_boxes.h"
#include "win32/test_files.h"
#include "win32/test_plugins.h"

namespace pakvane {
namespace {

class MainWindowPluginsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = testing::MakeScratchFolder("pvplug");
        form_ = std::make_unique<TMainForm>(GetModuleHandleW(nullptr), std::vector<std::string>{}, false);
        form_->UseSettingsFile(folder_ + "pakvane.ini");
        form_->Create();
        boxes_.clear();
    }
    void TearDown() override { form_.reset(); }
    std::wstring Memo() const
    {
        wchar_t text[4096] = {};
        GetWindowTextW(form_->Control(ids::kCommMemo), text, 4096);
        return text;
    }
    std::vector<std::string> Rows() const
    {
        std::vector<std::string> rows;
        for (const AssociationRow& row : form_->List().Rows()) rows.push_back(row.text);
        return rows;
    }

    std::string folder_;
    std::unique_ptr<TMainForm> form_;
    testing::RecordedBoxes recorder_;
    std::vector<std::wstring>& boxes_ = recorder_.texts;
};

TEST_F(MainWindowPluginsTest, TheMemoShowsTheSelectedPluginsCommentAndVersions)
{
    const std::string plugin = folder_ + "version_two.dll";
    ASSERT_TRUE(CopyFileA((testing::TestPluginFolder() + "version_two.dll").c_str(), plugin.c_str(), FALSE));
    ASSERT_TRUE(testing::WriteBytes(folder_ + "descript.ion", "version_two.dll Packs everything\r\n"));
    form_->SetCommanderFolder(folder_);
    form_->SetConfiguration(folder_ + "wincmd.ini",
                            {{"aaa=1,%commander_path%\\version_two.dll", true}, {"zzz=1,c:\\nowhere\\none.wcx", true}});
    const std::wstring memo = Memo();
    const std::string versions = VersionSummary(Win32VersionInfoSource(), plugin);
    EXPECT_FALSE(versions.empty());
    EXPECT_EQ(memo, L"Packs everything\r\n" + WidenAnsi(versions));

    // Another row: its library has neither comment nor version information.
    SendMessageW(form_->Control(ids::kWcxList), LB_SETCURSEL, 1, 0);
    SendMessageW(form_->Handle(), WM_COMMAND, MAKEWPARAM(ids::kWcxList, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(form_->Control(ids::kWcxList)));
    EXPECT_EQ(Memo(), Widen(form_->Strings()[Str::NoComment]) + L"\r\n");
    EXPECT_TRUE(boxes_.empty());
}

TEST_F(MainWindowPluginsTest, PathsAreRewrittenToAndFromTheCommanderFolder)
{
    form_->SetCommanderFolder("C:\\Veruduri\\");
    form_->SetConfiguration(folder_ + "wincmd.ini", {{"zip=31,c:\\veruduri\\plugins\\zip.wcx", true},
                                                     {"ZIP = 31 , C:\\VERUDURI\\a.wcx", false},
                                                     {"rar=4,C:\\VeruduriOld\\p.wcx", true}});
    EXPECT_FALSE(form_->HasUnsavedChanges());
    SendMessageW(form_->Handle(), WM_COMMAND, ids::kAutoItem, 0);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"rar=4,C:\\VeruduriOld\\p.wcx", "ZIP=31,%commander_path%\\a.wcx",
                                                "zip=31,%commander_path%\\plugins\\zip.wcx"}));
    EXPECT_TRUE(form_->HasUnsavedChanges());
    EXPECT_TRUE(IsWindowEnabled(form_->Control(ids::kApplyButton)));

    form_->SetUnsavedChanges(false);
    SendMessageW(form_->Handle(), WM_COMMAND, ids::kDelAutoItem, 0);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"rar=4,C:\\VeruduriOld\\p.wcx", "ZIP=31,C:\\Veruduri\\a.wcx",
                                                "zip=31,C:\\Veruduri\\plugins\\zip.wcx"}));
    EXPECT_TRUE(form_->HasUnsavedChanges());
    EXPECT_FALSE(form_->List().Row(1).checked) << "check states stay with their rows";
    EXPECT_TRUE(boxes_.empty());
}

// With no commander folder, the command says so once and opens the picker; cancelling it
// changes nothing, and the next command asks again.
TEST_F(MainWindowPluginsTest, AnUnknownCommanderFolderIsAskedForThroughThePicker)
{
    form_->SetConfiguration(folder_ + "wincmd.ini", {{"zip=31,c:\\wcx\\zip.wcx", true}});
    for (int attempt = 0; attempt < 2; ++attempt) {
        boxes_.clear();
        testing::PickerDriver picker(form_->Handle(), IDCANCEL);
        SendMessageW(form_->Handle(), WM_COMMAND, ids::kAutoItem, 0);
        const testing::Sighting seen = picker.Join();
        EXPECT_TRUE(seen.found) << "the folder picker opened";
        EXPECT_EQ(seen.title, Widen(form_->Strings()[Str::AskCommanderFolder]));
        ASSERT_EQ(boxes_.size(), 1u);
        EXPECT_EQ(boxes_[0], Widen(form_->Strings()[Str::CommanderPathUnknown]));
        EXPECT_EQ(Rows(), std::vector<std::string>{"zip=31,c:\\wcx\\zip.wcx"});
        EXPECT_FALSE(form_->HasUnsavedChanges());
        EXPECT_TRUE(form_->CommanderFolder().empty());
    }
}

// The comment command: the dialog shows the library's comment under its file name; what the
// user confirms goes to descript.ion, an emptied comment removes the entry and the file.
TEST_F(MainWindowPluginsTest, TheCommentCommandEditsTheLibrarysDescriptIon)
{
    const std::string ion = folder_ + "descript.ion";
    ASSERT_TRUE(testing::WriteBytes(ion, "zip.wcx Old words\r\n"));
    form_->SetConfiguration(folder_ + "wincmd.ini", {{"zip=1," + folder_ + "zip.wcx", true}});
    auto editWith = [&](const wchar_t* text, std::wstring& shown, std::wstring& caption) {
        std::thread user([&] {
            HWND dialog = nullptr;
            for (int i = 0; i < 1000 && !(dialog && IsWindowVisible(dialog)); ++i, Sleep(10)) {
                dialog = FindWindowW(kCommentFormClass, nullptr);
            }
            if (!dialog) return;
            wchar_t buffer[600] = {};
            SendMessageW(GetDlgItem(dialog, ids::kCommentMemo), WM_GETTEXT, 600, reinterpret_cast<LPARAM>(buffer));
            shown = buffer;
            SendMessageW(dialog, WM_GETTEXT, 600, reinterpret_cast<LPARAM>(buffer));
            caption = buffer;
            SendMessageW(GetDlgItem(dialog, ids::kCommentMemo), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
            PostMessageW(GetDlgItem(dialog, ids::kCommentOkButton), BM_CLICK, 0, 0);
        });
        SendMessageW(form_->Handle(), WM_COMMAND, ids::kCommentItem, 0);
        user.join();
    };
    std::wstring shown, caption;
    editWith(L"New words", shown, caption);
    EXPECT_EQ(shown, L"Old words");
    EXPECT_EQ(caption, L"zip.wcx");
    EXPECT_EQ(testing::ReadBytes(ion), "zip.wcx New words\r\n");
    EXPECT_TRUE(GetFileAttributesA(ion.c_str()) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(Memo(), L"New words\r\n");
    EXPECT_FALSE(form_->HasUnsavedChanges()) << "comments are not part of the configuration";

    editWith(L"", shown, caption);
    EXPECT_EQ(GetFileAttributesA(ion.c_str()), INVALID_FILE_ATTRIBUTES) << "the last entry gone, the file too";
    EXPECT_TRUE(boxes_.empty());
}

}  // namespace
}  // namespace pakvane

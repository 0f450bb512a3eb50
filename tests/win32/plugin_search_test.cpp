// The plugin search on real folder trees with the test build's real libraries: the walk
// through the system's listing and loader, and the window's command with the real picker.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "app/control_ids.h"
#include "app/main_form.h"
#include "app/ui/ui_text.h"
#include "platform/text_rules.h"
#include "platform/win32/directory_lister.h"
#include "platform/win32/plugin_loader.h"
#include "plugins/pe_exports.h"
#include "plugins/plugin_search.h"
#include "win32/picker_driver.h"
#include "win32/recorded_boxes.h"
#include "win32/test_files.h"
#include "win32/test_plugins.h"

namespace pakvane {
namespace {

void CopyPlugin(const char* name, const std::string& to)
{
    ASSERT_TRUE(CopyFileA((testing::TestPluginFolder() + name).c_str(), to.c_str(), FALSE)) << name << " -> " << to;
}

std::vector<std::string> Sorted(std::vector<std::string> rows)
{
    std::sort(rows.begin(), rows.end());
    return rows;
}

TEST(PluginSearchTreeTest, FindsEachPluginOnceWithItsFlags)
{
    const std::string root = testing::MakeScratchFolder("pvsearch");
    CopyPlugin("full.wcx", root + "full.wcx");
    SetFileAttributesA((root + "full.wcx").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    ASSERT_TRUE(CreateDirectoryA((root + "Hid").c_str(), nullptr));
    CopyPlugin("nocaps.wcx", root + "Hid\\nocaps.WCX");
    SetFileAttributesA((root + "Hid").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    CopyPlugin("full.wcx", root + "x.wcx.bak");
    ASSERT_TRUE(CreateDirectoryA((root + "dir.wcx").c_str(), nullptr));
    CopyPlugin("full.wcx", root + "dir.wcx\\inner.wcx");
    CopyPlugin("notdll.wcx", root + "notdll.wcx");
    CopyPlugin("decorated.wcx", root + "decorated.wcx");
    CopyPlugin("noprocessdata.wcx", root + "noprocessdata.wcx");
    CopyPlugin("otherbits.wcx", root + "otherbits.wcx");
    const std::string full = testing::ReadBytes(testing::TestPluginFolder() + "full.wcx");
    ASSERT_TRUE(testing::WriteBytes(root + "truncated.wcx", full.substr(0, full.size() / 2)));
    std::vector<std::string> expected{"auto=516," + root + "full.wcx", "auto=0," + root + "Hid\\nocaps.WCX",
                                      "auto=516," + root + "dir.wcx\\inner.wcx"};
    // A folder the ANSI code page cannot spell is walked through its short name. (Wine keeps
    // names in the Linux locale's character set: under a Cyrillic 8-bit locale such a folder
    // cannot be made at all.)
    const std::wstring unspellable = WidenAnsi(root) + L"\u03A9\u4E2D";
    if (CreateDirectoryW(unspellable.c_str(), nullptr)) {
        ASSERT_TRUE(CopyFileW(WidenAnsi(testing::TestPluginFolder() + "nocaps.wcx").c_str(),
                              (unspellable + L"\\inside.wcx").c_str(), FALSE));
        wchar_t shortForm[MAX_PATH] = {};
        ASSERT_NE(GetShortPathNameW(unspellable.c_str(), shortForm, MAX_PATH), 0u);
        const std::wstring shortPath(shortForm);
        expected.push_back("auto=0," + root + NarrowAnsi(shortPath.substr(shortPath.rfind(L'\\') + 1)) +
                           "\\inside.wcx");
    }
    // 200 levels: the lower ones lie beyond what the ANSI calls can name and are not listed.
    std::string deep = root;
    std::string plugged;
    for (int level = 0; level < 200; ++level) {
        deep += "d\\";
        ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + WidenAnsi(deep)).c_str(), nullptr)) << level;
        if (level == 40) {
            plugged = deep + "deep.wcx";
            CopyPlugin("nocaps.wcx", plugged);
        }
    }

    Win32DirectoryLister lister;
    InProcessPluginLoader loader;
    const std::unique_ptr<TextRules> rules = MakeSystemTextRules();
    const SearchServices services{lister, loader, *rules,
                                  [](std::uint16_t machine) { return machine == kProgramMachine; }};
    KnownPaths known;
    expected.push_back("auto=0," + plugged);
    EXPECT_EQ(Sorted(SearchFolder(known, root, services)), Sorted(expected));
    EXPECT_TRUE(SearchFolder(known, root, services).empty());
}

class FindItemTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = testing::MakeScratchFolder("pvfind");
        form_ = std::make_unique<TMainForm>(GetModuleHandleW(nullptr), std::vector<std::string>{}, false);
        form_->UseSettingsFile(folder_ + "pakvane.ini");
        form_->Create();
        boxes_.clear();
    }
    void TearDown() override { form_.reset(); }
    std::vector<AssociationRow> Find(int button)
    {
        testing::PickerDriver picker(form_->Handle(), button);
        SendMessageW(form_->Handle(), WM_COMMAND, ids::kFindItem, 0);
        const testing::Sighting seen = picker.Join();
        EXPECT_TRUE(seen.found) << "the folder picker opened";
        EXPECT_EQ(seen.title, Widen(form_->Strings()[Str::AskSearchFolder]));
        return form_->List().Rows();
    }
    static std::vector<std::pair<std::string, bool>> Texts(const std::vector<AssociationRow>& rows)
    {
        std::vector<std::pair<std::string, bool>> texts;
        for (const AssociationRow& row : rows) texts.emplace_back(row.text, row.checked);
        return texts;
    }

    std::string folder_;
    std::unique_ptr<TMainForm> form_;
    testing::RecordedBoxes recorder_;
    std::vector<std::wstring>& boxes_ = recorder_.texts;
};

TEST_F(FindItemTest, AddsNewPluginsSwitchedOffOnceAndSorted)
{
    CopyPlugin("full.wcx", folder_ + "full.wcx");
    CopyPlugin("nocaps.wcx", folder_ + "nocaps.wcx");
    form_->SetCommanderFolder(folder_);
    form_->SetConfiguration(folder_ + "wincmd.ini", {{"zip=31,%COMMANDER_PATH%\\FULL.wcx", true}});

    const std::vector<std::pair<std::string, bool>> before = Texts(form_->List().Rows());
    EXPECT_EQ(Texts(Find(IDCANCEL)), before);
    EXPECT_FALSE(form_->HasUnsavedChanges());

    const std::vector<std::pair<std::string, bool>> expected = {{"auto=0," + folder_ + "nocaps.wcx", false},
                                                                {"zip=31,%COMMANDER_PATH%\\FULL.wcx", true}};
    EXPECT_EQ(Texts(Find(IDOK)), expected);
    EXPECT_TRUE(form_->HasUnsavedChanges());
    EXPECT_EQ(SendMessageW(form_->Control(ids::kWcxList), LB_GETCOUNT, 0, 0), 2);

    form_->SetUnsavedChanges(false);
    EXPECT_EQ(Texts(Find(IDOK)), expected);
    EXPECT_FALSE(form_->HasUnsavedChanges());
    EXPECT_TRUE(boxes_.empty()) << (boxes_.empty() ? "" : NarrowAnsi(boxes_[0]));
}

}  // namespace
}  // namespace pakvane

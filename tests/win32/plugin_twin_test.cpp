// A real tree with .wcx/.wcx64 pairs (the test build's libraries copied under both names,
// the other compiler's otherbits.wcx as the library of the other bitness): the search through
// the system's listing and loader, and the properties dialog probing and configuring a row's
// plugin through its twin.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/control_ids.h"
#include "app/main_form.h"
#include "app/prop_form.h"
#include "platform/text_rules.h"
#include "platform/win32/directory_lister.h"
#include "platform/win32/plugin_loader.h"
#include "plugins/pe_exports.h"
#include "plugins/plugin_search.h"
#include "win32/recorded_boxes.h"
#include "win32/test_files.h"
#include "win32/test_plugins.h"

namespace pakvane {
namespace {

constexpr bool kProgramIs64Bit = kProgramMachine == kMachineAmd64;

// Runs Properties on the first row and, in the dialog, auto-detect, configuration and OK;
// returns what auto-detect showed.
std::wstring DetectConfigureAndConfirm(TMainForm& form)
{
    std::wstring detected;
    std::thread user([&] {
        HWND dialog = nullptr;
        if (!testing::WaitUntil(
                [&] { return (dialog = FindWindowW(kPropFormClass, nullptr)) && IsWindowVisible(dialog); }))
            return;
        SendMessageW(GetDlgItem(dialog, ids::kAutoButton), BM_CLICK, 0, 0);
        wchar_t kod[16] = {};
        GetWindowTextW(GetDlgItem(dialog, ids::kKodShow), kod, 16);
        detected = kod;
        SendMessageW(GetDlgItem(dialog, ids::kConfigButton), BM_CLICK, 0, 0);
        PostMessageW(GetDlgItem(dialog, ids::kPropOkButton), BM_CLICK, 0, 0);
        // A refused OK leaves the dialog open: cancel it rather than hang.
        if (!testing::WaitUntil([&] { return !IsWindow(dialog); })) {
            PostMessageW(GetDlgItem(dialog, ids::kPropCancelButton), BM_CLICK, 0, 0);
        }
    });
    SendMessageW(form.Handle(), WM_COMMAND, ids::kPropItem, 0);
    user.join();
    return detected;
}

TEST(PluginTwinTreeTest, ATwinGetsNoRowOfItsOwnAndStandsInForAMissingWcx)
{
    // Plugins reporting 516 and 2; the 64-bit one is this build's own in the 64-bit build.
    const char* const plugin64 = kProgramIs64Bit ? "full.wcx" : "otherbits.wcx";
    const char* const plugin32 = kProgramIs64Bit ? "otherbits.wcx" : "full.wcx";
    const struct {
        const char* folder;
        const char* wcx;  // "" for none
        const char* wcx64;
    } pairs[] = {{"pair", plugin32, plugin64}, {"both", plugin64, plugin64}, {"lone", "", plugin64}};
    const std::string root = testing::MakeScratchFolder("pvtwin");
    for (const auto& pair : pairs) {
        const std::string folder = root + pair.folder + "\\";
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
        for (const auto& [from, to] : {std::pair{pair.wcx, "x.wcx"}, std::pair{pair.wcx64, "x.wcx64"}}) {
            if (*from) {
                ASSERT_TRUE(CopyFileA((testing::TestPluginFolder() + from).c_str(), (folder + to).c_str(), FALSE));
            }
        }
    }

    // The in-process loader takes this build's own machine only.
    Win32DirectoryLister lister;
    InProcessPluginLoader loader;
    const std::unique_ptr<TextRules> rules = MakeSystemTextRules();
    const SearchServices services{lister, loader, *rules,
                                  [](std::uint16_t machine) { return machine == kProgramMachine; }};
    KnownPaths known;
    std::vector<std::string> found = SearchFolder(known, root, services);
    std::sort(found.begin(), found.end());
    const std::vector<std::string> expected =
        kProgramIs64Bit
            ? std::vector<std::string>{"auto=516," + root + "both\\x.wcx", "auto=516," + root + "lone\\x.wcx64",
                                       "auto=516," + root + "pair\\x.wcx64"}
            : std::vector<std::string>{"auto=516," + root + "pair\\x.wcx"};
    EXPECT_EQ(found, expected);

    // A row naming the missing lone\x.wcx: detection, configuration and OK go to the
    // x.wcx64 beside it, and the row keeps the name it was given.
    if (!kProgramIs64Bit) GTEST_SKIP() << "the 32-bit build's 64-bit test plugin has no ConfigurePacker";
    testing::RecordedBoxes boxes;
    TMainForm form(GetModuleHandleW(nullptr), {}, false);
    form.UseSettingsFile(root + "pakvane.ini");
    form.Create();
    boxes.texts.clear();  // whatever the start said about finding a configuration
    form.SetConfiguration(root + "wincmd.ini", {{"zip=0," + root + "lone\\x.wcx", true}});
    EXPECT_EQ(DetectConfigureAndConfirm(form), L"516");
    EXPECT_NE(GetFileAttributesA((root + "lone\\configured.txt").c_str()), INVALID_FILE_ATTRIBUTES)
        << "the twin's ConfigurePacker ran";
    ASSERT_EQ(form.List().Count(), 1u);
    EXPECT_EQ(form.List().Row(0).text, "zip=516," + root + "lone\\x.wcx");
    EXPECT_TRUE(boxes.texts.empty()) << (boxes.texts.empty() ? "" : NarrowAnsi(boxes.texts[0]));
}

}  // namespace
}  // namespace pakvane

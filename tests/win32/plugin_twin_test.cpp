// .wcx/.wcx64 pairs on real files: the test build's libraries copied under both names (the
// other compiler's otherbits.wcx as the library of the other bitness), the twin rule and the
// search through the system's listing and loader, and the properties dialog probing and
// configuring a row's plugin through its twin.
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
#include "plugins/plugin_twin.h"
#include "win32/recorded_boxes.h"
#include "win32/test_files.h"
#include "win32/test_plugins.h"

namespace pakvane {
namespace {

constexpr bool kProgramIs64Bit = kProgramMachine == kMachineAmd64;
// Plugins reporting 516 and 2; the 64-bit one is this build's own in the 64-bit build.
const char* const kPlugin64 = kProgramIs64Bit ? "full.wcx" : "otherbits.wcx";
const char* const kPlugin32 = kProgramIs64Bit ? "otherbits.wcx" : "full.wcx";

// Folders of the tree, each with its files (copied from the test plugins, "" for none).
struct Pair {
    const char* folder;
    const char* wcx;
    const char* wcx64;
};
const Pair kPairs[] = {
    {"pair", kPlugin32, kPlugin64},  // both plugins, each for its own machine
    {"lone", "", kPlugin64},  // the .wcx is missing
    {"text", "notdll.wcx", kPlugin64},  // the .wcx is no library
    {"both", kPlugin64, kPlugin64},    {"wrong", "", kPlugin32},  // a 32-bit library under the 64-bit name
};

std::string MakeTree()
{
    const std::string root = testing::MakeScratchFolder("pvtwin");
    for (const Pair& pair : kPairs) {
        const std::string folder = root + pair.folder + "\\";
        EXPECT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
        const std::string plugins = testing::TestPluginFolder();
        for (const auto& [from, to] : {std::pair{pair.wcx, "x.wcx"}, std::pair{pair.wcx64, "x.wcx64"}}) {
            if (*from) {
                EXPECT_TRUE(CopyFileA((plugins + from).c_str(), (folder + to).c_str(), FALSE)) << from;
            }
        }
    }
    return root;
}

std::vector<std::string> Sorted(std::vector<std::string> rows)
{
    std::sort(rows.begin(), rows.end());
    return rows;
}

TEST(PluginTwinTreeTest, TheTwinStandsInForAWcxThatIsNoPluginAndGetsNoRowOfItsOwn)
{
    const std::string root = MakeTree();
    Win32DirectoryLister lister;
    const std::unique_ptr<TextRules> rules = MakeSystemTextRules();
    const std::string twin[] = {"pair\\x.wcx", "lone\\x.wcx64", "text\\x.wcx64", "both\\x.wcx", "wrong\\x.wcx"};
    for (std::size_t i = 0; i < std::size(kPairs); ++i) {
        EXPECT_EQ(PluginLibraryFor(lister, *rules, root + kPairs[i].folder + "\\x.wcx"), root + twin[i])
            << kPairs[i].folder;
    }

    // The in-process loader takes this build's own machine only.
    InProcessPluginLoader loader;
    const SearchServices services{lister, loader, *rules,
                                  [](std::uint16_t machine) { return machine == kProgramMachine; }};
    KnownPaths known;
    const std::vector<std::string> expected =
        kProgramIs64Bit
            ? std::vector<std::string>{"auto=516," + root + "both\\x.wcx", "auto=516," + root + "lone\\x.wcx64",
                                       "auto=516," + root + "pair\\x.wcx64", "auto=516," + root + "text\\x.wcx64"}
            : std::vector<std::string>{"auto=516," + root + "pair\\x.wcx"};
    EXPECT_EQ(Sorted(SearchFolder(known, root, services)), expected);
    EXPECT_TRUE(SearchFolder(known, root, services).empty());
}

// A row naming a .wcx that is missing: detection, configuration and OK go to the .wcx64
// beside it, and the row keeps the name it was given.
TEST(PluginTwinTreeTest, ThePropertiesDialogProbesAndConfiguresThroughTheTwin)
{
    if (!kProgramIs64Bit) GTEST_SKIP() << "this program loads no 64-bit library in its own process";
    const std::string root = MakeTree();
    testing::RecordedBoxes boxes;
    TMainForm form(GetModuleHandleW(nullptr), {}, false);
    form.UseSettingsFile(root + "pakvane.ini");
    form.Create();
    boxes.texts.clear();  // whatever the start said about finding a configuration
    const std::string row = "zip=0," + root + "lone\\x.wcx";
    form.SetConfiguration(root + "wincmd.ini", {{row, true}});
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
    EXPECT_EQ(detected, L"516");
    EXPECT_EQ(GetFileAttributesA((root + "lone\\configured.txt").c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u)
        << "the twin's ConfigurePacker ran";
    ASSERT_EQ(form.List().Count(), 1u);
    EXPECT_EQ(form.List().Row(0).text, "zip=516," + root + "lone\\x.wcx");
    EXPECT_TRUE(boxes.texts.empty()) << (boxes.texts.empty() ? "" : NarrowAnsi(boxes.texts[0]));
}

}  // namespace
}  // namespace pakvane

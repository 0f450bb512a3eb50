// The plugin search's walk over a tree held in memory: order, the extension test, the
// export pre-check, known paths, folders that cannot be listed, depth, .wcx64 twins.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "fakes/fake_text_rules.h"
#include "fakes/memory_tree.h"
#include "fakes/pe_image.h"
#include "platform/directory_lister.h"
#include "platform/file_system.h"
#include "platform/plugin_loader.h"
#include "plugins/pe_exports.h"
#include "plugins/plugin_search.h"

namespace pakvane {
namespace {

using testing::kPlugin;
using testing::MemoryTree;

// Answers as a loader would for the plugin image; a flags value per upper-cased path.
class ScriptedLoader final : public PluginLoader {
public:
    std::map<std::string, std::int32_t> flags;
    std::vector<std::string> probed;
    PluginProbeResult Probe(const std::string& path) override
    {
        probed.push_back(path);
        const auto found = flags.find(path);
        if (found == flags.end()) return PluginProbeResult{true, 0, false, "OpenArchive", false, 0};
        return PluginProbeResult{true, 0, true, "", true, found->second};
    }
    PluginConfigureResult Configure(const std::string&, ParentWindow) override { return {}; }
    bool CanLoad(std::uint16_t) const override { return true; }
};

class PluginSearchTest : public ::testing::Test {
protected:
    std::vector<std::string> Search(const std::string& folder = "C:\\T\\")
    {
        return SearchFolder(known, folder, SearchServices{tree, loader, rules, accepts});
    }
    // Names in listing order, each with its bytes, in C:\T\.
    void AddFiles(const std::vector<std::pair<std::string, std::string>>& files)
    {
        for (const auto& [name, bytes] : files) tree.AddFile("C:\\T\\", name, bytes);
    }

    MemoryTree tree;
    ScriptedLoader loader;
    FakeTextRules rules;
    KnownPaths known;
    std::function<bool(std::uint16_t)> accepts = [](std::uint16_t machine) { return machine == kMachineAmd64; };
};

TEST_F(PluginSearchTest, WalksDepthFirstWithTheFilesOfAFolderFirst)
{
    tree.AddFolder("C:\\T\\", ".");
    tree.AddFolder("C:\\T\\", "..");
    tree.AddFolder("C:\\T\\", "Sub1");
    tree.AddFile("C:\\T\\", "a.wcx");
    tree.AddFolder("C:\\T\\", "sub2", kFileAttributeDirectory | kFileAttributeHidden | kFileAttributeSystem);
    tree.AddFile("C:\\T\\Sub1\\", "c.wcx", kPlugin, kFileAttributeHidden | kFileAttributeSystem);
    tree.AddFolder("C:\\T\\Sub1\\", "deep");
    tree.AddFile("C:\\T\\Sub1\\deep\\", "d.Wcx");
    tree.AddFile("C:\\T\\sub2\\", "e.wcx");
    loader.flags = {
        {"C:\\T\\A.WCX", 1}, {"C:\\T\\SUB1\\C.WCX", 516}, {"C:\\T\\SUB1\\DEEP\\D.WCX", -2}, {"C:\\T\\SUB2\\E.WCX", 0}};

    EXPECT_EQ(Search(), (std::vector<std::string>{"auto=1,C:\\T\\a.wcx", "auto=516,C:\\T\\Sub1\\c.wcx",
                                                  "auto=-2,C:\\T\\Sub1\\deep\\d.Wcx", "auto=0,C:\\T\\sub2\\e.wcx"}));
    EXPECT_EQ(tree.patterns, (std::vector<std::string>{"C:\\T\\*.*", "C:\\T\\Sub1\\*.*", "C:\\T\\Sub1\\deep\\*.*",
                                                       "C:\\T\\sub2\\*.*"}));
    EXPECT_EQ(tree.mostOpen, 1);
    // What was found is known now: a second run adds nothing and loads nothing.
    loader.probed.clear();
    EXPECT_TRUE(Search().empty());
    EXPECT_TRUE(loader.probed.empty());
}

TEST_F(PluginSearchTest, ProbesOnlyFilesWithTheExtensionAndThePluginExports)
{
    const std::string other = testing::MakePeImage(kMachineI386, testing::kPluginExports);
    const std::vector<std::string> withoutCaps(testing::kPluginExports.begin() + 2, testing::kPluginExports.end());
    struct Entry {
        const char* name;
        std::string bytes;
        std::uint32_t attributes;
        bool probed;
    };
    const std::vector<Entry> entries = {
        {"x.WCX", kPlugin, kFileAttributeReadOnly, true},
        {"y.wcx", kPlugin, kFileAttributeArchive, true},
        {".wcx", kPlugin, kFileAttributeArchive, true},
        {"x.wcx.bak", kPlugin, kFileAttributeArchive, false},
        {"x.wcxx", kPlugin, kFileAttributeArchive, false},
        {"xwcx", kPlugin, kFileAttributeArchive, false},
        {"label.wcx", kPlugin, kFileAttributeVolumeLabel, false},
        {"text.wcx", "not a library", kFileAttributeArchive, false},
        {"other.wcx", other, kFileAttributeArchive, false},
        {"short.wcx", kPlugin.substr(0, kPlugin.size() / 2), kFileAttributeArchive, false},
        {"nocaps.wcx", testing::MakePeImage(kMachineAmd64, withoutCaps, true), kFileAttributeArchive, false},
    };
    std::vector<std::string> expected;
    for (const Entry& e : entries) {
        tree.AddFile("C:\\T\\", e.name, e.bytes, e.attributes);
        if (e.probed) expected.push_back(rules.UpperAnsi(std::string("C:\\T\\") + e.name));
    }
    tree.AddFolder("C:\\T\\", "f.wcx");
    tree.AddFile("C:\\T\\f.wcx\\", "in.wcx");
    expected.push_back("C:\\T\\F.WCX\\IN.WCX");
    Search();
    EXPECT_EQ(loader.probed, expected);
}

TEST_F(PluginSearchTest, PassesOverKnownLibrariesAndFailedProbes)
{
    tree.AddFile("C:\\T\\", "Known.wcx");
    tree.AddFile("C:\\T\\", "broken.wcx");
    tree.AddFile("C:\\T\\", "new.wcx");
    loader.flags = {{"C:\\T\\KNOWN.WCX", 1}, {"C:\\T\\NEW.WCX", 2}};
    known.Add("C:\\T\\KNOWN.WCX");

    EXPECT_EQ(Search(), std::vector<std::string>{"auto=2,C:\\T\\new.wcx"});
    EXPECT_EQ(loader.probed, (std::vector<std::string>{"C:\\T\\BROKEN.WCX", "C:\\T\\NEW.WCX"}));
    EXPECT_TRUE(known.Contains("C:\\T\\NEW.WCX"));
    EXPECT_FALSE(known.Contains("C:\\T\\BROKEN.WCX"));
}

TEST_F(PluginSearchTest, FolderThatCannotBeListedYieldsNothingBelowIt)
{
    tree.AddFolder("C:\\T\\", "locked");
    tree.folders.erase("C:\\T\\locked\\");
    tree.AddFolder("C:\\T\\", "open");
    tree.AddFile("C:\\T\\open\\", "p.wcx");
    loader.flags = {{"C:\\T\\OPEN\\P.WCX", 3}};
    EXPECT_EQ(Search(), std::vector<std::string>{"auto=3,C:\\T\\open\\p.wcx"});
    EXPECT_TRUE(Search("C:\\missing\\").empty());
}

TEST_F(PluginSearchTest, DeepTreesKeepOneListingOpen)
{
    std::string folder = "C:\\T\\";
    for (int level = 0; level < 1000; ++level) {
        tree.AddFolder(folder, "d");
        folder += "d\\";
    }
    tree.AddFile(folder, "deep.wcx");
    loader.flags = {{rules.UpperAnsi(folder + "deep.wcx"), 9}};
    EXPECT_EQ(Search(), std::vector<std::string>{"auto=9," + folder + "deep.wcx"});
    EXPECT_EQ(tree.mostOpen, 1);
}

// .wcx64 files are 64-bit libraries only, and the loader's machines decide what is loaded.
TEST_F(PluginSearchTest, TakesWcx64FilesOnlyForA64BitPluginTheLoaderAccepts)
{
    const std::string plugin32 = testing::MakePeImage(kMachineI386, testing::kPluginExports);
    const std::string arm64 = testing::MakePeImage(0xAA64, testing::kPluginExports, true);
    AddFiles({{"a.wcx64", kPlugin},
              {"B.WCX64", kPlugin},
              {"c.wcx64", plugin32},
              {"d.wcx64", arm64},
              {"e.wcx64.bak", kPlugin},
              {"f.wcx65", kPlugin},
              {"g.wcx6", kPlugin},
              {"h.wcx", plugin32},
              {"i.wcx", arm64}});
    const struct {
        const char* accepted;
        std::vector<std::uint16_t> machines;
        std::vector<std::string> probed;
    } runs[] = {
        {"64-bit", {kMachineAmd64}, {"C:\\T\\A.WCX64", "C:\\T\\B.WCX64"}},
        {"32-bit", {kMachineI386}, {"C:\\T\\H.WCX"}},
        {"every machine",
         {kMachineI386, kMachineAmd64, 0xAA64},
         {"C:\\T\\H.WCX", "C:\\T\\I.WCX", "C:\\T\\A.WCX64", "C:\\T\\B.WCX64"}},
        {"none", {}, {}},
    };
    for (const auto& run : runs) {
        accepts = [&](std::uint16_t machine) {
            return std::find(run.machines.begin(), run.machines.end(), machine) != run.machines.end();
        };
        loader.probed.clear();
        known = KnownPaths();
        Search();
        EXPECT_EQ(loader.probed, run.probed) << run.accepted;
    }
}

// Of a .wcx and its .wcx64 twin in one folder only one gets a row, and no row comes for the
// twin of a library a row names already; the .wcx is preferred whatever the listing order.
TEST_F(PluginSearchTest, GivesOneRowToATwinPair)
{
    const std::string text = "not a library";
    const struct {
        const char* what;
        std::vector<std::pair<std::string, std::string>> files;
        std::vector<std::string> knownPaths;
        std::vector<std::string> rows;
        std::size_t probes;
    } cases[] = {
        {"both plugins", {{"x.wcx", kPlugin}, {"x.wcx64", kPlugin}}, {}, {"auto=7,C:\\T\\x.wcx"}, 1},
        {"both, .wcx64 listed first", {{"X.WCX64", kPlugin}, {"x.wcx", kPlugin}}, {}, {"auto=7,C:\\T\\x.wcx"}, 1},
        {".wcx no plugin", {{"x.wcx64", kPlugin}, {"x.wcx", text}}, {}, {"auto=64,C:\\T\\x.wcx64"}, 1},
        {".wcx failing its probe", {{"y.wcx", kPlugin}, {"y.wcx64", kPlugin}}, {}, {"auto=64,C:\\T\\y.wcx64"}, 2},
        {"a row names the .wcx", {{"x.wcx64", kPlugin}}, {"C:\\T\\X.WCX"}, {}, 0},
        {"a row names the .wcx64", {{"x.wcx", kPlugin}}, {"C:\\T\\X.WCX64"}, {}, 0},
        {"different names",
         {{"x.wcx", kPlugin}, {"xx.wcx64", kPlugin}, {"x.wcx.wcx64", kPlugin}},
         {},
         {"auto=7,C:\\T\\x.wcx", "auto=64,C:\\T\\xx.wcx64", "auto=64,C:\\T\\x.wcx.wcx64"},
         3},
    };
    for (const auto& c : cases) {
        tree = MemoryTree();
        AddFiles(c.files);
        known = KnownPaths();
        for (const std::string& path : c.knownPaths) known.Add(path);
        loader.probed.clear();
        loader.flags = {{"C:\\T\\X.WCX", 7},
                        {"C:\\T\\X.WCX64", 64},
                        {"C:\\T\\Y.WCX64", 64},
                        {"C:\\T\\XX.WCX64", 64},
                        {"C:\\T\\X.WCX.WCX64", 64}};
        EXPECT_EQ(Search(), c.rows) << c.what;
        EXPECT_EQ(loader.probed.size(), c.probes) << c.what;
        EXPECT_TRUE(Search().empty()) << c.what << ": a second run adds nothing";
    }
}

// A .wcx64 in another folder is no twin.
TEST_F(PluginSearchTest, TwinsLieInTheSameFolder)
{
    tree.AddFile("C:\\T\\", "x.wcx");
    tree.AddFolder("C:\\T\\", "sub");
    tree.AddFile("C:\\T\\sub\\", "x.wcx64");
    loader.flags = {{"C:\\T\\X.WCX", 1}, {"C:\\T\\SUB\\X.WCX64", 2}};
    EXPECT_EQ(Search(), (std::vector<std::string>{"auto=1,C:\\T\\x.wcx", "auto=2,C:\\T\\sub\\x.wcx64"}));
}

}  // namespace
}  // namespace pakvane

// The plugin search's walk over a tree held in memory: order, the extension test, the
// export pre-check, known paths, folders that cannot be listed, depth.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "fakes/fake_text_rules.h"
#include "fakes/pe_image.h"
#include "platform/directory_lister.h"
#include "platform/file_system.h"
#include "platform/plugin_loader.h"
#include "plugins/pe_exports.h"
#include "plugins/plugin_search.h"

namespace pakvane {
namespace {

const std::string kPlugin = testing::MakePeImage(kMachineAmd64, testing::kPluginExports, true);

// Folders (ending in "\") with their entries in listing order, and the files' bytes.
class MemoryTree final : public DirectoryLister {
public:
    std::map<std::string, std::vector<DirectoryEntry>> folders;
    std::map<std::string, std::string> files;
    std::vector<std::string> patterns;
    int open = 0;
    int mostOpen = 0;

    void AddFile(const std::string& folder, const std::string& name, const std::string& bytes = kPlugin,
                 std::uint32_t attributes = kFileAttributeArchive)
    {
        folders[folder].push_back({name, attributes});
        files[folder + name] = bytes;
    }
    void AddFolder(const std::string& parent, const std::string& name,
                   std::uint32_t attributes = kFileAttributeDirectory)
    {
        folders[parent].push_back({name, attributes});
        folders.try_emplace(parent + name + "\\");
    }
    bool List(const std::string& pattern, const std::function<void(const DirectoryEntry&)>& visit) override
    {
        patterns.push_back(pattern);
        EXPECT_TRUE(pattern.ends_with("\\*.*")) << pattern;
        const auto folder = folders.find(pattern.substr(0, pattern.size() - 3));
        if (folder == folders.end()) return false;
        mostOpen = std::max(mostOpen, ++open);
        for (const DirectoryEntry& entry : folder->second) visit(entry);
        --open;
        return true;
    }
    std::unique_ptr<FileReader> OpenFile(const std::string& path) override
    {
        EXPECT_EQ(open, 0) << "a file is read while a listing is open";
        const auto file = files.find(path);
        if (file == files.end()) return nullptr;
        return std::make_unique<Reader>(file->second);
    }

private:
    class Reader final : public FileReader {
    public:
        explicit Reader(std::string bytes) : bytes_(std::move(bytes)) {}
        std::uint64_t Size() const override { return bytes_.size(); }
        std::optional<std::string> Read(std::uint64_t offset, std::size_t length) override
        {
            if (offset > bytes_.size() || length > bytes_.size() - offset) return std::nullopt;
            return bytes_.substr(offset, length);
        }

    private:
        std::string bytes_;
    };
};

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
        return SearchFolder(known, folder, SearchServices{tree, loader, rules, kMachineAmd64});
    }

    MemoryTree tree;
    ScriptedLoader loader;
    FakeTextRules rules;
    KnownPaths known;
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

}  // namespace
}  // namespace pakvane

// Which library stands behind a row's plugin path: the .wcx itself, or its 64-bit .wcx64
// twin when the .wcx is no plugin, read from in-memory images.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "fakes/fake_text_rules.h"
#include "fakes/memory_tree.h"
#include "fakes/pe_image.h"
#include "plugins/pe_exports.h"
#include "plugins/plugin_twin.h"

namespace pakvane {
namespace {

using testing::kPluginExports;
using testing::MakePeImage;

TEST(PluginTwinTest, TheWcx64StandsInOnlyForAWcxThatIsNoPlugin)
{
    const std::string plugin32 = MakePeImage(kMachineI386, kPluginExports);
    const std::string plugin64 = MakePeImage(kMachineAmd64, kPluginExports, true);
    const std::string arm64 = MakePeImage(0xAA64, kPluginExports, true);
    const std::string library32 = MakePeImage(kMachineI386, {"DllMain"});
    const std::string library64 = MakePeImage(kMachineAmd64, {"OpenArchive"}, true);
    const std::string text = "not a library";
    const struct {
        const char* what;
        std::optional<std::string> wcx;
        std::optional<std::string> wcx64;
        bool twin;
    } cases[] = {
        {"32-bit plugin with a 64-bit twin", plugin32, plugin64, false},
        {"64-bit plugin with a 64-bit twin", plugin64, plugin64, false},
        {"missing, 64-bit twin", std::nullopt, plugin64, true},
        {"text, 64-bit twin", text, plugin64, true},
        {"a library without the exports, 64-bit twin", library32, plugin64, true},
        {"a plugin for another machine, 64-bit twin", arm64, plugin64, true},
        {"truncated, 64-bit twin", plugin32.substr(0, plugin32.size() / 2), plugin64, true},
        {"missing, 32-bit twin", std::nullopt, plugin32, false},
        {"missing, twin without the exports", std::nullopt, library64, false},
        {"missing, twin for another machine", std::nullopt, arm64, false},
        {"missing, truncated twin", std::nullopt, plugin64.substr(0, plugin64.size() / 2), false},
        {"missing, no twin", std::nullopt, std::nullopt, false},
        {"text, text twin", text, text, false},
    };
    FakeTextRules rules;
    for (const auto& c : cases) {
        testing::MemoryTree tree;
        if (c.wcx) tree.files["C:\\P\\x.wcx"] = *c.wcx;
        if (c.wcx64) tree.files["C:\\P\\x.wcx64"] = *c.wcx64;
        EXPECT_EQ(PluginLibraryFor(tree, rules, "C:\\P\\x.wcx"), c.twin ? "C:\\P\\x.wcx64" : "C:\\P\\x.wcx") << c.what;
    }
}

// Only a path ending in ".wcx" (any case) has a twin: the name with "64" appended.
TEST(PluginTwinTest, OnlyAWcxPathHasATwin)
{
    const std::string plugin64 = MakePeImage(kMachineAmd64, kPluginExports, true);
    FakeTextRules rules;
    const struct {
        const char* path;
        const char* library;
    } cases[] = {
        {"C:\\P\\X.WCX", "C:\\P\\X.WCX64"},
        {"C:\\P\\x.Wcx", "C:\\P\\x.Wcx64"},
        {"C:\\P\\x.wcx64", "C:\\P\\x.wcx64"},
        {"C:\\P\\x.dll", "C:\\P\\x.dll"},
        {"C:\\P\\x.wcx.bak", "C:\\P\\x.wcx.bak"},
        {"C:\\P.wcx\\x", "C:\\P.wcx\\x"},
        {"", ""},
    };
    for (const auto& c : cases) {
        testing::MemoryTree tree;
        tree.files[std::string(c.path) + "64"] = plugin64;
        EXPECT_EQ(PluginLibraryFor(tree, rules, c.path), c.library) << c.path;
    }
}

}  // namespace
}  // namespace pakvane

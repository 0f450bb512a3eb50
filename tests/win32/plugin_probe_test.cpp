// The probe, the check and the configuration call on real plugin libraries built by the
// test build, and on a system library of the prefix.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "plugins/pe_exports.h"
#include "plugins/plugin_probe.h"
#include "platform/win32/hosted_plugin_loader.h"
#include "platform/win32/plugin_loader.h"
#include "win32/test_files.h"
#include "win32/test_plugins.h"

namespace pakvane {
namespace {

using testing::RecordingSink;

class PluginProbeTest : public ::testing::Test {
protected:
    std::string Plugin(const char* name) const { return folder + name; }
    // The library must be gone from the process after every operation.
    void ExpectReleased(const std::string& path) const
    {
        EXPECT_EQ(GetModuleHandleA(path.c_str()), nullptr) << path << " stayed loaded";
    }

    std::string folder = testing::TestPluginFolder();
    InProcessPluginLoader loader;
};

struct ProbeCase {
    const char* file;
    bool loaded;
    bool complete;
    const char* missing;
    bool hasCaps;
    std::int32_t flags;
};

// The same answers whether the library is loaded here or in a probe host.
TEST_F(PluginProbeTest, AnswersWhatTheLibraryIs)
{
    HostedPluginLoader hosted;
    ASSERT_TRUE(hosted.CanLoad(kProgramMachine)) << "the probe host beside the test program does not start";
    const std::vector<ProbeCase> cases = {
        {"full.wcx", true, true, "", true, 516},
        {"nocaps.wcx", true, true, "", false, 0},
        {"noprocessdata.wcx", true, false, "SetProcessDataProc", false, 0},
        {"decorated.wcx", true, false, "OpenArchive", false, 0},
        {"deps\\needsdep.wcx", true, true, "", true, 3},
        {"notdll.wcx", false, false, "", false, 0},
        {"missing.wcx", false, false, "", false, 0},
    };
    for (PluginLoader* probe : {static_cast<PluginLoader*>(&loader), static_cast<PluginLoader*>(&hosted)}) {
        for (const ProbeCase& c : cases) {
            const std::string path = Plugin(c.file);
            const PluginProbeResult result = probe->Probe(path);
            const std::string what = std::string(c.file) + (probe == &loader ? " in-process" : " hosted");
            EXPECT_EQ(result.loaded, c.loaded) << what;
            EXPECT_EQ(result.loadError != 0, !c.loaded) << what << ": error " << result.loadError;
            EXPECT_EQ(result.exportsComplete, c.complete) << what;
            EXPECT_EQ(result.missingExport, c.missing) << what;
            EXPECT_EQ(result.hasPackerCaps, c.hasCaps) << what;
            EXPECT_EQ(result.flags, c.flags) << what;
            EXPECT_EQ(ProbePlugin(*probe, path), c.complete ? std::optional<std::int32_t>(c.flags) : std::nullopt)
                << what;
            ExpectReleased(path);
        }
    }
}

TEST_F(PluginProbeTest, PluginFindsItsDependencyInItsOwnFolder)
{
    const std::string path = Plugin("deps\\needsdep.wcx");
    // The point of the case: a plain load of the full path does not find the dependency.
    HMODULE plain = LoadLibraryA(path.c_str());
    const DWORD error = GetLastError();
    if (plain) FreeLibrary(plain);
    ASSERT_EQ(plain, nullptr);
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    EXPECT_EQ(ProbePlugin(loader, path), 3);
}

TEST_F(PluginProbeTest, FailuresShowTheCannotLoadMessageAndMissingConfigurationSaysSo)
{
    RecordingSink sink;
    EXPECT_EQ(CheckPlugin(loader, sink, Plugin("full.wcx")), 516);
    EXPECT_EQ(CheckPlugin(loader, sink, Plugin("noprocessdata.wcx")), std::nullopt);
    EXPECT_EQ(CheckPlugin(loader, sink, Plugin("notdll.wcx")), std::nullopt);
    EXPECT_EQ(CheckPlugin(loader, sink, "C:\\windows\\system32\\version.dll"), std::nullopt);
    ConfigurePlugin(loader, sink, 0, Plugin("nocaps.wcx"));
    ConfigurePlugin(loader, sink, 0, Plugin("notdll.wcx"));
    const auto cannotLoad = [](const std::string& path) {
        return UiMessage{Str::CannotLoadPlugin, Str::Error, kMessageIconError, path};
    };
    EXPECT_EQ(sink.shown, (std::vector<UiMessage>{
                              cannotLoad(Plugin("noprocessdata.wcx")),
                              cannotLoad(Plugin("notdll.wcx")),
                              cannotLoad("C:\\windows\\system32\\version.dll"),
                              {Str::NoConfigureFunction, Str::Information, kMessageIconInformation, std::nullopt},
                              cannotLoad(Plugin("notdll.wcx"))}));
    ExpectReleased(Plugin("nocaps.wcx"));
}

TEST_F(PluginProbeTest, ConfigureCallsThePluginWithTheParentAndItsOwnModule)
{
    // A copy in a folder of its own, so that the plugin's proof is written there.
    const std::string scratch = testing::MakeScratchFolder("pvcfg");
    const std::string copy = scratch + "full.wcx";
    ASSERT_TRUE(CopyFileA(Plugin("full.wcx").c_str(), copy.c_str(), FALSE));
    testing::ParentFixture parent;
    ASSERT_NE(parent.Get(), nullptr);

    RecordingSink sink;
    ConfigurePlugin(loader, sink, reinterpret_cast<ParentWindow>(parent.Get()), copy);
    EXPECT_TRUE(sink.shown.empty());
    ExpectReleased(copy);

    unsigned long hwnd = 0, module = 0, self = 0;
    const std::string proof = testing::ReadBytes(scratch + "configured.txt");
    ASSERT_EQ(std::sscanf(proof.c_str(), "%lx %lx %lx", &hwnd, &module, &self), 3) << proof;
    EXPECT_EQ(hwnd, static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(parent.Get())));
    EXPECT_EQ(module, self);
    EXPECT_NE(module, 0ul);
}

}  // namespace
}  // namespace pakvane

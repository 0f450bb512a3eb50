// Plugins probed and configured in the probe hosts beside the test program: plugins that
// crash or hang take only their host down, libraries no host can run are refused with the
// reason, a host that lies is not believed, and a configuration runs as a modal window would.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/win32/hosted_plugin_loader.h"
#include "plugins/pe_exports.h"
#include "plugins/plugin_probe.h"
#include "win32/test_files.h"
#include "win32/test_plugins.h"

namespace pakvane {
namespace {

using testing::RecordingSink;

constexpr std::uint16_t kOtherMachine = kProgramMachine == kMachineAmd64 ? kMachineI386 : kMachineAmd64;

UiMessage CannotLoad(const std::string& path, MessageDetail detail)
{
    return UiMessage{Str::CannotLoadPlugin, Str::Error, kMessageIconError, path, detail};
}

class HostedPluginLoaderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!loader.CanLoad(kProgramMachine)) GTEST_SKIP() << "the probe host of this build's bitness cannot start";
    }
    std::string Plugin(const char* name) const { return folder + name; }
    // A copy of a test plugin in a fresh folder.
    std::string CopyOf(const char* name) const
    {
        const std::string copy = testing::MakeScratchFolder("pvhost") + name;
        EXPECT_TRUE(CopyFileA(Plugin(name).c_str(), copy.c_str(), FALSE)) << copy;
        return copy;
    }

    std::string folder = testing::TestPluginFolder();
    HostedPluginLoader loader;
};

// Each failure is the cannot-load message with its reason, and this process goes on.
TEST_F(HostedPluginLoaderTest, PluginsThatCrashOrHangOrCannotRunHereFailWithTheirReason)
{
    std::string arm = testing::ReadBytes(Plugin("full.wcx"));
    ASSERT_GT(arm.size(), 0x40u);
    const std::size_t header = static_cast<unsigned char>(arm[0x3C]) | static_cast<unsigned char>(arm[0x3D]) << 8;
    arm[header + 4] = static_cast<char>(kMachineArm64 & 0xFF);
    arm[header + 5] = static_cast<char>(kMachineArm64 >> 8);
    const std::string armPath = testing::MakeScratchFolder("pvarm") + "arm64.wcx";
    ASSERT_TRUE(testing::WriteBytes(armPath, arm));

    // The message's detail line tells the reason: each probe is made once (the hang costs
    // the whole answer time).
    const std::vector<std::pair<std::string, MessageDetail>> cases = {
        {Plugin("crashcaps.wcx"), MessageDetail::PluginCrashed},
        {Plugin("hang.wcx"), MessageDetail::PluginHung},
        {armPath, MessageDetail::OtherProcessor},
        {Plugin("notdll.wcx"), MessageDetail::None},
    };
    RecordingSink sink;
    std::vector<UiMessage> expected;
    for (const auto& [path, detail] : cases) {
        EXPECT_EQ(CheckPlugin(loader, sink, path), std::nullopt) << path;
        expected.push_back(CannotLoad(path, detail));
    }
    const PluginProbeResult notLibrary = loader.Probe(Plugin("notdll.wcx"));
    EXPECT_EQ(notLibrary.failure, PluginFailure::NotALibrary);
    EXPECT_EQ(notLibrary.loadError, static_cast<std::uint32_t>(ERROR_BAD_EXE_FORMAT));
    // A crash in DllMain is caught by some system loaders (Wine's among them), which then
    // report a failed start-up; where it is not caught, the host dies. Either way the library
    // does not load, and a crash is called one.
    const PluginProbeResult crashedMain = loader.Probe(Plugin("crashmain.wcx"));
    EXPECT_FALSE(crashedMain.loaded);
    EXPECT_TRUE(crashedMain.failure == PluginFailure::None || crashedMain.failure == PluginFailure::Crashed);
    EXPECT_EQ(CheckPlugin(loader, sink, Plugin("crashmain.wcx")), std::nullopt);
    expected.push_back(CannotLoad(Plugin("crashmain.wcx"), crashedMain.failure == PluginFailure::Crashed
                                                               ? MessageDetail::PluginCrashed
                                                               : MessageDetail::None));
    EXPECT_EQ(sink.shown, expected);
    EXPECT_FALSE(loader.CanLoad(kMachineArm64));
    // The hosts that went down are replaced.
    EXPECT_EQ(ProbePlugin(loader, Plugin("full.wcx")), 516);
}

// The plugin of the other bitness loads where its host runs (a 64-bit prefix runs both);
// elsewhere it is refused with the missing host as the reason, and so is every library when
// the hosts are not there at all.
TEST_F(HostedPluginLoaderTest, LibrariesWhoseHostCannotRunAreRefusedWithThatReason)
{
    const std::string other = Plugin("otherbits.wcx");
    if (GetFileAttributesA(other.c_str()) == INVALID_FILE_ATTRIBUTES) GTEST_SKIP() << "no otherbits.wcx was built";
    const MessageDetail noHost =
        kOtherMachine == kMachineAmd64 ? MessageDetail::No64BitHost : MessageDetail::No32BitHost;
    RecordingSink sink;
    if (loader.CanLoad(kOtherMachine)) {
        EXPECT_EQ(CheckPlugin(loader, sink, other), 2);
        EXPECT_TRUE(sink.shown.empty());
    } else {
        EXPECT_EQ(loader.Probe(other).failure, PluginFailure::NoHost);
        EXPECT_EQ(CheckPlugin(loader, sink, other), std::nullopt);
        EXPECT_EQ(sink.shown, std::vector<UiMessage>{CannotLoad(other, noHost)});
    }

    HostedPluginLoader homeless(ProbeHosts{L"C:\\nowhere\\pakvane-host32.exe", L"C:\\nowhere\\pakvane-host64.exe"});
    EXPECT_FALSE(homeless.CanLoad(kProgramMachine));
    RecordingSink told;
    ConfigurePlugin(homeless, told, 0, Plugin("full.wcx"));
    const MessageDetail noOwnHost =
        kProgramMachine == kMachineAmd64 ? MessageDetail::No64BitHost : MessageDetail::No32BitHost;
    EXPECT_EQ(told.shown, std::vector<UiMessage>{CannotLoad(Plugin("full.wcx"), noOwnHost)});
}

// The path reaches the host byte for byte: blanks, quotes' kin and ANSI letters.
TEST_F(HostedPluginLoaderTest, PathsOfAnySpellingReachTheHost)
{
    const std::string copy = testing::MakeScratchFolder("pv name") + "it's a %TEMP% plug-in \xC0\xE9 (1).wcx";
    if (!CopyFileA(Plugin("full.wcx").c_str(), copy.c_str(), FALSE)) {
        GTEST_SKIP() << "Wine cannot make a file with this name in this code page (no such Unix locale)";
    }
    EXPECT_EQ(ProbePlugin(loader, copy), 516);
}

// A host that answers garbage, too little, far too much or another version is not believed,
// and none of it hangs the program.
TEST_F(HostedPluginLoaderTest, AnswersOfALyingHostAreRefused)
{
    const std::wstring& real = ProbeHosts::BesideProgram().host64;
    const std::wstring fake = real.substr(0, real.find_last_of(L'\\') + 1) + L"pakvane_fake_host.exe";
    HostedPluginLoader lied(ProbeHosts{fake, fake});
    const std::string full = Plugin("full.wcx");
    struct Lie {
        const char* mode;
        PluginFailure failure;
    };
    const Lie lies[] = {{"honest", PluginFailure::None},
                        {"garbage", PluginFailure::BadAnswer},
                        {"truncated", PluginFailure::BadAnswer},
                        {"oversized", PluginFailure::BadAnswer},
                        {"wrong version", PluginFailure::BadAnswer},
                        {"silent", PluginFailure::Crashed}};
    for (const Lie& lie : lies) {
        SetEnvironmentVariableA("PAKVANE_FAKE_HOST", lie.mode);
        const PluginProbeResult result = lied.Probe(full);
        EXPECT_EQ(result.failure, lie.failure) << lie.mode;
        EXPECT_EQ(result.loaded, lie.failure == PluginFailure::None) << lie.mode;
        EXPECT_EQ(result.flags, lie.failure == PluginFailure::None ? 7 : 0) << lie.mode;
    }
    SetEnvironmentVariableA("PAKVANE_FAKE_HOST", "wrong machine");
    EXPECT_FALSE(HostedPluginLoader(ProbeHosts{fake, fake}).CanLoad(kProgramMachine));
    SetEnvironmentVariableA("PAKVANE_FAKE_HOST", nullptr);
}

// The plugin gets the parent and its own module; meanwhile the parent is disabled yet answers
// the plugin's messages, and it is enabled again afterwards. A configuration that crashes
// after the library loaded is reported as such, not as a library that does not load.
TEST_F(HostedPluginLoaderTest, ConfigurationRunsAsAModalWindowOfTheParent)
{
    const std::string copy = CopyOf("full.wcx");
    const testing::ParentFixture parent;
    ASSERT_NE(parent.Get(), nullptr);
    RecordingSink sink;
    ConfigurePlugin(loader, sink, parent.Value(), copy);
    EXPECT_TRUE(sink.shown.empty());
    EXPECT_TRUE(IsWindowEnabled(parent.Get()));

    unsigned long hwnd = 0, module = 0, self = 0;
    int enabled = -1;
    char text[64] = "";
    const std::string proof = testing::ReadBytes(copy.substr(0, copy.find_last_of('\\') + 1) + "configured.txt");
    ASSERT_EQ(std::sscanf(proof.c_str(), "%lx %lx %lx %d %63s", &hwnd, &module, &self, &enabled, text), 5) << proof;
    EXPECT_EQ(hwnd, static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(parent.Get())));
    EXPECT_EQ(module, self);
    EXPECT_EQ(enabled, 0);
    EXPECT_STREQ(text, "parent");

    ConfigurePlugin(loader, sink, parent.Value(), Plugin("crashcaps.wcx"));
    EXPECT_EQ(sink.shown, (std::vector<UiMessage>{{Str::ConfigurePlugin, Str::Error, kMessageIconError, std::nullopt,
                                                   MessageDetail::ConfigurationCrashed}}));
    EXPECT_TRUE(IsWindowEnabled(parent.Get()));

    // One that neither opens a window nor returns is ended, and the parent is given back.
    sink.shown.clear();
    HostedPluginLoader impatient(ProbeHosts::BesideProgram(), 500);
    ConfigurePlugin(impatient, sink, parent.Value(), Plugin("hang.wcx"));
    EXPECT_EQ(sink.shown, (std::vector<UiMessage>{{Str::ConfigurePlugin, Str::Error, kMessageIconError, std::nullopt,
                                                   MessageDetail::ConfigurationHung}}));
    EXPECT_TRUE(IsWindowEnabled(parent.Get()));
}

}  // namespace
}  // namespace pakvane

#include "config/locate.h"
#include "fakes/fake_system.h"

#include <gtest/gtest.h>

namespace pakvane {
namespace {

using testing::FakeEnvironment;
using testing::FakeRegistry;
using Outcome = LocateResult::Outcome;

constexpr auto HKLM = RegistryRoot::LocalMachine;
constexpr auto HKCU = RegistryRoot::CurrentUser;

struct Loader {
    std::set<std::string> loadable;
    std::vector<std::string> tried;
    std::function<bool(const std::string&)> fn()
    {
        return [this](const std::string& path) {
            tried.push_back(path);
            return loadable.count(path) > 0;
        };
    }
};

TEST(LocateConfigurationFile, ArgumentIsTheOnlyCandidate)
{
    FakeRegistry registry;
    registry.Set(HKLM, kCommanderRegistryKey, "IniFileName", "c:\\tc\\wincmd.ini");
    FakeEnvironment environment;
    Loader loader;
    loader.loadable = {"c:\\tc\\wincmd.ini", "c:\\given.ini"};

    auto result =
        LocateConfigurationFile({"  c:\\given.ini "}, "c:\\tc\\wincmd.ini", registry, environment, loader.fn());
    EXPECT_EQ(result.outcome, Outcome::Loaded);
    EXPECT_EQ(result.path, "c:\\given.ini");

    loader.tried.clear();
    result = LocateConfigurationFile({"c:\\missing.ini", "c:\\tc"}, "c:\\tc\\wincmd.ini", registry, environment,
                                     loader.fn());
    EXPECT_EQ(result.outcome, Outcome::ArgumentFailed);
    EXPECT_EQ(result.path, "c:\\missing.ini");
    EXPECT_EQ(loader.tried, std::vector<std::string>{"c:\\missing.ini"});
    EXPECT_TRUE(registry.reads.empty()) << "the registry is not consulted when an argument is given";
}

TEST(LocateConfigurationFile, TriesSettingsRegistryThenWindowsFolderInOrder)
{
    FakeRegistry registry;
    registry.Set(HKLM, kCommanderRegistryKey, "IniFileName", " c:\\machine.ini\t");
    registry.Set(HKCU, kCommanderRegistryKey, "IniFileName", "c:\\user.ini");
    FakeEnvironment environment;
    environment.windowsFolder = "C:\\WINDOWS";
    Loader loader;

    auto result = LocateConfigurationFile({}, " c:\\remembered.ini ", registry, environment, loader.fn());
    EXPECT_EQ(result.outcome, Outcome::NoneFound);
    EXPECT_EQ(loader.tried, (std::vector<std::string>{"c:\\remembered.ini", "c:\\machine.ini", "c:\\user.ini",
                                                      "C:\\WINDOWS\\WinCmd.ini"}));

    // Stops at the first that loads; later sources are not even read.
    loader.tried.clear();
    registry.reads.clear();
    loader.loadable = {"c:\\machine.ini", "c:\\user.ini"};
    result = LocateConfigurationFile({}, "", registry, environment, loader.fn());
    EXPECT_EQ(result.outcome, Outcome::Loaded);
    EXPECT_EQ(result.path, "c:\\machine.ini");
    EXPECT_EQ(registry.reads, std::vector<std::string>{"HKLM\\IniFileName"});
}

TEST(LocateConfigurationFile, SkipsKeysThatCannotBeOpenedAndEmptyValues)
{
    FakeRegistry registry;
    registry.Set(HKLM, kCommanderRegistryKey, "IniFileName", "c:\\machine.ini");
    registry.lockedKeys.insert({HKLM, kCommanderRegistryKey});
    registry.Set(HKCU, kCommanderRegistryKey, "IniFileName", "   ");
    FakeEnvironment environment;
    Loader loader;
    loader.loadable = {"c:\\machine.ini", "C:\\windows\\WinCmd.ini"};
    auto result = LocateConfigurationFile({}, "", registry, environment, loader.fn());
    EXPECT_EQ(result.path, "C:\\windows\\WinCmd.ini");
    EXPECT_EQ(loader.tried, std::vector<std::string>{"C:\\windows\\WinCmd.ini"});
}

TEST(LocateCommanderFolder, FollowsTheChain)
{
    FakeRegistry registry;
    registry.Set(HKLM, kCommanderRegistryKey, "InstallDir", "c:\\machine");
    registry.Set(HKCU, kCommanderRegistryKey, "InstallDir", "c:\\user\\");
    FakeEnvironment environment;
    environment.variables["COMMANDER_PATH"] = " c:\\env ";

    // Argument 2 wins over everything, even the remembered folder, and gets its backslash.
    EXPECT_EQ(LocateCommanderFolder({"a.ini", " d:\\tc "}, "c:\\remembered\\", registry, environment), "d:\\tc\\");
    // "d:\tc folder\" as Windows hands it over: the quote the backslash kept is not part of it.
    EXPECT_EQ(LocateCommanderFolder({"a.ini", "d:\\tc folder\\\""}, "", registry, environment), "d:\\tc folder\\");
    // A remembered folder is kept; environment and registry are not read.
    EXPECT_EQ(LocateCommanderFolder({"a.ini"}, "c:\\remembered", registry, environment), "c:\\remembered\\");
    EXPECT_TRUE(registry.reads.empty());
    // An empty argument 2 clears the remembered folder, so the chain goes on.
    EXPECT_EQ(LocateCommanderFolder({"a.ini", ""}, "c:\\remembered", registry, environment), "c:\\env\\");
    environment.variables.erase("COMMANDER_PATH");
    EXPECT_EQ(LocateCommanderFolder({}, "", registry, environment), "c:\\machine\\");
    registry.keys.erase({HKLM, kCommanderRegistryKey});
    EXPECT_EQ(LocateCommanderFolder({}, "", registry, environment), "c:\\user\\");
    registry.keys.clear();
    EXPECT_EQ(LocateCommanderFolder({}, "", registry, environment), "");
}

TEST(LocateCommanderFolder, HonoursTheVariableLengthLimit)
{
    FakeRegistry registry;
    registry.Set(HKLM, kCommanderRegistryKey, "InstallDir", "c:\\registry");
    FakeEnvironment environment;

    environment.variables["COMMANDER_PATH"] = "c:\\" + std::string(256, 'a');  // 259 characters
    EXPECT_EQ(ReadCommanderPathVariable(environment).size(), 259u);
    EXPECT_EQ(LocateCommanderFolder({}, "", registry, environment), environment.variables["COMMANDER_PATH"] + "\\");

    environment.variables["COMMANDER_PATH"] += "b";  // 260 characters: ignored
    EXPECT_EQ(ReadCommanderPathVariable(environment), "");
    EXPECT_EQ(LocateCommanderFolder({}, "", registry, environment), "c:\\registry\\");
}

}  // namespace
}  // namespace pakvane

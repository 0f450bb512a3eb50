// The registry and environment readers against Wine's real registry and process
// environment, and the locating chains running on them.
#include "config/locate.h"
#include "platform/win32/environment.h"
#include "platform/win32/registry.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace pakvane {
namespace {

// Makes Total Commander's key under one root for the length of a test.
class CommanderKey {
public:
    explicit CommanderKey(HKEY root) : root_(root)
    {
        RegCreateKeyExA(root_, kCommanderRegistryKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr);
    }
    ~CommanderKey()
    {
        if (key_) RegCloseKey(key_);
        RegDeleteKeyA(root_, kCommanderRegistryKey);
    }
    void Set(const char* name, const std::string& data, DWORD type = REG_SZ)
    {
        RegSetValueExA(key_, name, 0, type, reinterpret_cast<const BYTE*>(data.c_str()),
                       static_cast<DWORD>(data.size() + 1));
    }

private:
    HKEY root_;
    HKEY key_ = nullptr;
};

class ScopedVariable {
public:
    ScopedVariable(const char* name, const char* value) : name_(name) { SetEnvironmentVariableA(name, value); }
    ~ScopedVariable() { SetEnvironmentVariableA(name_, nullptr); }

private:
    const char* name_;
};

TEST(Win32Registry, ReadsValuesOfAnyLengthAndTellsMissingKeysApart)
{
    Win32Registry registry;
    RegDeleteKeyA(HKEY_CURRENT_USER, kCommanderRegistryKey);
    EXPECT_EQ(registry.ReadString(RegistryRoot::CurrentUser, kCommanderRegistryKey, "InstallDir"), std::nullopt);

    CommanderKey key(HKEY_CURRENT_USER);
    const std::string longPath = "c:\\" + std::string(600, 'x') + "\\wincmd.ini";
    key.Set("IniFileName", longPath);
    key.Set("InstallDir", "%COMMANDER_PATH%", REG_EXPAND_SZ);
    key.Set("Number", "1234", REG_BINARY);
    EXPECT_EQ(registry.ReadString(RegistryRoot::CurrentUser, kCommanderRegistryKey, "IniFileName"), longPath);
    // Values are used as they stand: nothing is expanded.
    EXPECT_EQ(registry.ReadString(RegistryRoot::CurrentUser, kCommanderRegistryKey, "InstallDir"), "%COMMANDER_PATH%");
    EXPECT_EQ(registry.ReadString(RegistryRoot::CurrentUser, kCommanderRegistryKey, "Missing"), "");
    EXPECT_EQ(registry.ReadString(RegistryRoot::CurrentUser, kCommanderRegistryKey, "Number"), "");
}

TEST(Win32Environment, ReadsVariablesAndTheWindowsFolder)
{
    Win32Environment environment;
    EXPECT_EQ(environment.Variable("PAKVANE_SURELY_UNSET"), std::nullopt);
    const std::string longValue(5000, 'v');
    ScopedVariable variable("PAKVANE_LONG", longValue.c_str());
    EXPECT_EQ(environment.Variable("PAKVANE_LONG"), longValue);

    char expected[MAX_PATH] = {};
    GetWindowsDirectoryA(expected, MAX_PATH);
    EXPECT_EQ(environment.WindowsFolder(), expected);
}

TEST(Win32Locate, CommanderFolderFromTheRealEnvironmentAndRegistry)
{
    Win32Registry registry;
    Win32Environment environment;
    CommanderKey machine(HKEY_LOCAL_MACHINE);
    machine.Set("InstallDir", " c:\\machine\\tc ");
    CommanderKey user(HKEY_CURRENT_USER);
    user.Set("InstallDir", "c:\\user\\tc");

    {
        const std::string limit = "c:\\" + std::string(256, 'e');  // 259 characters
        ScopedVariable variable("COMMANDER_PATH", limit.c_str());
        EXPECT_EQ(LocateCommanderFolder({}, "", registry, environment), limit + "\\");
        const std::string tooLong = limit + "f";
        ScopedVariable longer("COMMANDER_PATH", tooLong.c_str());
        EXPECT_EQ(LocateCommanderFolder({}, "", registry, environment), "c:\\machine\\tc\\");
    }
    EXPECT_EQ(LocateCommanderFolder({"x.ini", "d:\\given"}, "", registry, environment), "d:\\given\\");
}

TEST(Win32Locate, ConfigurationFileFromTheRegistryThenTheWindowsFolder)
{
    Win32Registry registry;
    Win32Environment environment;
    CommanderKey user(HKEY_CURRENT_USER);
    user.Set("IniFileName", "c:\\from\\user.ini");
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kCommanderRegistryKey);

    std::vector<std::string> tried;
    auto load = [&](const std::string& path) {
        tried.push_back(path);
        return false;
    };
    const LocateResult result = LocateConfigurationFile({}, "", registry, environment, load);
    EXPECT_EQ(result.outcome, LocateResult::Outcome::NoneFound);
    EXPECT_EQ(tried, (std::vector<std::string>{"c:\\from\\user.ini", environment.WindowsFolder() + "\\WinCmd.ini"}));
}

}  // namespace
}  // namespace pakvane

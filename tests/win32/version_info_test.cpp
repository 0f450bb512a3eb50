// The version summary read from real libraries' version resources.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "plugins/version_summary.h"
#include "platform/win32/version_info.h"
#include "win32/test_plugins.h"

namespace pakvane {
namespace {

// Asked of the system directly: names differ between Windows and Wine.
std::string SystemLanguageName(WORD language)
{
    char name[256] = {};
    return VerLanguageNameA(language, name, sizeof name) ? name : "";
}

// One string value as VerQueryValueA gives it, read independently of the code under test.
std::string QueryString(const std::string& file, const std::string& subBlock)
{
    std::vector<char> data(GetFileVersionInfoSizeA(file.c_str(), nullptr));
    void* value = nullptr;
    UINT length = 0;
    if (data.empty() || !GetFileVersionInfoA(file.c_str(), 0, static_cast<DWORD>(data.size()), data.data()) ||
        !VerQueryValueA(data.data(), subBlock.c_str(), &value, &length) || !value)
        return "";
    return static_cast<const char*>(value);
}

std::string Header(WORD language, WORD codePage)
{
    return "\r\nLanguage/Code Page:\t" + std::to_string(language) + "/" + std::to_string(codePage) + " (" +
           SystemLanguageName(language) + ")\r\n-------------------\r\n";
}

class VersionSummaryTest : public ::testing::Test {
protected:
    std::string folder = testing::TestPluginFolder();
    Win32VersionInfoSource source;
};

TEST_F(VersionSummaryTest, ShowsTheFixedVersionsAndOneBlockPerListedTranslation)
{
    const std::string two = folder + "version_two.dll";
    const std::string cyrillic = QueryString(two, "\\StringFileInfo\\041904E3\\CompanyName");
    if (GetACP() == 1251) {
        EXPECT_EQ(cyrillic, "\xCE\xCE\xCE \xAB\xD2\xE5\xF1\xF2\xBB");
    }
    if (const char* expectedAcp = std::getenv("PAKVANE_EXPECT_ACP"); expectedAcp && *expectedAcp) {
        EXPECT_EQ(GetACP(), std::strtoul(expectedAcp, nullptr, 10));
    }

    const struct {
        const char* file;
        std::string summary;
    } cases[] = {
        // Two translations; the empty Comments value is left out, the parts 0 and 65535 kept.
        {"version_two.dll", "\r\nFileVersion:\t1.0.65535.0\r\nProductVersion:\t2.3.4.5\r\n" + Header(1033, 1252) +
                                "FileVersion:\t1.0.65535.0\r\nCompanyName:\tPakvane Tests\r\n"
                                "FileDescription:\tTwo translations\r\nProductName:\tVersion sample\r\n"
                                "SpecialBuild:\ttabs\there\r\n" +
                                Header(1049, 1251) + "ProductVersion:\t2.3\r\nCompanyName:\t" + cyrillic + "\r\n"},
        // Strings under a key the table does not list are not shown; the block stays.
        {"version_unlisted.dll", "\r\nFileVersion:\t3.0.0.1\r\nProductVersion:\t3.0.0.1\r\n" + Header(1033, 1200)},
        // A 6-byte table is one entry.
        {"version_odd_table.dll",
         "\r\nFileVersion:\t4.0.0.6\r\nProductVersion:\t4.0.0.6\r\n" + Header(1049, 1251) + "CompanyName:\tOdd\r\n"},
        {"nocaps.wcx", ""},
        {"missing.dll", ""},
        {"notdll.wcx", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(VersionSummary(source, folder + c.file), c.summary) << c.file;
}

// The same resource in a library of the other bitness (a 64-bit plugin under the 32-bit
// program, and back) reads alike: only the file is read, nothing is loaded.
TEST_F(VersionSummaryTest, ALibraryOfTheOtherBitnessReadsAlike)
{
    const std::string summary = VersionSummary(source, folder + "version_otherbits.dll");
    EXPECT_NE(summary.find("FileDescription:\tTwo translations\r\n"), std::string::npos) << summary;
    EXPECT_EQ(summary, VersionSummary(source, folder + "version_two.dll"));
}

TEST_F(VersionSummaryTest, SystemLibraryMatchesWhatTheSystemReports)
{
    const std::string dll = "C:\\windows\\system32\\version.dll";
    const std::string summary = VersionSummary(source, dll);

    std::vector<char> data(GetFileVersionInfoSizeA(dll.c_str(), nullptr));
    ASSERT_FALSE(data.empty());
    ASSERT_TRUE(GetFileVersionInfoA(dll.c_str(), 0, static_cast<DWORD>(data.size()), data.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    char versionLine[128];
    std::snprintf(versionLine, sizeof versionLine, "\r\nFileVersion:\t%lu.%lu.%lu.%lu\r\n",
                  fixed->dwFileVersionMS >> 16, fixed->dwFileVersionMS & 0xFFFF, fixed->dwFileVersionLS >> 16,
                  fixed->dwFileVersionLS & 0xFFFF);
    EXPECT_EQ(summary.rfind(versionLine, 0), 0u) << summary;

    WORD* table = nullptr;
    ASSERT_TRUE(VerQueryValueA(data.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&table), &length));
    ASSERT_GE(length, 4u);
    EXPECT_NE(summary.find(Header(table[0], table[1])), std::string::npos) << summary;
    const std::string key = "\\StringFileInfo\\" + FormatHex8((DWORD{table[0]} << 16) | table[1]) + "\\";
    for (const char* field : {"FileVersion", "CompanyName", "FileDescription", "ProductName"}) {
        const std::string value = QueryString(dll, key + field);
        if (value.empty()) continue;
        EXPECT_NE(summary.find(std::string("\r\n") + field + ":\t" + value + "\r\n"), std::string::npos)
            << field << " in " << summary;
    }
}

}  // namespace
}  // namespace pakvane

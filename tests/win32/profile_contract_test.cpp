// Our profile engine against the real profile functions: the same files, the same answers.
#include <gtest/gtest.h>

#include "win32/test_files.h"
#include <windows.h>

#include <string>
#include <vector>

#include "config/profile_file.h"
#include "platform/win32/code_page.h"
#include "platform/win32/file_system.h"

namespace pakvane {
namespace {

using namespace std::string_literals;

std::string ScratchFolder()
{
    static const std::string folder = testing::MakeScratchFolder("pvini");
    return folder;
}

// A new name for every file: the profile functions cache what they read.
std::string NewFile(const std::string& bytes)
{
    static int counter = 0;
    const std::string path = ScratchFolder() + "case" + std::to_string(++counter) + ".ini";
    testing::WriteBytes(path, bytes);
    return path;
}

const char kAbsent[] = "\x01<absent>";

std::optional<std::string> ApiString(const std::string& path, const std::string& section, const std::string& key)
{
    std::string buffer(1 << 20, '\0');
    const DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), kAbsent, buffer.data(),
                                                  static_cast<DWORD>(buffer.size()), path.c_str());
    buffer.resize(length);
    if (buffer == kAbsent) return std::nullopt;
    return buffer;
}

std::string Fold(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// The key listing, each key once, with its value read by name: what a caller of the real
// functions gets. Empty names are left out (see ReadSection).
std::vector<ProfileEntry> ApiSection(const std::string& path, const std::string& section)
{
    std::string buffer(1 << 22, '\0');
    const DWORD length = GetPrivateProfileStringA(section.c_str(), nullptr, "", buffer.data(),
                                                  static_cast<DWORD>(buffer.size()), path.c_str());
    std::vector<ProfileEntry> entries;
    std::vector<std::string> seen;
    for (std::size_t pos = 0; pos < length;) {
        const std::string key(buffer.c_str() + pos);
        pos += key.size() + 1;
        if (key.empty()) continue;
        bool dup = false;
        for (const std::string& s : seen) dup = dup || s == Fold(key);
        if (dup) continue;
        seen.push_back(Fold(key));
        entries.push_back({key, ApiString(path, section, key).value_or("")});
    }
    return entries;
}

const std::vector<std::string> kFiles = {
    "[s]\r\nk=v\r\nZip = 511,c:\\a b\\z.wcx \r\n",
    "[PackerPlugins]\r\nzip=1,a\r\nZIP=2,b\r\nrar=\r\n",
    "[s]\n \t k \t=\t v w \t\n\x1Aj\x0B=\x0Cv\x1A\n\x01k2=\x01v\x01\nn=\xA0v\xA0\n",
    "[s]\nq1= \"a b\" \nq2='a'\nq3=\"a'\nq4=\"\nq5=\"\"\nq6=\n",
    "[s]\nk=1\nK=2\nfoo\nfoo=1\n#h=2\n;c=3\n=4\n  k3  =  \"q\"  \n",
    "[s]\na=1\n[S]\nb=2\n[ s ]\nc=3\n",
    "[s] junk\nk=v\n[t]x]\nk=w\n[u]\n[x\nk=v\n",
    "[s]\ra=1\rb=2\r[t]\na=1\rb=2\nc=3",
    "k=v\n[s]\r\nk\0x=v\0w\nk2=\"a\0b\"\n"s,
    "[s]\n\xC4k=1\nd=\xE4\n",
    "\xEF\xBB\xBF[s]\nk=\xE2\x82\xAC\xE2\x88\x9E\xC3\xA9\xFF\nj=\xE6\x97\xA5\n",
    "\xFF\xFE[\0s\0]\0\r\0\n\0k\0=\0\xAC\x20\x1E\x22\xE5\x65\xE9\0\r\0\n\0\xE5\x65=\0"
    "1\0"s,
    "\xFF\xFE[\0s\0]\0\n\0k\0=\0v\0!"s,
};

TEST(ProfileContract, ReadsMatchTheProfileFunctions)
{
    Win32FileSystem files;
    Win32CodePage codePage;
    for (std::size_t i = 0; i < kFiles.size(); ++i) {
        const std::string path = NewFile(kFiles[i]);
        const ProfileFile ours(files, codePage, path);
        for (const std::string section : {"s", "S", " s ", "t", "t]x", "packerplugins", "missing"}) {
            SCOPED_TRACE("file " + std::to_string(i) + " section [" + section + "]");
            const auto entries = ours.ReadSection(section);
            // Two deliberate differences: the key listing does not trim the section name it
            // is given (a lookup by key does), and a key whose characters the code page lost
            // cannot be looked up by its rendering, so a caller of the real functions gets an
            // empty value for it where we give the line's value.
            if (section != " s ") {
                const auto api = ApiSection(path, section);
                ASSERT_EQ(entries.size(), api.size());
                for (std::size_t e = 0; e < api.size(); ++e) {
                    EXPECT_EQ(entries[e].key, api[e].key);
                    if (ApiString(path, section, api[e].key)) {
                        EXPECT_EQ(entries[e].value, api[e].value);
                    }
                }
            }
            std::vector<std::string> keys = {"k",      "K ",    " k", "missing", "foo", ";c",
                                             "\x01k2", "\xE4k", "a",  "b",       "c",   "?"};
            for (const ProfileEntry& entry : entries) keys.push_back(entry.key);
            for (const std::string& key : keys)
                EXPECT_EQ(ours.ReadString(section, key), ApiString(path, section, key)) << "key " << key;
        }
    }
}

TEST(ProfileContract, WhatWeWriteTheProfileFunctionsRead)
{
    Win32FileSystem files;
    Win32CodePage codePage;
    const std::vector<std::string> starts = {"", "[A]\nx=1\n[PackerPlugins]\nold=1\n[B]\ny=2",
                                             "\xEF\xBB\xBF[PackerPlugins]\r\nzip=1,\xC3\xA9\r\n",
                                             "\xFF\xFE[\0P\0a\0c\0k\0e\0r\0P\0l\0u\0g\0i\0n\0s\0]\0\r\0\n\0z\0i\0p\0=\0"
                                             "1\0,\0\xE5\x65\r\0\n\0"s};
    for (const std::string& start : starts) {
        const std::string path = NewFile(start);
        ProfileFile ours(files, codePage, path);
        auto entries = ours.ReadSection("PackerPlugins");
        entries.push_back({"rar", "0,c:\\w\xE9\\rar.wcx"});
        entries.push_back({"7z", "511,%commander_path%\\7z.wcx"});
        ASSERT_EQ(ours.ReplaceSection("PackerPlugins", entries), WriteStatus::Ok);
        ASSERT_EQ(ours.WriteString("Setup", "ComPath", "c:\\totalcmd\\"), WriteStatus::Ok);
        const std::string copy = NewFile(*files.ReadFile(path));
        EXPECT_EQ(ApiSection(copy, "PackerPlugins"), entries);
        EXPECT_EQ(ApiString(copy, "setup", "compath"), "c:\\totalcmd\\");
        EXPECT_EQ(ApiString(copy, "B", "y"), start.empty() || start[0] != '[' ? std::nullopt : std::optional("2"s));
    }
}

TEST(ProfileContract, CodePageReportsLoss)
{
    Win32CodePage codePage;
    if (GetACP() != 1252) GTEST_SKIP() << "expects the Windows-1252 code page";
    EXPECT_EQ(codePage.WideToAnsi(u"\u20AC\u00E9").text, "\x80\xE9");
    EXPECT_TRUE(codePage.WideToAnsi(u"\u20AC\u00E9").exact);
    const AnsiText bestFit = codePage.WideToAnsi(u"\u221E\u65E5");
    EXPECT_EQ(bestFit.text, "8?");
    EXPECT_FALSE(bestFit.exact);
    EXPECT_EQ(codePage.Utf8ToWide("\xE6\x97\xA5\xFF"), u"\u65E5\uFFFD");
    EXPECT_EQ(codePage.WideToUtf8(u"\u65E5"), "\xE6\x97\xA5");
}

}  // namespace
}  // namespace pakvane

// The real file layer on real files in a private temporary folder.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>

#include "platform/win32/file_system.h"
#include "platform/win32/wide_text.h"
#include "win32/test_files.h"

namespace pakvane {
namespace {

void Put(const std::string& path, const std::string& bytes)
{
    ASSERT_TRUE(testing::WriteBytes(path, bytes)) << path;
}

class Win32FileSystemTest : public ::testing::Test {
protected:
    void SetUp() override { folder = testing::MakeScratchFolder("pvfs"); }
    std::string Path(const char* name) const { return folder + name; }
    // Only our own file and nothing left behind beside it.
    int FilesInFolder() const
    {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
        int count = 0;
        if (search == INVALID_HANDLE_VALUE) return 0;
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++count;
        } while (FindNextFileA(search, &found));
        FindClose(search);
        return count;
    }

    Win32FileSystem files;
    std::string folder;
};

TEST_F(Win32FileSystemTest, ReadsWholeFilesAndTellsFilesFromFolders)
{
    const std::string bytes("a\0b\r\n\xFF", 6);
    Put(Path("a.ini"), bytes);
    EXPECT_EQ(files.ReadFile(Path("a.ini")), bytes);
    EXPECT_TRUE(files.FileExists(Path("a.ini")));
    EXPECT_FALSE(files.FileExists(folder));
    EXPECT_FALSE(files.FileExists(Path("none.ini")));
    EXPECT_EQ(files.ReadFile(Path("none.ini")), std::nullopt);
    EXPECT_EQ(files.ReadFile(folder.substr(0, folder.size() - 1)), std::nullopt);
}

TEST_F(Win32FileSystemTest, ReplaceKeepsAttributesAndLeavesNoTemporaryFile)
{
    const std::string path = Path("wincmd.ini");
    Put(path, "old");
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
    ASSERT_EQ(files.ReplaceContent(path, "new"), WriteStatus::Ok);
    EXPECT_EQ(files.ReadFile(path), "new");
    EXPECT_EQ(GetFileAttributesA(path.c_str()) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE),
              static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
    ASSERT_EQ(files.ReplaceContent(Path("fresh.ini"), "x"), WriteStatus::Ok);
    EXPECT_EQ(files.ReadFile(Path("fresh.ini")), "x");
    EXPECT_EQ(FilesInFolder(), 2);
}

TEST_F(Win32FileSystemTest, UnwritableTargetsFailAndStayAsTheyWere)
{
    const std::string readOnly = Path("ro.ini");
    Put(readOnly, "keep");
    ASSERT_TRUE(SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(files.ReplaceContent(readOnly, "new"), WriteStatus::Failed);
    EXPECT_EQ(files.ReadFile(readOnly), "keep");
    EXPECT_TRUE(GetFileAttributesA(readOnly.c_str()) & FILE_ATTRIBUTE_READONLY);
    SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);

    const std::string sub = Path("sub");
    CreateDirectoryA(sub.c_str(), nullptr);
    EXPECT_EQ(files.ReplaceContent(sub, "new"), WriteStatus::Failed);
    EXPECT_EQ(GetFileAttributesA(sub.c_str()) & FILE_ATTRIBUTE_DIRECTORY, static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_EQ(files.ReplaceContent(Path("missing\\x.ini"), "new"), WriteStatus::Failed);

    const std::string locked = Path("locked.ini");
    Put(locked, "held");
    HANDLE holder = CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    EXPECT_EQ(files.ReplaceContent(locked, "new"), WriteStatus::Failed);
    CloseHandle(holder);
    EXPECT_EQ(files.ReadFile(locked), "held");
    EXPECT_EQ(FilesInFolder(), 2);
}

// The program kept in a folder whose name the ANSI code page cannot spell must still find
// and write its own settings file: the path it works with is the folder's short form.
TEST_F(Win32FileSystemTest, AFolderTheCodePageCannotSpellIsReachedByItsShortName)
{
    // Cyrillic and CJK letters: no single-byte code page has both.
    const std::wstring wideFolder = std::wstring(folder.begin(), folder.end()) + L"\u041F\u0430\u043A\u65E5\u672C";
    if (!CreateDirectoryW(wideFolder.c_str(), nullptr)) GTEST_SKIP() << "the system cannot make such a name here";
    const std::string ansiFolder = AnsiPath(wideFolder);
    ASSERT_FALSE(ansiFolder.empty()) << "no short name";
    EXPECT_EQ(ansiFolder.find('?'), std::string::npos) << ansiFolder;

    const std::string settings = ansiFolder + "\\pakvane.ini";
    ASSERT_EQ(files.ReplaceContent(settings, "[Tools]\r\nSort=0\r\n"), WriteStatus::Ok);
    ASSERT_EQ(files.ReplaceContent(settings, "[Tools]\r\nSort=1\r\n"), WriteStatus::Ok);
    EXPECT_EQ(files.ReadFile(settings), "[Tools]\r\nSort=1\r\n");
    // The same file under its long name.
    HANDLE file = CreateFileW((wideFolder + L"\\pakvane.ini").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    EXPECT_EQ(AnsiPath(L"C:\\plain\\name.ini"), "C:\\plain\\name.ini");
}

// Leftovers of an interrupted save are removed at the next start: only our own pattern, and
// only files older than the running program (another instance may be saving right now).
TEST_F(Win32FileSystemTest, LeftoverTemporaryFilesOlderThanTheProgramAreRemoved)
{
    const auto putOld = [&](const char* name) {
        Put(Path(name), "x");
        HANDLE file = CreateFileA(Path(name).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        FILETIME old{};
        old.dwHighDateTime = 0x01C00000;  // 1999
        SetFileTime(file, nullptr, nullptr, &old);
        CloseHandle(file);
    };
    putOld("~pv1a2b0001.tmp");
    putOld("~PV77.TMP");
    putOld("~pv1a2b.txt");
    putOld("other.tmp");
    putOld("wincmd.ini");
    Put(Path("~pv1a2b0002.tmp"), "being written now");

    EXPECT_EQ(RemoveLeftoverTemporaryFiles(Path("wincmd.ini")), 2u);
    EXPECT_FALSE(files.FileExists(Path("~pv1a2b0001.tmp")));
    EXPECT_FALSE(files.FileExists(Path("~PV77.TMP")));
    for (const char* kept : {"~pv1a2b.txt", "other.tmp", "wincmd.ini", "~pv1a2b0002.tmp"})
        EXPECT_TRUE(files.FileExists(Path(kept))) << kept;
}

// Where no temporary file can be made beside it (a folder that refuses new files), the file
// must not be written in place: a failure then would leave half a file. Made under Wine by
// marking the Unix folder immutable, which holds even for root.
TEST_F(Win32FileSystemTest, AFolderThatRefusesNewFilesFailsTheWriteAndKeepsTheFile)
{
    const std::string path = Path("wincmd.ini");
    Put(path, "keep");
    int probes = 0;
    const auto takesNewFiles = [&] {
        const std::string probe = Path("probe") + std::to_string(++probes);
        HANDLE file = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) return false;
        CloseHandle(file);
        DeleteFileA(probe.c_str());
        return true;
    };
    const auto unixFolder = testing::UnixPath(folder);
    if (!unixFolder || !testing::StartUnix("/usr/bin/chattr +i " + *unixFolder)) GTEST_SKIP() << "needs Wine";
    struct Unlock {
        std::string folder;
        std::function<bool()> takesNewFiles;
        ~Unlock()
        {
            testing::StartUnix("/usr/bin/chattr -i " + folder);
            testing::WaitUntil(takesNewFiles);
        }
    } unlock{*unixFolder, takesNewFiles};
    if (!testing::WaitUntil([&] { return !takesNewFiles(); })) GTEST_SKIP() << "the folder still takes new files";

    EXPECT_EQ(files.ReplaceContent(path, "new content"), WriteStatus::Failed);
    EXPECT_EQ(files.ReadFile(path), "keep");
    WIN32_FIND_DATAA found;
    const HANDLE leftovers = FindFirstFileA(Path("~pv*.tmp").c_str(), &found);
    EXPECT_EQ(leftovers, INVALID_HANDLE_VALUE);
    if (leftovers != INVALID_HANDLE_VALUE) FindClose(leftovers);
}

// A configuration file kept elsewhere and linked into place: the link's target gets the new
// bytes and the link stays a link.
TEST_F(Win32FileSystemTest, ASymbolicLinkIsWrittenThroughAndStaysALink)
{
    CreateDirectoryA(Path("real").c_str(), nullptr);
    const std::string target = Path("real\\wincmd.ini");
    const std::string link = Path("wincmd.ini");
    Put(target, "old");
    const auto linked = [&] { return files.ReadFile(link) == "old"; };
    const auto unixFolder = testing::UnixPath(folder);
    if (unixFolder)
        testing::StartUnix("/bin/ln -s real/wincmd.ini " + *unixFolder + "wincmd.ini");
    else
        CreateSymbolicLinkA(link.c_str(), "real\\wincmd.ini", 2 /* unprivileged */);
    if (!testing::WaitUntil(linked)) GTEST_SKIP() << "cannot make a symbolic link here";

    ASSERT_EQ(files.ReplaceContent(link, "new"), WriteStatus::Ok);
    EXPECT_EQ(files.ReadFile(target), "new");
    // Still a link: a change to the target shows through it.
    Put(target, "changed");
    EXPECT_EQ(files.ReadFile(link), "changed");
    EXPECT_EQ(FilesInFolder(), 1) << "the link, and no temporary file beside it";
}

}  // namespace
}  // namespace pakvane

// The real file layer on real files in a private temporary folder.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/win32/file_system.h"
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

}  // namespace
}  // namespace pakvane

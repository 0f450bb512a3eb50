// The file layer: missing, unreadable and unwritable files, and writes that change nothing.
#include <gtest/gtest.h>

#include "config/profile_file.h"
#include "fakes/fake_code_page.h"
#include "fakes/memory_file_system.h"

namespace pakvane {
namespace {

class ProfileFileTest : public ::testing::Test {
protected:
    testing::MemoryFileSystem files;
    testing::FakeCodePage codePage;
    ProfileFile file{files, codePage, "c:\\tc\\wincmd.ini"};
};

TEST_F(ProfileFileTest, MissingFileReadsAsEmptyAndIsCreatedByAWrite)
{
    EXPECT_FALSE(file.Exists());
    EXPECT_EQ(file.ReadString("s", "k"), std::nullopt);
    EXPECT_TRUE(file.ReadSection("s").empty());
    EXPECT_EQ(file.ReplaceSection("s", {}), WriteStatus::Ok);
    EXPECT_EQ(files.writes, 0);
    ASSERT_EQ(file.WriteString("s", "k", "v"), WriteStatus::Ok);
    EXPECT_EQ(files.files.at(file.Path()), "[s]\r\nk=v\r\n");
    EXPECT_EQ(file.ReadString("S", "K"), "v");
}

TEST_F(ProfileFileTest, EveryCallSeesTheDiskAsItIsNow)
{
    files.files[file.Path()] = "[s]\nk=1\n";
    EXPECT_EQ(file.ReadString("s", "k"), "1");
    files.files[file.Path()] = "[s]\nk=2\n";
    EXPECT_EQ(file.ReadString("s", "k"), "2");
    ASSERT_EQ(file.WriteString("s", "j", "3"), WriteStatus::Ok);
    EXPECT_EQ(files.files.at(file.Path()), "[s]\nk=2\nj=3\n");
}

TEST_F(ProfileFileTest, FailuresLeaveTheFileAsItWas)
{
    const std::string before = "[s]\nk=1\n";
    files.files[file.Path()] = before;
    files.unwritable.insert(file.Path());
    EXPECT_EQ(file.WriteString("s", "k", "2"), WriteStatus::Failed);
    EXPECT_EQ(file.ReplaceSection("s", {{"k", "2"}}), WriteStatus::Failed);
    files.unwritable.clear();
    // An existing file that cannot be read must not be replaced by a fresh one.
    files.unreadable.insert(file.Path());
    EXPECT_EQ(file.WriteString("s", "k", "2"), WriteStatus::Failed);
    files.unreadable.clear();
    EXPECT_EQ(file.WriteString("s", "k", "a\nb"), WriteStatus::Unrepresentable);
    EXPECT_EQ(files.files.at(file.Path()), before);
    EXPECT_EQ(files.writes, 0);
}

TEST_F(ProfileFileTest, UnchangedContentIsNotRewritten)
{
    files.files[file.Path()] = "[s]\r\nk=1\r\n";
    files.unwritable.insert(file.Path());
    EXPECT_EQ(file.WriteString("s", "k", "1"), WriteStatus::Ok);
    EXPECT_EQ(file.ReplaceSection("s", {{"k", "1"}}), WriteStatus::Ok);
    EXPECT_EQ(file.ReplaceSection("t", {}), WriteStatus::Ok);
    EXPECT_EQ(files.writes, 0);
}

}  // namespace
}  // namespace pakvane

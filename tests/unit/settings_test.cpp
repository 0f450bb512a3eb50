#include "settings/settings.h"
#include "fakes/fake_code_page.h"
#include "fakes/memory_file_system.h"

#include <gtest/gtest.h>

namespace pakvane {
namespace {

TEST(SettingsPath, ReplacesOrAppendsTheExtension)
{
    EXPECT_EQ(SettingsPathFor("C:\\Tools\\pakvane.exe"), "C:\\Tools\\pakvane.ini");
    EXPECT_EQ(SettingsPathFor("C:\\Tools\\pakvane"), "C:\\Tools\\pakvane.ini");
    EXPECT_EQ(SettingsPathFor("C:\\my.tools\\pakvane"), "C:\\my.tools\\pakvane.ini");
    EXPECT_EQ(SettingsPathFor("C:\\Tools\\pak.vane.exe"), "C:\\Tools\\pak.vane.ini");
}

TEST(SettingsInteger, WholeNumbersAndHexOnly)
{
    struct Case {
        const char* text;
        std::optional<int> value;
    };
    const Case cases[] = {
        {"0", 0},
        {"-12", -12},
        {"+7", 7},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"0x1F", 31},
        {"0XfF", 255},
        {"0xFFFFFFFF", -1},
        {"", std::nullopt},
        {"0x", std::nullopt},
        {"12a", std::nullopt},
        {"yes", std::nullopt},
        {"2147483648", std::nullopt},
        {"0x100000000", std::nullopt},
        {"-", std::nullopt},
        {"1.5", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseSettingsInteger(c.text), c.value) << c.text;
}

class SettingsTest : public ::testing::Test {
protected:
    testing::MemoryFileSystem files;
    testing::FakeCodePage codePage;
    Settings settings{ProfileFile(files, codePage, "c:\\p\\pakvane.ini")};
};

TEST_F(SettingsTest, MissingFileGivesDefaults)
{
    const StartupSettings startup = ReadStartupSettings(settings);
    EXPECT_EQ(startup.language, "");
    EXPECT_TRUE(startup.sortByExtension);
    EXPECT_EQ(startup.commanderFolder, "");
    EXPECT_EQ(startup.configurationFile, "");
    const WindowPlacementSettings placement = ReadWindowPlacement(settings, {10, 20, 446, 293, 81, false});
    EXPECT_EQ(placement.left, 10);
    EXPECT_EQ(placement.memoHeight, 81);
    EXPECT_FALSE(placement.maximized);
}

TEST_F(SettingsTest, MalformedValuesFallBackToDefaults)
{
    files.files["c:\\p\\pakvane.ini"] =
        "[Tools]\r\nSort=word\r\nLng=english.lng\r\n[Main]\r\nLeft=12px\r\nTop=-30\r\nMaximized=2\r\n";
    const Settings settings{ProfileFile(files, codePage, "c:\\p\\pakvane.ini")};
    EXPECT_TRUE(ReadStartupSettings(settings).sortByExtension);
    EXPECT_EQ(ReadStartupSettings(settings).language, "english.lng");
    const WindowPlacementSettings placement = ReadWindowPlacement(settings, {10, 20, 446, 293, 81, false});
    EXPECT_EQ(placement.left, 10);
    EXPECT_EQ(placement.top, -30);
    EXPECT_TRUE(placement.maximized);
}

TEST_F(SettingsTest, ClosingValuesRoundTripInOneWrite)
{
    ClosingSettings closing;
    closing.placement = {-5, 40, 600, 400, 120, true};
    closing.language = "deutsch.lng";
    closing.sortByExtension = false;
    closing.commanderFolder = "c:\\totalcmd\\";
    closing.configurationFile = "c:\\totalcmd\\wincmd.ini";
    ASSERT_TRUE(WriteClosingSettings(settings, closing));
    EXPECT_EQ(files.attempts, 1);

    const Settings reopened{ProfileFile(files, codePage, "c:\\p\\pakvane.ini")};
    const StartupSettings startup = ReadStartupSettings(reopened);
    EXPECT_EQ(startup.language, "deutsch.lng");
    EXPECT_FALSE(startup.sortByExtension);
    EXPECT_EQ(startup.commanderFolder, "c:\\totalcmd\\");
    EXPECT_EQ(startup.configurationFile, "c:\\totalcmd\\wincmd.ini");
    const WindowPlacementSettings placement = ReadWindowPlacement(reopened, {});
    EXPECT_EQ(placement.left, -5);
    EXPECT_EQ(placement.width, 600);
    EXPECT_EQ(placement.memoHeight, 120);
    EXPECT_TRUE(placement.maximized);
}

// Start-up reads the file once; closing writes it once, on top of what the association save
// put into its PackerPlugins section meanwhile, and a failure leaves the old file whole.
TEST_F(SettingsTest, ReadOnceWrittenOnceAndAFailedWriteKeepsTheOldFile)
{
    const std::string path = "c:\\other\\pakvane.ini";
    files.files[path] = "[Tools]\r\nLng=english.lng\r\n[Main]\r\nLeft=12\r\n";
    Settings opened{ProfileFile(files, codePage, path)};
    EXPECT_EQ(ReadStartupSettings(opened).language, "english.lng");
    EXPECT_EQ(ReadWindowPlacement(opened, {}).left, 12);
    EXPECT_EQ(files.reads[path], 1);

    files.files[path] += "[PackerPlugins]\r\n3=zip=1,z.wcx\r\n";
    const std::string before = files.files[path];
    files.unwritable.insert(path);
    ClosingSettings closing;
    closing.placement = {1, 2, 500, 300, 90, false};
    EXPECT_FALSE(WriteClosingSettings(opened, closing));
    EXPECT_EQ(files.attempts, 1) << "one write of the whole file, not one per value";
    EXPECT_EQ(files.files[path], before);

    files.unwritable.clear();
    ASSERT_TRUE(opened.Save());
    const std::string& written = files.files[path];
    EXPECT_NE(written.find("[PackerPlugins]\r\n3=zip=1,z.wcx\r\n"), std::string::npos) << written;
    EXPECT_NE(written.find("Left=1\r\n"), std::string::npos) << written;
    EXPECT_NE(written.find("IniFile=\r\n"), std::string::npos) << written;
}

TEST_F(SettingsTest, PropertiesDialogPositionDefaultsToCentredAndRoundTrips)
{
    const DialogPosition centred{300, 200};
    EXPECT_EQ(ReadPropertiesPosition(settings, centred).left, 300);
    ASSERT_TRUE(WritePropertiesPosition(settings, {-20, 45}));
    const DialogPosition read = ReadPropertiesPosition(settings, centred);
    EXPECT_EQ(read.left, -20);
    EXPECT_EQ(read.top, 45);
    EXPECT_NE(files.files["c:\\p\\pakvane.ini"].find("[Prop]\r\nLeft=-20\r\nTop=45"), std::string::npos);
}

}  // namespace
}  // namespace pakvane

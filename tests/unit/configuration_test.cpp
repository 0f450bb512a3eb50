#include "config/configuration.h"
#include "config/association.h"
#include "fakes/fake_code_page.h"
#include "fakes/fake_system.h"
#include "fakes/fake_text_rules.h"
#include "fakes/memory_file_system.h"
#include "unit/encoded_text.h"

#include <gtest/gtest.h>

namespace pakvane {
namespace {

using Outcome = LoadResult::Outcome;

class ConfigurationTest : public ::testing::Test {
protected:
    testing::MemoryFileSystem files;
    testing::FakeCodePage codePage;
    FakeTextRules rules;
    testing::FakeEnvironment environment;
    ConfigurationIo io{files, codePage, rules, environment};
    AssociationList list;
    const std::string ini = "c:\\tc\\wincmd.ini";
    const std::string settings = "c:\\pakvane\\pakvane.ini";

    LoadResult Load(const std::string& commanderFolder = "c:\\tc\\")
    {
        return LoadAssociations(io, ini, settings, commanderFolder, list);
    }
    SaveResult Save(const std::string& commanderFolder = "c:\\tc\\", SaveOptions options = {})
    {
        return SaveAssociations(io, ini, settings, commanderFolder, list, options);
    }
    std::vector<std::string> Texts() const
    {
        std::vector<std::string> out;
        for (const auto& row : list.Rows()) out.push_back(row.text + (row.checked ? " [x]" : " [ ]"));
        return out;
    }
};

TEST_F(ConfigurationTest, LoadsSwitchedOffRowsThenTheSectionFirstOccurrenceWins)
{
    files.files[ini] =
        "[Configuration]\r\nx=1\r\n[packerplugins]\r\nzip=511,c:\\wcx\\zip.wcx\r\nZIP=0,c:\\other\\zip.wcx\r\n"
        "rar=\r\n arj = 5 , c:\\wcx\\arj.wcx \r\nlst=nonsense\r\n";
    files.files[settings] = "[PackerPlugins]\r\n2=cab=31,c:\\wcx\\cab.wcx\r\n5=arj=0,\r\n7==0,c:\\x.wcx\r\n";

    EXPECT_EQ(Load().outcome, Outcome::Loaded);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"cab=31,c:\\wcx\\cab.wcx [ ]", "zip=511,c:\\wcx\\zip.wcx [x]",
                                                 "arj=5 , c:\\wcx\\arj.wcx [x]", "lst=nonsense [x]"}));
}

TEST_F(ConfigurationTest, MissingFileChangesNothingUnreadableFileEmptiesTheList)
{
    list.Append("zip=1,a.wcx", true);
    EXPECT_EQ(Load().outcome, Outcome::Missing);
    EXPECT_EQ(list.Count(), 1u);

    files.files[ini] = "[PackerPlugins]\r\nzip=1,a.wcx\r\n";
    files.unreadable.insert(ini);
    EXPECT_EQ(Load().outcome, Outcome::Failed);
    EXPECT_EQ(list.Count(), 0u);
}

TEST_F(ConfigurationTest, SaveSplitsRowsBetweenTheFilesAndKeepsTheRestOfTheFile)
{
    files.files[ini] =
        "; my settings\r\n[Configuration]\r\nlang = rus\r\n\r\n[PackerPlugins]\r\nold=1,old.wcx\r\n"
        "\r\n[PackerPlugins64]\r\nzip=1,zip64.wcx\r\n[Colors]\r\nBack=1";
    list.Append(" Zip = 7 , C:\\WCX\\ZIP.WCX ", true);
    list.Append("rar=4,c:\\wcx\\rar.wcx", false);
    list.Append("arj=abc,c:\\wcx\\arj.wcx", true);
    list.Append("CAB = 31 , c:\\wcx\\cab.wcx", false);

    const SaveResult result = Save();
    EXPECT_EQ(result.status, WriteStatus::Ok);
    EXPECT_EQ(files.reads[ini], 1) << "the file read to find the section is the one rewritten";
    EXPECT_EQ(files.files[ini],
              "; my settings\r\n[Configuration]\r\nlang = rus\r\n\r\n[PackerPlugins]\r\n"
              "zip=7,C:\\WCX\\ZIP.WCX\r\narj=0,c:\\wcx\\arj.wcx\r\n"
              "\r\n[PackerPlugins64]\r\nzip=1,zip64.wcx\r\n[Colors]\r\nBack=1");
    const std::string& saved = files.files[settings];
    EXPECT_NE(saved.find("1=rar=4,c:\\wcx\\rar.wcx\r\n3=cab=31,c:\\wcx\\cab.wcx"), std::string::npos) << saved;

    // Loading again brings the same rows back, the switched-off ones unchecked.
    list.Clear();
    EXPECT_EQ(Load().outcome, Outcome::Loaded);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"rar=4,c:\\wcx\\rar.wcx [ ]", "cab=31,c:\\wcx\\cab.wcx [ ]",
                                                 "zip=7,C:\\WCX\\ZIP.WCX [x]", "arj=0,c:\\wcx\\arj.wcx [x]"}));
}

// What the list does not show stays in the section, after the rows the list writes.
TEST_F(ConfigurationTest, LinesTheListDoesNotShowAreKeptAfterItsRows)
{
    struct Case {
        const char* name;
        const char* section;  // the lines after "[PackerPlugins]\r\n"
        const char* saved;
    };
    const Case cases[] = {
        {"comments between rows", "zip=1,z.wcx\r\n;rar=2,r.wcx\r\narj=3,a.wcx\r\n",
         "zip=1,z.wcx\r\narj=3,a.wcx\r\n;rar=2,r.wcx\r\n"},
        {"comment at the top", "; switched off by hand\r\nzip=1,z.wcx\r\n",
         "zip=1,z.wcx\r\n; switched off by hand\r\n"},
        {"comment at the end", "zip=1,z.wcx\r\n;end\r\n", "zip=1,z.wcx\r\n;end\r\n"},
        {"after a blank line", "zip=1,z.wcx\r\n\r\n  ;later\r\nnote without equals\r\n",
         "zip=1,z.wcx\r\n  ;later\r\nnote without equals\r\n"},
        {"duplicates in other case", "zip=1,z.wcx\r\nZIP = 0,other.wcx\r\nrar=2,r.wcx\r\nZip=7,x.wcx\r\n",
         "zip=1,z.wcx\r\nrar=2,r.wcx\r\nZIP = 0,other.wcx\r\nZip=7,x.wcx\r\n"},
        {"only comments", ";zip=1,z.wcx\r\n;rar=2,r.wcx\r\n", ";zip=1,z.wcx\r\n;rar=2,r.wcx\r\n"},
    };
    for (const Case& c : cases) {
        files.files[ini] = std::string("[A]\r\na=1\r\n[PackerPlugins]\r\n") + c.section + "[B]\r\nb=2\r\n";
        files.files.erase(settings);
        ASSERT_EQ(Load().outcome, Outcome::Loaded) << c.name;
        ASSERT_EQ(Save().status, WriteStatus::Ok) << c.name;
        EXPECT_EQ(files.files[ini], std::string("[A]\r\na=1\r\n[PackerPlugins]\r\n") + c.saved + "[B]\r\nb=2\r\n")
            << c.name;
    }

    // Switching every row off leaves the kept lines; a later zip line, no longer hidden by a
    // first one, stays as a comment (the user switched zip off); a second block stays as it is.
    files.files[ini] =
        "[PackerPlugins]\r\nzip=1,z.wcx\r\n;mine\r\n ZIP = 0,old.wcx\r\n[X]\r\n"
        "[packerplugins]\r\n 7z = 1 , 7z.wcx\r\n";
    ASSERT_EQ(Load().outcome, Outcome::Loaded);
    list.SetChecked(0, false);
    ASSERT_EQ(Save().status, WriteStatus::Ok);
    EXPECT_EQ(files.files[ini],
              "[PackerPlugins]\r\n;mine\r\n; ZIP = 0,old.wcx\r\n[X]\r\n[packerplugins]\r\n 7z = 1 , 7z.wcx\r\n");
}

// Another program (Total Commander, a plugin installer) changing either section between the
// load and the save: nothing is written until the user chooses to overwrite.
TEST_F(ConfigurationTest, ChangesMadeMeanwhileStopTheSaveUntilTheUserOverwrites)
{
    struct Case {
        const char* name;
        std::string path;  // the file changed meanwhile
        const char* changed;  // its new content
    };
    const Case cases[] = {
        {"row added", ini, "[PackerPlugins]\r\nzip=1,z.wcx\r\ncab=2,c.wcx\r\n"},
        {"row changed", ini, "[PackerPlugins]\r\nzip=9,z.wcx\r\n"},
        {"section removed", ini, "[Other]\r\nx=1\r\n"},
        {"switched-off row added", settings, "[PackerPlugins]\r\n0=arj=1,a.wcx\r\n5=lha=1,l.wcx\r\n"},
    };
    for (const Case& c : cases) {
        files.files[ini] = "[PackerPlugins]\r\nzip=1,z.wcx\r\n";
        files.files[settings] = "[PackerPlugins]\r\n0=arj=1,a.wcx\r\n";
        ASSERT_EQ(Load().outcome, Outcome::Loaded) << c.name;
        list.SetChecked(1, false);
        files.files[c.path] = c.changed;
        const auto before = files.files;
        const SaveResult refused = Save();
        EXPECT_EQ(refused.conflict, SaveConflict::ChangedMeanwhile) << c.name;
        EXPECT_NE(refused.status, WriteStatus::Ok) << c.name;
        EXPECT_EQ(refused.problemPath, c.path) << c.name;
        EXPECT_EQ(files.files, before) << c.name;

        SaveOptions overwrite;
        overwrite.overwriteChanges = true;
        ASSERT_EQ(Save("c:\\tc\\", overwrite).status, WriteStatus::Ok) << c.name;
        EXPECT_EQ(files.files[settings], "[PackerPlugins]\r\n0=arj=1,a.wcx\r\n1=zip=1,z.wcx\r\n") << c.name;
        // What the save wrote is the new origin: saving again needs no answer.
        list.SetChecked(1, true);
        EXPECT_EQ(Save().conflict, SaveConflict::None) << c.name;
    }

    // A comment added meanwhile is no change to the rows, and it is kept.
    files.files[ini] = "[PackerPlugins]\r\nzip=1,z.wcx\r\n";
    files.files.erase(settings);
    ASSERT_EQ(Load().outcome, Outcome::Loaded);
    files.files[ini] += ";note\r\n";
    list.Append("rar=2,r.wcx", true);
    ASSERT_EQ(Save().status, WriteStatus::Ok);
    EXPECT_EQ(files.files[ini], "[PackerPlugins]\r\nzip=1,z.wcx\r\nrar=2,r.wcx\r\n;note\r\n");
}

TEST_F(ConfigurationTest, ADeletedConfigurationFileIsCreatedOnlyWhenTheUserSaysSo)
{
    files.files[ini] = "[Other]\r\nx=1\r\n[PackerPlugins]\r\nzip=1,z.wcx\r\n";
    ASSERT_EQ(Load().outcome, Outcome::Loaded);
    files.files.erase(ini);
    const SaveResult refused = Save();
    EXPECT_EQ(refused.conflict, SaveConflict::ConfigurationDeleted);
    EXPECT_EQ(refused.problemPath, ini);
    EXPECT_EQ(files.files.count(ini), 0u);
    EXPECT_EQ(files.attempts, 0);

    SaveOptions create;
    create.createDeleted = true;
    ASSERT_EQ(Save("c:\\tc\\", create).status, WriteStatus::Ok);
    EXPECT_EQ(files.files[ini], "[PackerPlugins]\r\nzip=1,z.wcx\r\n");
}

// Files that would load as an empty list a save then writes into: refused, and told why.
TEST_F(ConfigurationTest, FilesThatCannotBeReadRightFailTheLoadAndSayWhy)
{
    using namespace std::string_literals;
    struct Case {
        const char* name;
        std::string bytes;
        LoadProblem told;
    };
    const Case cases[] = {
        {"UTF-16 big-endian", "\xFE\xFF\0[\0P\0a\0c\0k\0e\0r\0P\0l\0u\0g\0i\0n\0s\0]\0\r\0\n\0z\0=\0\x31"s,
         LoadProblem::BigEndianText},
        {"header without bracket", "[A]\r\na=1\r\n  [PackerPlugins\r\nzip=1,z.wcx\r\n", LoadProblem::MalformedHeader},
        {"readable after all", "[PackerPlugins\r\n[packerplugins ]\r\nzip=1,z.wcx\r\n", LoadProblem::None},
    };
    for (const Case& c : cases) {
        files.files[ini] = c.bytes;
        list.Append("x=1,x.wcx", true);
        const LoadResult loaded = Load();
        EXPECT_EQ(loaded.outcome, c.told == LoadProblem::None ? Outcome::Loaded : Outcome::Failed) << c.name;
        EXPECT_EQ(DiagnoseLoadFailure(io, ini, "c:\\tc\\"), c.told) << c.name;
    }
    EXPECT_EQ(Texts(), std::vector<std::string>{"zip=1,z.wcx [x]"});
}

TEST_F(ConfigurationTest, NoCheckedRowRemovesTheSection)
{
    files.files[ini] = "[A]\r\na=1\r\n[PackerPlugins]\r\nzip=1,z.wcx\r\n[B]\r\nb=2\r\n";
    list.Append("zip=1,z.wcx", false);
    EXPECT_EQ(Save().status, WriteStatus::Ok);
    EXPECT_EQ(files.files[ini], "[A]\r\na=1\r\n[B]\r\nb=2\r\n");
}

TEST_F(ConfigurationTest, FailedWritesSayWhichFileAndLeaveItAlone)
{
    const std::string before = "[PackerPlugins]\r\nzip=1,z.wcx\r\n";
    files.files[ini] = before;
    files.unwritable.insert(ini);
    list.Append("rar=1,r.wcx", true);
    list.Append("cab=1,c.wcx", false);
    SaveResult result = Save();
    EXPECT_EQ(result.status, WriteStatus::Failed);
    EXPECT_EQ(result.problemPath, ini);
    EXPECT_EQ(files.files[ini], before);
    // Found before the settings file is written: a failed save leaves both files as they were.
    EXPECT_EQ(files.files.count(settings), 0u);
    EXPECT_EQ(files.attempts, 0);
}

// A row switched off must be somewhere after a failed save: the settings file is written
// first, and when it fails the configuration file keeps the row.
TEST_F(ConfigurationTest, AnUnwritableSettingsFileStopsTheSaveBeforeTheConfigurationFile)
{
    const std::string before = "[PackerPlugins]\r\nzip=1,z.wcx\r\nrar=1,r.wcx\r\n";
    files.files[ini] = before;
    files.unwritable.insert(settings);
    ASSERT_EQ(Load().outcome, Outcome::Loaded);
    list.SetChecked(1, false);
    const SaveResult result = Save();
    EXPECT_EQ(result.status, WriteStatus::Failed);
    EXPECT_EQ(result.problemPath, settings);
    EXPECT_EQ(files.files[ini], before);
    EXPECT_EQ(files.files.count(settings), 0u);

    files.unwritable.clear();
    ASSERT_EQ(Save().status, WriteStatus::Ok);
    EXPECT_EQ(files.files[ini], "[PackerPlugins]\r\nzip=1,z.wcx\r\n");
    EXPECT_EQ(files.files[settings], "[PackerPlugins]\r\n1=rar=1,r.wcx\r\n");
}

TEST_F(ConfigurationTest, RedirectedSectionIsReadAndWrittenInItsTargetFile)
{
    files.files[ini] = "[Configuration]\r\nx=1\r\n[PackerPlugins]\r\nRedirectSection=%COMMANDER_PATH%\\packers.ini\r\n";
    files.files["c:\\tc\\packers.ini"] = "[PackerPlugins]\r\nzip=1,z.wcx\r\n";
    EXPECT_EQ(Load().outcome, Outcome::Loaded);
    EXPECT_EQ(Texts(), std::vector<std::string>{"zip=1,z.wcx [x]"});

    list.Append("rar=2,r.wcx", true);
    EXPECT_EQ(Save().status, WriteStatus::Ok);
    EXPECT_EQ(files.files["c:\\tc\\packers.ini"], "[PackerPlugins]\r\nzip=1,z.wcx\r\nrar=2,r.wcx\r\n");
    EXPECT_EQ(files.files[ini],
              "[Configuration]\r\nx=1\r\n[PackerPlugins]\r\nRedirectSection=%COMMANDER_PATH%\\packers.ini\r\n");

    // Relative to the configuration file's folder, and other variables from the environment.
    files.files[ini] = "[PackerPlugins]\r\nredirectsection=sub\\p.ini\r\n";
    files.files["c:\\tc\\sub\\p.ini"] = "[PackerPlugins]\r\n7z=3,7z.wcx\r\n";
    EXPECT_EQ(Load().outcome, Outcome::Loaded);
    EXPECT_EQ(Texts(), std::vector<std::string>{"7z=3,7z.wcx [x]"});
    environment.variables["APPDATA"] = "d:\\roaming";
    files.files[ini] = "[PackerPlugins]\r\nRedirectSection=%APPDATA%\\tc.ini\r\n";
    files.files["d:\\roaming\\tc.ini"] = "[PackerPlugins]\r\ncab=1,cab.wcx\r\n";
    EXPECT_EQ(Load().outcome, Outcome::Loaded);
    EXPECT_EQ(Texts(), std::vector<std::string>{"cab=1,cab.wcx [x]"});
}

TEST_F(ConfigurationTest, UnresolvedRedirectIsRefusedAndNothingIsWritten)
{
    const std::string before = "[PackerPlugins]\r\nRedirectSection=%NOWHERE%\\p.ini\r\n";
    files.files[ini] = before;
    LoadResult loaded = Load();
    EXPECT_EQ(loaded.outcome, Outcome::Failed);
    EXPECT_EQ(loaded.problemPath, "%NOWHERE%\\p.ini");

    list.Append("zip=1,z.wcx", true);
    list.Append("rar=1,r.wcx", false);
    const int writesBefore = files.writes;
    SaveResult saved = Save("");
    EXPECT_EQ(saved.status, WriteStatus::Failed);
    EXPECT_EQ(saved.redirect, RedirectProblem::Unresolved);
    EXPECT_EQ(saved.problemPath, "%NOWHERE%\\p.ini");
    EXPECT_EQ(files.writes, writesBefore);
    EXPECT_EQ(files.files[ini], before);

    // %COMMANDER_PATH% with no folder known and no variable set is unresolved too.
    files.files[ini] = "[PackerPlugins]\r\nRedirectSection=%COMMANDER_PATH%\\p.ini\r\n";
    EXPECT_EQ(LoadAssociations(io, ini, settings, "", list).outcome, Outcome::Failed);
}

TEST_F(ConfigurationTest, RedirectsThatCannotBeFollowedSayWhatIsWrong)
{
    struct Case {
        const char* configuration;
        const char* target;  // packers.ini beside it, or nullptr
        RedirectProblem problem;
        std::string named;
        LoadProblem told;
    };
    const Case cases[] = {
        {"[PackerPlugins]\r\nRedirectSection=%COMMANDER_PATH%\\WINCMD.INI\r\n", nullptr, RedirectProblem::ToItself,
         "c:\\tc\\wincmd.ini", LoadProblem::RedirectToItself},
        {"[PackerPlugins]\r\nRedirectSection=packers.ini\r\n", "[PackerPlugins]\r\nRedirectSection=more.ini\r\n",
         RedirectProblem::Chain, "c:\\tc\\packers.ini", LoadProblem::RedirectChain},
        {"[PackerPlugins]\r\nRedirectSection=packers.ini\r\n", "[PackerPlugins]\r\nRedirectSection=wincmd.ini\r\n",
         RedirectProblem::Chain, "c:\\tc\\packers.ini", LoadProblem::RedirectChain},
    };
    for (const Case& c : cases) {
        files.files[ini] = c.configuration;
        files.files.erase("c:\\tc\\packers.ini");
        if (c.target) files.files["c:\\tc\\packers.ini"] = c.target;
        const auto before = files.files;
        const LoadResult loaded = Load();
        EXPECT_EQ(loaded.outcome, Outcome::Failed) << c.configuration;
        EXPECT_EQ(loaded.redirect, c.problem) << c.configuration;
        EXPECT_EQ(loaded.problemPath, c.named) << c.configuration;
        EXPECT_EQ(DiagnoseLoadFailure(io, loaded.problemPath, "c:\\tc\\"), c.told) << c.configuration;
        list.Append("zip=1,z.wcx", true);
        const SaveResult saved = Save();
        EXPECT_EQ(saved.redirect, c.problem) << c.configuration;
        EXPECT_EQ(files.files, before) << c.configuration;
    }
}

}  // namespace
}  // namespace pakvane

namespace pakvane {
namespace {

// "\xE5\x65" is U+65E5, a character no single-byte ANSI code page holds.
TEST_F(ConfigurationTest, UnicodeFileKeepsCharactersTheCodePageLacks)
{
    using namespace std::string_literals;
    const std::string lossyRow =
        testing::Utf16("[PackerPlugins]\r\nzip=1,c:\\") + "\xE5\x65\\\0z\0.\0w\0c\0x\0\r\0\n\0"s;
    files.files[ini] = lossyRow + testing::Utf16("rar=2,c:\\r.wcx\r\n").substr(2);
    ASSERT_EQ(Load().outcome, Outcome::Loaded);
    ASSERT_EQ(list.Count(), 2u);

    // The untouched row goes back with its exact character; the changed one is rewritten.
    list.SetChecked(1, false);
    ASSERT_EQ(Save().status, WriteStatus::Ok);
    EXPECT_EQ(files.files[ini], lossyRow);

    // A changed row that would need the lost character is refused, and nothing is written.
    const std::string before = files.files[ini];
    list.SetText(0, "zip=5," + ParseAssociation(list.Row(0).text).path);
    EXPECT_EQ(Save().status, WriteStatus::Unrepresentable);
    EXPECT_EQ(files.files[ini], before);
}

}  // namespace
}  // namespace pakvane

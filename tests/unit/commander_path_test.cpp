// Paths relative to the commander folder: expanding, substituting, removing, and asking
// for the folder when it is unknown.
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "config/association_list.h"
#include "config/commander_path.h"
#include "fakes/fake_text_rules.h"
#include "i18n/message_sink.h"

namespace pakvane {
namespace {

// Stands in for the user at the message box and the folder picker.
class ScriptedUser final : public MessageSink, public FolderPicker {
public:
    std::deque<std::optional<std::string>> answers;  // the picker's results, in order
    int messages = 0;
    int pickerOpenings = 0;

    void Show(const UiMessage& message) override
    {
        EXPECT_EQ(message, (UiMessage{Str::CommanderPathUnknown, Str::Error, kMessageIconError, std::nullopt}));
        ++messages;
    }
    std::optional<std::string> PickFolder(Str title, const std::string&) override
    {
        EXPECT_EQ(title, Str::AskCommanderFolder);
        ++pickerOpenings;
        std::optional<std::string> answer = answers.empty() ? std::nullopt : answers.front();
        if (!answers.empty()) answers.pop_front();
        return answer;
    }
    CommanderFolderUi Ui() { return CommanderFolderUi{*this, *this}; }
};

using Rows = std::vector<std::pair<std::string, bool>>;

AssociationList MakeList(const Rows& rows)
{
    AssociationList list;
    for (const auto& [text, checked] : rows) list.Append(text, checked);
    return list;
}

Rows RowsOf(const AssociationList& list)
{
    Rows rows;
    for (const AssociationRow& row : list.Rows()) rows.emplace_back(row.text, row.checked);
    return rows;
}

TEST(CommanderPathTest, ExpandsOnlyTheFullPrefix)
{
    FakeTextRules rules;
    ScriptedUser user;
    const struct {
        const char* path;
        bool ok;
        const char* expanded;
    } cases[] = {
        {"  %Commander_Path%\\plugins\\zip.wcx ", true, "D:\\TC\\plugins\\zip.wcx"},
        {"%COMMANDER_PATH%plugins\\zip.wcx", true, "%COMMANDER_PATH%plugins\\zip.wcx"},
        {"c:\\x\\a.wcx", true, "c:\\x\\a.wcx"},
        {" \t ", false, ""},
    };
    for (const auto& c : cases) {
        std::string folder = "D:\\TC\\";
        std::string path = c.path;
        EXPECT_EQ(ExpandCommanderPath(path, folder, user.Ui(), rules), c.ok) << c.path;
        EXPECT_EQ(path, c.expanded) << c.path;
    }
    EXPECT_EQ(user.messages, 0);
}

TEST(CommanderPathTest, SubstituteThenRemoveGivesBackFullPathsSpelledAsTheFolder)
{
    FakeTextRules rules;
    ScriptedUser user;
    std::string folder = "C:\\Veruduri\\";
    AssociationList list = MakeList({
        {"zip=31,c:\\veruduri\\plugins\\zip.wcx", true},
        {"old=1,C:\\VeruduriOld\\p.wcx", true},  // the folder's backslash takes part
        {"ZIP = 31 , C:\\VERUDURI\\a.wcx", false},
        {"b=1,", false},
    });
    EXPECT_EQ(SubstituteCommanderPath(list, folder, user.Ui(), rules, SortMode::ByExtension), 2u);
    EXPECT_EQ(RowsOf(list), (Rows{{"b=1,", false},
                                  {"old=1,C:\\VeruduriOld\\p.wcx", true},
                                  {"ZIP=31,%commander_path%\\a.wcx", false},
                                  {"zip=31,%commander_path%\\plugins\\zip.wcx", true}}));
    // Every row with a path is rewritten in canonical form, prefixed or not.
    EXPECT_EQ(RemoveCommanderPath(list, folder, user.Ui(), rules, SortMode::ByExtension), 3u);
    EXPECT_EQ(RowsOf(list), (Rows{{"b=1,", false},
                                  {"old=1,C:\\VeruduriOld\\p.wcx", true},
                                  {"ZIP=31,C:\\Veruduri\\a.wcx", false},
                                  {"zip=31,C:\\Veruduri\\plugins\\zip.wcx", true}}));
    EXPECT_EQ(user.messages, 0);
}

TEST(CommanderPathTest, UnknownFolderIsAskedForAtEveryNeedAndUsedOnceChosen)
{
    FakeTextRules rules;
    ScriptedUser user;
    std::string folder;
    AssociationList list = MakeList({{"zip=1,D:\\TC\\zip.wcx", true}, {"rar=x,%commander_path%\\rar.wcx", false}});
    const Rows before = RowsOf(list);

    user.answers = {std::nullopt, std::string("  ")};  // cancelled; confirmed but empty
    EXPECT_EQ(SubstituteCommanderPath(list, folder, user.Ui(), rules, SortMode::ByPlugin), std::nullopt);
    EXPECT_EQ(RemoveCommanderPath(list, folder, user.Ui(), rules, SortMode::ByPlugin), std::nullopt);
    EXPECT_EQ(RowsOf(list), before);  // not even sorted
    EXPECT_EQ(folder, "");

    user.answers = {std::string(" D:\\TC ")};
    EXPECT_EQ(RemoveCommanderPath(list, folder, user.Ui(), rules, SortMode::ByPlugin), 2u);
    EXPECT_EQ(folder, "D:\\TC\\");
    EXPECT_EQ(RowsOf(list), (Rows{{"rar=0,D:\\TC\\rar.wcx", false}, {"zip=1,D:\\TC\\zip.wcx", true}}));
    EXPECT_EQ(user.messages, 3);
    EXPECT_EQ(user.pickerOpenings, 3);

    // A choice replaces a known folder only when it is confirmed.
    EXPECT_FALSE(ChooseCommanderFolder(folder, user));
    EXPECT_EQ(folder, "D:\\TC\\");
}

}  // namespace
}  // namespace pakvane

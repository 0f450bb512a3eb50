// Paths relative to the commander folder: expanding, substituting, removing, and asking
// for the folder when it is unknown.
#include <gtest/gtest.h>

#include <deque>
#include <utility>
#include <string>
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
    std::vector<UiMessage> messages;
    std::vector<std::string> initials;  // the picker's initial selection, per opening
    std::vector<Str> titles;

    void Show(const UiMessage& message) override { messages.push_back(message); }
    std::optional<std::string> PickFolder(Str title, const std::string& initial) override
    {
        titles.push_back(title);
        initials.push_back(initial);
        if (answers.empty()) return std::nullopt;
        std::optional<std::string> answer = answers.front();
        answers.pop_front();
        return answer;
    }
    CommanderFolderUi Ui() { return CommanderFolderUi{*this, *this}; }
};

const UiMessage kUnknownFolder{Str::CommanderPathUnknown, Str::Error, kMessageIconError, std::nullopt};

AssociationList MakeList(const std::vector<AssociationRow>& rows)
{
    AssociationList list;
    for (const AssociationRow& row : rows) list.Append(row.text, row.checked);
    return list;
}

using Rows = std::vector<std::pair<std::string, bool>>;

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
        {"%COMMANDER_PATH%", true, "%COMMANDER_PATH%"},
        {"c:\\x\\a.wcx", true, "c:\\x\\a.wcx"},
        {" \t ", false, ""},
    };
    for (const auto& c : cases) {
        std::string folder = "D:\\TC\\";
        std::string path = c.path;
        EXPECT_EQ(ExpandCommanderPath(path, folder, user.Ui(), rules), c.ok) << c.path;
        EXPECT_EQ(path, c.expanded) << c.path;
    }
    EXPECT_TRUE(user.messages.empty());
}

TEST(CommanderPathTest, UnknownFolderIsAskedForAtEveryNeedUntilChosen)
{
    FakeTextRules rules;
    ScriptedUser user;
    user.answers = {std::nullopt, std::string("   "), std::string(" E:\\Total ")};
    std::string folder;
    for (int attempt = 0; attempt < 2; ++attempt) {
        std::string path = "%commander_path%\\a.wcx ";
        EXPECT_FALSE(ExpandCommanderPath(path, folder, user.Ui(), rules));
        EXPECT_EQ(path, "%commander_path%\\a.wcx");
    }
    std::string path = "%commander_path%\\a.wcx";
    EXPECT_TRUE(ExpandCommanderPath(path, folder, user.Ui(), rules));
    EXPECT_EQ(folder, "E:\\Total\\");
    EXPECT_EQ(path, "E:\\Total\\a.wcx");
    EXPECT_EQ(user.messages, std::vector<UiMessage>(3, kUnknownFolder));
    EXPECT_EQ(user.titles, std::vector<Str>(3, Str::AskCommanderFolder));
}

TEST(CommanderPathTest, ChoosingKeepsTheFolderWhenCancelled)
{
    ScriptedUser user;
    user.answers = {std::nullopt, std::string("F:\\New\\")};
    std::string folder = "D:\\TC\\";
    EXPECT_FALSE(ChooseCommanderFolder(folder, user));
    EXPECT_EQ(folder, "D:\\TC\\");
    EXPECT_TRUE(ChooseCommanderFolder(folder, user));
    EXPECT_EQ(folder, "F:\\New\\");
    EXPECT_EQ(user.initials, (std::vector<std::string>{"D:\\TC\\", "D:\\TC\\"}));
}

TEST(CommanderPathTest, SubstituteRewritesRowsUnderTheFolderAndKeepsChecks)
{
    FakeTextRules rules;
    ScriptedUser user;
    std::string folder = "C:\\Veruduri\\";
    AssociationList list = MakeList({
        {"zip=31,c:\\veruduri\\plugins\\zip.wcx", true},
        {"old=1,C:\\VeruduriOld\\p.wcx", true},
        {"ZIP = 31 , C:\\VERUDURI\\a.wcx", false},
        {"rel=2,%commander_path%\\r.wcx", true},
    });
    EXPECT_EQ(SubstituteCommanderPath(list, folder, user.Ui(), rules, SortMode::ByExtension), 2u);
    EXPECT_EQ(RowsOf(list), (Rows{
                                {"old=1,C:\\VeruduriOld\\p.wcx", true},
                                {"rel=2,%commander_path%\\r.wcx", true},
                                {"ZIP=31,%commander_path%\\a.wcx", false},
                                {"zip=31,%commander_path%\\plugins\\zip.wcx", true},
                            }));
    EXPECT_TRUE(user.messages.empty());

    // And back: the folder part is spelled as the commander folder is.
    EXPECT_EQ(RemoveCommanderPath(list, folder, user.Ui(), rules, SortMode::ByExtension), 4u);
    EXPECT_EQ(RowsOf(list), (Rows{
                                {"old=1,C:\\VeruduriOld\\p.wcx", true},
                                {"rel=2,C:\\Veruduri\\r.wcx", true},
                                {"ZIP=31,C:\\Veruduri\\a.wcx", false},
                                {"zip=31,C:\\Veruduri\\plugins\\zip.wcx", true},
                            }));
}

TEST(CommanderPathTest, RemoveRewritesEveryRowWithAPathInCanonicalForm)
{
    FakeTextRules rules;
    ScriptedUser user;
    std::string folder = "D:\\TC\\";
    AssociationList list = MakeList({{" a = $10 , c:\\a.wcx ", true}, {"b=1,", false}, {"c=bad,c:\\c.wcx", true}});
    EXPECT_EQ(RemoveCommanderPath(list, folder, user.Ui(), rules, SortMode::ByExtension), 2u);
    EXPECT_EQ(RowsOf(list), (Rows{
                                {"a=16,c:\\a.wcx", true}, {"b=1,", false}, {"c=0,c:\\c.wcx", true}}));
}

TEST(CommanderPathTest, CommandsAskOnceAndGoOnWithTheChosenFolder)
{
    FakeTextRules rules;
    ScriptedUser user;
    std::string folder;
    AssociationList list = MakeList({{"zip=1,D:\\TC\\zip.wcx", true}, {"rar=1,%commander_path%\\rar.wcx", false}});
    const Rows before = RowsOf(list);

    EXPECT_EQ(SubstituteCommanderPath(list, folder, user.Ui(), rules, SortMode::ByPlugin), std::nullopt);
    EXPECT_EQ(RemoveCommanderPath(list, folder, user.Ui(), rules, SortMode::ByPlugin), std::nullopt);
    EXPECT_EQ(RowsOf(list), before);  // not even sorted
    EXPECT_EQ(user.messages.size(), 2u);

    user.answers = {std::string("D:\\TC")};
    EXPECT_EQ(SubstituteCommanderPath(list, folder, user.Ui(), rules, SortMode::ByPlugin), 1u);
    EXPECT_EQ(user.messages.size(), 3u);
    EXPECT_EQ(user.titles.size(), 3u);
    EXPECT_EQ(RowsOf(list), (Rows{
                                {"rar=1,%commander_path%\\rar.wcx", false}, {"zip=1,%commander_path%\\zip.wcx", true}}));
}

}  // namespace
}  // namespace pakvane

// The memo under the list: the selected plugin's comment, or the no-comment text.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "comments/plugin_memo.h"
#include "config/association_list.h"
#include "fakes/fake_text_rules.h"
#include "fakes/memory_file_system.h"
#include "fakes/memory_tree.h"
#include "i18n/message_sink.h"
#include "platform/version_info.h"

namespace pakvane {
namespace {

// Has no version information for any library, and notes which it was asked for.
class NoVersions final : public VersionInfoSource {
public:
    mutable std::vector<std::string> asked;
    std::unique_ptr<VersionResource> Read(const std::string& path) const override
    {
        asked.push_back(path);
        return nullptr;
    }
    std::string LanguageName(std::uint16_t) const override { return ""; }
};

class CancellingUser final : public MessageSink, public FolderPicker {
public:
    int messages = 0;
    void Show(const UiMessage&) override { ++messages; }
    std::optional<std::string> PickFolder(Str, const std::string&) override { return std::nullopt; }
};

TEST(PluginMemoTest, ShowsTheSelectedPluginsCommentOrTheNoCommentText)
{
    testing::MemoryFileSystem files;
    files.files["c:\\p\\descript.ion"] = "other.wcx not this\r\nZIP.WCX packs zips\r\n";
    NoVersions versions;
    FakeTextRules rules;
    CancellingUser user;
    InterfaceStrings strings;
    strings.FillBuiltIn();
    testing::MemoryTree libraries;
    std::string folder;
    const auto memoFor = [&](const char* row) {
        AssociationList list;
        list.Append("other=1,c:\\p\\other.wcx", true);
        if (row) {
            list.Append(row, true);
            list.Select(1);
        }
        return SelectedPluginMemo(list, folder, CommanderFolderUi{user, user},
                                  PluginFacts{files, versions, rules, libraries}, strings);
    };

    EXPECT_EQ(memoFor("zip= 1 , c:\\p\\zip.wcx "), (PluginMemo{UiText{"packs zips", kAnsiCodePage}, ""}));
    const PluginMemo none{strings[Str::NoComment], ""};
    EXPECT_EQ(memoFor(nullptr), none);
    EXPECT_EQ(memoFor("zip=1,"), none);
    EXPECT_EQ(memoFor("rar=1,c:\\p\\rar.wcx"), none);
    EXPECT_EQ(user.messages, 0);
    EXPECT_EQ(memoFor("zip=1,%commander_path%\\zip.wcx"), none);  // the folder was asked for, not given
    EXPECT_EQ(user.messages, 1);

    // The versions come from the 64-bit twin that stands in for a missing .wcx; the comment
    // stays with the name the row gives.
    libraries.files["c:\\p\\zip.wcx64"] = testing::kPlugin;
    versions.asked.clear();
    EXPECT_EQ(memoFor("zip=1,c:\\p\\zip.wcx"), (PluginMemo{UiText{"packs zips", kAnsiCodePage}, ""}));
    EXPECT_EQ(versions.asked, std::vector<std::string>{"c:\\p\\zip.wcx64"});
}

}  // namespace
}  // namespace pakvane

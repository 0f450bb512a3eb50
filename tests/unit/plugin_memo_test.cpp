// The memo under the list: the selected plugin's comment and version summary.
#include <gtest/gtest.h>

#include <set>
#include <memory>
#include <string>

#include "comments/plugin_memo.h"
#include "config/association_list.h"
#include "fakes/fake_text_rules.h"
#include "fakes/memory_file_system.h"
#include "i18n/message_sink.h"
#include "platform/version_info.h"

namespace pakvane {
namespace {

// Version resources holding only fixed data: file version 1.2.3.4, product version 5.6.7.8.
class FixedVersions final : public VersionInfoSource {
public:
    std::set<std::string> files;
    std::unique_ptr<VersionResource> Read(const std::string& path) const override
    {
        if (!files.count(path)) return nullptr;
        struct Resource final : VersionResource {
            std::optional<std::string> Binary(const std::string& subBlock) const override
            {
                if (subBlock != "\\") return std::nullopt;
                return std::string("\xBD\x04\xEF\xFE\0\0\1\0" "\2\0\1\0\4\0\3\0" "\6\0\5\0\x8\0\7\0", 24);
            }
            std::optional<VersionString> Text(const std::string&) const override { return std::nullopt; }
        };
        return std::make_unique<Resource>();
    }
    std::string LanguageName(std::uint16_t) const override { return ""; }
};

class CancellingUser final : public MessageSink, public FolderPicker {
public:
    int messages = 0;
    void Show(const UiMessage&) override { ++messages; }
    std::optional<std::string> PickFolder(Str, const std::string&) override { return std::nullopt; }
};

class PluginMemoTest : public ::testing::Test {
protected:
    void SetUp() override { strings.FillBuiltIn(); }
    PluginMemo MemoFor(const char* row)
    {
        AssociationList list;
        list.Append("other=1,c:\\p\\other.wcx", true);
        if (row) {
            list.Append(row, true);
            list.Select(1);
        }
        return SelectedPluginMemo(list, folder, CommanderFolderUi{user, user}, PluginFacts{files, versions, rules},
                                  strings);
    }

    testing::MemoryFileSystem files;
    FixedVersions versions;
    FakeTextRules rules;
    CancellingUser user;
    InterfaceStrings strings;
    std::string folder;
};

TEST_F(PluginMemoTest, ShowsTheCommentAndTheVersionsOfTheSelectedPlugin)
{
    files.files["c:\\p\\descript.ion"] = "other.wcx not this\r\nZIP.WCX packs zips\r\n";
    versions.files.insert("c:\\p\\zip.wcx");
    EXPECT_EQ(MemoFor("zip= 1 , c:\\p\\zip.wcx "),
              (PluginMemo{UiText{"packs zips", kAnsiCodePage}, "\r\nFileVersion:\t1.2.3.4\r\nProductVersion:\t5.6.7.8\r\n"}));
}

TEST_F(PluginMemoTest, FallsBackToNoCommentWithoutALibraryToLookAt)
{
    const PluginMemo none{strings[Str::NoComment], ""};
    EXPECT_EQ(MemoFor(nullptr), none);
    EXPECT_EQ(MemoFor("zip=1,"), none);
    EXPECT_EQ(MemoFor("zip=1,c:\\p\\zip.wcx"), none);  // neither comment nor version resource
    EXPECT_EQ(user.messages, 0);
    EXPECT_EQ(MemoFor("zip=1,%commander_path%\\zip.wcx"), none);  // the folder was asked for, not given
    EXPECT_EQ(user.messages, 1);
}

}  // namespace
}  // namespace pakvane

// The language submenu of the real main window over real language files: the items it
// lists, a choice re-captioning the window at once, the built-in item, a file deleted
// after the start, the choice saved at close and restored, and the shipped files.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "app/control_ids.h"
#include "app/main_form.h"
#include "app/ui/ui_text.h"
#include "win32/hints.h"
#include "win32/recorded_boxes.h"
#include "win32/test_files.h"

namespace pakvane {
namespace {

using testing::ReadBytes;
using testing::WriteBytes;

constexpr char kHead[] = "[Language]\r\nLng=";

class MainWindowLanguageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        languages_ = testing::MakeScratchFolder("pvlng");
        settings_ = testing::MakeScratchFolder("pvlngset") + "pakvane.ini";
    }
    void TearDown() override { form_.reset(); }

    void Write(const std::string& name, const std::string& text) { ASSERT_TRUE(WriteBytes(languages_ + name, text)); }

    // languageFolder empty: the executable's folder, as the program has it.
    void Start(const std::string& settingsText, std::vector<std::string> arguments = {}, bool ownFolder = true)
    {
        if (!settingsText.empty()) WriteBytes(settings_, settingsText);
        form_ = std::make_unique<TMainForm>(GetModuleHandleW(nullptr), std::move(arguments), false);
        form_->UseSettingsFile(settings_);
        if (ownFolder) form_->UseLanguageFolder(languages_);
        form_->Create();
        boxes_.clear();
    }
    void Close()
    {
        SendMessageW(form_->Handle(), WM_CLOSE, 0, 0);
        ASSERT_FALSE(IsWindow(form_->Handle()));
        form_.reset();
    }

    HMENU Languages() const { return form_->LanguageMenuHandle(); }
    static std::wstring MenuText(HMENU menu, UINT id)
    {
        wchar_t text[512] = {};
        GetMenuStringW(menu, id, text, 512, MF_BYCOMMAND);
        return text;
    }
    // The language files' items, below the built-in item and the separator: id and caption.
    std::vector<std::pair<int, std::wstring>> Items() const
    {
        std::vector<std::pair<int, std::wstring>> items;
        for (int i = 2; i < GetMenuItemCount(Languages()); ++i) {
            const int id = static_cast<int>(GetMenuItemID(Languages(), i));
            MENUITEMINFOW info{};
            info.cbSize = sizeof info;
            info.fMask = MIIM_FTYPE;
            EXPECT_TRUE(GetMenuItemInfoW(Languages(), static_cast<UINT>(i), TRUE, &info) &&
                        (info.fType & MFT_RADIOCHECK));
            items.emplace_back(id, MenuText(Languages(), static_cast<UINT>(id)));
        }
        return items;
    }
    int ItemOf(const std::wstring& caption) const
    {
        for (const auto& [id, text] : Items())
            if (text == caption) return id;
        ADD_FAILURE() << "no item";
        return 0;
    }
    // The one checked item of the submenu (0 for none or several).
    int Checked() const
    {
        int checked = 0, count = 0;
        for (int i = 0; i < GetMenuItemCount(Languages()); ++i) {
            if (GetMenuState(Languages(), static_cast<UINT>(i), MF_BYPOSITION) & MF_CHECKED) {
                checked = static_cast<int>(GetMenuItemID(Languages(), i));
                ++count;
            }
        }
        return count == 1 ? checked : 0;
    }
    void Choose(int id) { SendMessageW(form_->Handle(), WM_COMMAND, static_cast<WPARAM>(id), 0); }

    std::wstring Text(int id) const
    {
        wchar_t text[512] = {};
        GetWindowTextW(form_->Control(id), text, 512);
        return text;
    }
    std::wstring Hint(int id) const
    {
        return testing::ReadHints(form_->HintWindow())[reinterpret_cast<UINT_PTR>(form_->Control(id))];
    }
    static std::wstring BuiltIn(Str id) { return Widen(UiText{BuiltInString(static_cast<int>(id)), kBuiltInCodePage}); }

    std::string languages_;
    std::string settings_;
    std::unique_ptr<TMainForm> form_;
    testing::RecordedBoxes recorder_{[](UINT) { return IDYES; }};
    std::vector<std::wstring>& boxes_ = recorder_.texts;
};

// Keys 5, 6, 7 and 47: the list group, Add, Properties (emptied) and the built-in item.
TEST_F(MainWindowLanguageTest, ChoosingAFileRecaptionsTheWindowAtOnceAndTheBuiltInItemUndoesIt)
{
    Write("b.lng", std::string(kHead) + "Bravo\r\n[Strings]\r\n5=Plugins\r\n6=Append\r\n7=\r\n47=Built in\r\n");
    Write("same.lng", std::string(kHead) + "Bravo\r\n[Strings]\r\n5=Other plugins\r\n");
    Write("a.lng", std::string(kHead) + "Alpha\r\n");
    Write("none.lng", "[Strings]\r\n5=No language name\r\n");
    Write("x.txt", std::string(kHead) + "Text\r\n");
    Start("");

    std::vector<std::wstring> captions;
    for (const auto& item : Items()) captions.push_back(item.second);
    std::sort(captions.begin(), captions.end());
    EXPECT_EQ(captions, (std::vector<std::wstring>{L"Alpha", L"Bravo", L"Bravo"}));
    EXPECT_EQ(Checked(), ids::kDefLngItem);
    EXPECT_EQ(Text(ids::kGroupBox2), L" " + BuiltIn(Str::ListGroup) + L" ");

    // The two "Bravo" items each load their own file.
    std::vector<std::wstring> groups;
    for (const auto& [id, caption] : Items()) {
        if (caption != L"Bravo") continue;
        Choose(id);
        EXPECT_EQ(Checked(), id);
        groups.push_back(Text(ids::kGroupBox2));
    }
    std::sort(groups.begin(), groups.end());
    ASSERT_EQ(groups, (std::vector<std::wstring>{L" Other plugins ", L" Plugins "}));
    if (Text(ids::kGroupBox2) != L" Plugins ") Choose(ItemOf(L"Bravo"));  // b.lng is the first Bravo then
    ASSERT_EQ(Text(ids::kGroupBox2), L" Plugins ");
    EXPECT_EQ(form_->LanguageFile(), "b.lng");
    EXPECT_EQ(Hint(ids::kAddButton), L"Append");
    EXPECT_EQ(MenuText(form_->PopupMenuHandle(), ids::kAddItem), L"Append\tIns");
    EXPECT_EQ(Hint(ids::kPropButton), L"") << "an empty value empties the entry";
    EXPECT_EQ(MenuText(form_->PopupMenuHandle(), ids::kPropItem), L"\tEnter");
    EXPECT_EQ(MenuText(Languages(), ids::kDefLngItem), L"Built in");
    EXPECT_EQ(Text(ids::kGroupBox1), L" " + BuiltIn(Str::IniGroup) + L" ") << "a key the file lacks stays built-in";
    EXPECT_EQ(MenuText(Languages(), static_cast<UINT>(ItemOf(L"Alpha"))), L"Alpha") << "items keep their captions";

    Choose(ids::kDefLngItem);
    EXPECT_EQ(Checked(), ids::kDefLngItem);
    EXPECT_EQ(form_->LanguageFile(), "");
    EXPECT_EQ(Text(ids::kGroupBox2), L" " + BuiltIn(Str::ListGroup) + L" ");
    EXPECT_EQ(Hint(ids::kPropButton), BuiltIn(Str::Properties));
    EXPECT_EQ(MenuText(Languages(), ids::kDefLngItem), BuiltIn(Str::DefaultLanguage));

    // A command for an item that does not exist changes nothing.
    Choose(ids::kFirstLanguageItem + 50);
    EXPECT_EQ(Checked(), ids::kDefLngItem);
    EXPECT_TRUE(boxes_.empty());
}

TEST_F(MainWindowLanguageTest, TheChoiceIsSavedAtCloseInItsSavedSpellingAndRestored)
{
    Write("b.lng", std::string(kHead) + "Bravo\r\n[Strings]\r\n5=Plugins\r\n");
    Write("a.lng", std::string(kHead) + "Alpha\r\n[Strings]\r\n5=Alpha plugins\r\n");
    Write("blank.lng", std::string(kHead) + "\r\n[Strings]\r\n5=Never\r\n");
    Start("[Tools]\r\nLng=B.LNG\r\n");
    EXPECT_EQ(Checked(), ItemOf(L"Bravo"));
    EXPECT_EQ(Text(ids::kGroupBox2), L" Plugins ");
    Close();
    EXPECT_NE(ReadBytes(settings_).find("Lng=B.LNG\r\n"), std::string::npos) << ReadBytes(settings_);

    Start("");
    Choose(ItemOf(L"Alpha"));
    Close();
    EXPECT_NE(ReadBytes(settings_).find("Lng=a.lng\r\n"), std::string::npos) << ReadBytes(settings_);
    Start("");
    EXPECT_EQ(Checked(), ItemOf(L"Alpha"));
    EXPECT_EQ(Text(ids::kGroupBox2), L" Alpha plugins ");
    Close();

    // A saved file without a language name is no choice: built-in strings, an empty name saved.
    Start("[Tools]\r\nLng=blank.lng\r\n");
    EXPECT_EQ(Checked(), ids::kDefLngItem);
    EXPECT_EQ(form_->LanguageFile(), "");
    EXPECT_EQ(Text(ids::kGroupBox2), L" " + BuiltIn(Str::ListGroup) + L" ");
    Close();
    EXPECT_NE(ReadBytes(settings_).find("Lng=\r\n"), std::string::npos) << ReadBytes(settings_);
}

// The file is chosen by name: when it is gone the built-in strings come back, and its name
// is still what the user chose, so it is saved.
TEST_F(MainWindowLanguageTest, AFileDeletedAfterTheStartFallsBackToTheBuiltInStrings)
{
    Write("a.lng", std::string(kHead) + "Alpha\r\n[Strings]\r\n5=Alpha plugins\r\n");
    Write("b.lng", std::string(kHead) + "Bravo\r\n[Strings]\r\n5=Plugins\r\n");
    Start("[Tools]\r\nLng=b.lng\r\n");
    ASSERT_TRUE(DeleteFileA((languages_ + "a.lng").c_str()));
    Choose(ItemOf(L"Alpha"));
    EXPECT_EQ(Checked(), ids::kDefLngItem);
    EXPECT_EQ(form_->LanguageFile(), "a.lng");
    EXPECT_EQ(Text(ids::kGroupBox2), L" " + BuiltIn(Str::ListGroup) + L" ");
    Close();
    EXPECT_NE(ReadBytes(settings_).find("Lng=a.lng\r\n"), std::string::npos);
}

// Patterns 20 from a language file with directives that take no text: the delete question
// shows the pattern as written, and Yes still deletes.
TEST_F(MainWindowLanguageTest, APatternWithOtherDirectivesIsShownAsWritten)
{
    const std::string ini = languages_ + "wincmd.ini";
    ASSERT_TRUE(WriteBytes(ini, "[PackerPlugins]\r\nzip=1,c:\\zip.wcx\r\n"));
    Write("p.lng", std::string(kHead) + "Patterns\r\n[Strings]\r\n21=Delete %d%n (%s%s%s)?\r\n");
    Start("[Tools]\r\nLng=p.lng\r\n", {ini});
    ASSERT_EQ(form_->List().Count(), 1u);
    SendMessageW(form_->Handle(), WM_COMMAND, ids::kDelButton, 0);
    EXPECT_EQ(boxes_, std::vector<std::wstring>{L"Delete %d%n (%s%s%s)?"});
    EXPECT_EQ(form_->List().Count(), 0u);
}

// The files built beside the program are listed when it looks beside itself, and English
// leaves no Cyrillic letter in a caption, hint or menu item of the window.
TEST_F(MainWindowLanguageTest, TheShippedEnglishFileReplacesEveryVisibleText)
{
    Start("", {}, false);
    Choose(ItemOf(L"English"));
    ASSERT_EQ(Checked(), ItemOf(L"English"));
    std::vector<std::wstring> texts;
    for (const ControlRow& row : TMainForm::ControlRows()) {
        if (row.captionKind == CaptionKind::Hint) texts.push_back(Hint(row.id));
        if (row.captionKind == CaptionKind::PaddedGroup) texts.push_back(Text(row.id));
    }
    for (const MenuRow& row : TMainForm::MenuRows()) {
        if (row.kind == MenuKind::Separator) continue;
        HMENU owner = nullptr;
        UINT position = 0;
        ASSERT_TRUE(FindMenuItem(form_->PopupMenuHandle(), row.id, owner, position) ||
                    FindMenuItem(form_->ToolsMenuHandle(), row.id, owner, position));
        wchar_t text[512] = {};
        GetMenuStringW(owner, position, text, 512, MF_BYPOSITION);
        texts.emplace_back(text);
    }
    for (const std::wstring& text : texts) {
        EXPECT_FALSE(text.empty());
        EXPECT_TRUE(std::all_of(text.begin(), text.end(), [](wchar_t c) { return c < 0x80; })) << text.size();
    }
}

}  // namespace
}  // namespace pakvane

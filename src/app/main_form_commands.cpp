// The main window's commands: which handler each id runs, when a command is offered
// (derived from the program state alone), and the commands that are not about the
// configuration file.
#include <windows.h>

#include <algorithm>

#include "app/control_ids.h"
#include "app/main_form.h"

namespace pakvane {

std::span<const TMainForm::CommandRow> TMainForm::Commands()
{
    static constexpr CommandRow kCommands[] = {
        {ids::kOpenIniButton, &TMainForm::Run<&TMainForm::OpenIniButtonClick>},
        {ids::kAddButton, &TMainForm::Run<&TMainForm::AddButtonClick>},
        {ids::kAddItem, &TMainForm::Run<&TMainForm::AddButtonClick>},
        {ids::kPropButton, &TMainForm::Run<&TMainForm::PropButtonClick>},
        {ids::kPropItem, &TMainForm::Run<&TMainForm::PropButtonClick>},
        {ids::kDelButton, &TMainForm::Run<&TMainForm::DelButtonClick>},
        {ids::kDelItem, &TMainForm::Run<&TMainForm::DelButtonClick>},
        {ids::kCommentItem, &TMainForm::Run<&TMainForm::CommentItemClick>},
        {ids::kApplyButton, &TMainForm::Run<&TMainForm::ApplyButtonClick>},
        {ids::kCancelButton, &TMainForm::Run<&TMainForm::CancelButtonClick>},
        {ids::kToolButton, &TMainForm::Run<&TMainForm::ToolButtonClick>},
        {ids::kSort1Item, &TMainForm::Sort1ItemClick},
        {ids::kSort2Item, &TMainForm::Sort1ItemClick},
        {ids::kDefComItem, &TMainForm::Run<&TMainForm::DefComItemClick>},
        {ids::kAutoItem, &TMainForm::Run<&TMainForm::AutoItemClick>},
        {ids::kDelAutoItem, &TMainForm::Run<&TMainForm::DelAutoItemClick>},
        {ids::kFindItem, &TMainForm::Run<&TMainForm::FindItemClick>},
        {ids::kDefLngItem, &TMainForm::DefLngItemClick},
    };
    return kCommands;
}

// Buttons and menu items by id (the language files' items from kFirstLanguageItem on). A
// command that is not offered does nothing, even when another program posts it.
void TMainForm::OnCommand(int id)
{
    if (!IsCommandEnabled(id)) return;
    if (id >= ids::kFirstLanguageItem && id <= ids::kLastLanguageItem) {
        DefLngItemClick(id);
        return;
    }
    for (const CommandRow& row : Commands()) {
        if (row.id == id) {
            (this->*row.handler)(id);
            return;
        }
    }
}

bool TMainForm::HandlesCommand(int id)
{
    if (id >= ids::kFirstLanguageItem && id <= ids::kLastLanguageItem) return true;
    const auto commands = Commands();
    return std::any_of(commands.begin(), commands.end(), [id](const CommandRow& row) { return row.id == id; });
}

bool TMainForm::IsCommandEnabled(int id) const
{
    const CommandStates commands = DeriveCommandStates(state_);
    switch (id) {
    case ids::kAddButton:
    case ids::kAddItem:
        return commands.add;
    case ids::kPropButton:
    case ids::kPropItem:
        return commands.properties;
    case ids::kDelButton:
    case ids::kDelItem:
        return commands.remove;
    case ids::kApplyButton:
        return commands.apply;
    default:
        return true;  // OpenIni, Tools, Cancel, Comment and the Tools menu: always offered
    }
}

// Shows the program state on every button and menu item it decides.
void TMainForm::ShowCommandStates()
{
    const CommandStates commands = DeriveCommandStates(state_);
    auto show = [this](int buttonId, int itemId, bool enabled) {
        if (buttonId) {
            HWND button = Control(buttonId);
            // A button that is withdrawn hands the keyboard focus to the list.
            if (!enabled && GetFocus() == button) SetFocus(listView_.Handle());
            EnableWindow(button, enabled);
        }
        if (itemId)
            EnableMenuItem(popupMenu_.get(), static_cast<UINT>(itemId),
                           MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
    };
    show(ids::kAddButton, ids::kAddItem, commands.add);
    show(ids::kPropButton, ids::kPropItem, commands.properties);
    show(ids::kDelButton, ids::kDelItem, commands.remove);
    show(ids::kApplyButton, 0, commands.apply);
    CheckMenuRadioItem(toolsMenu_.get(), ids::kSort1Item, ids::kSort2Item,
                       commands.sortByExtension ? ids::kSort1Item : ids::kSort2Item, MF_BYCOMMAND);
    ShowLanguageMark();
}

void TMainForm::DisableListCommands()
{
    state_.configurationLoaded = false;
    state_.rowCommands = false;
    state_.unsavedChanges = false;
    ShowCommandStates();
}

void TMainForm::EnableRowCommands()
{
    state_.rowCommands = true;
    ShowCommandStates();
}

void TMainForm::SetUnsavedChanges(bool changed)
{
    state_.unsavedChanges = changed;
    ShowCommandStates();
}

void TMainForm::SetSortByExtension(bool byExtension)
{
    state_.sortMode = byExtension ? SortMode::ByExtension : SortMode::ByPlugin;
    ShowCommandStates();
}

// The save shows its own messages and clears the unsaved-changes state itself.
void TMainForm::ApplyButtonClick()
{
    SaveConfiguration();
}

// Leaves the program exactly as the close box does, save question included.
void TMainForm::CancelButtonClick()
{
    SendMessageW(Handle(), WM_CLOSE, 0, 0);
}

void TMainForm::Sort1ItemClick(int id)
{
    SetSortByExtension(id == ids::kSort1Item);
    SortList();
}

// The Tools menu opens under the button, its top-left corner at the button's bottom-left.
void TMainForm::ToolButtonClick()
{
    RECT bounds{};
    GetWindowRect(Control(ids::kToolButton), &bounds);
    TrackPopupMenu(toolsMenu_.get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, bounds.left, bounds.bottom, 0,
                   Handle(), nullptr);
}

}  // namespace pakvane

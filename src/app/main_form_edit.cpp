// The main window's edit commands: Add, Properties and Delete of an association, through
// the properties dialog.
#include <windows.h>

#include "app/control_ids.h"
#include "app/main_form.h"
#include "app/prop_form.h"
#include "app/system_services.h"
#include "app/ui/ui_text.h"
#include "config/association.h"
#include "config/association_rules.h"
#include "config/association_sort.h"

namespace pakvane {

// The row text of a confirmed dialog: the extension lower-cased, the value, the path as typed.
std::string TMainForm::RowTextOf(const PluginProperties& properties) const
{
    return FormatAssociation(CanonicalExtension(properties.extension, *services_->rules), properties.flags,
                             properties.path);
}

std::vector<std::string> TMainForm::KnownPluginPaths() const
{
    std::vector<std::string> paths;
    paths.reserve(list_.Count());
    for (const AssociationRow& row : list_.Rows()) paths.push_back(ParseAssociation(row.text).path);
    return paths;
}

// After an add or an edit: one switched-on row per extension, the list sorted (the row
// stays selected), the row commands offered, the memo showing the row's plugin.
void TMainForm::FinishRowEdit()
{
    EnforceSingleEnabled();
    SortAssociations(list_, state_.sortMode, *services_->rules);
    listView_.Refresh();
    EnableRowCommands();
    WCXListClick();
}

void TMainForm::AddButtonClick()
{
    const std::optional<PluginProperties> added =
        EditPluginProperties(Handle(), PluginProperties{}, PropertiesContextFor());
    if (!added) return;
    list_.Append(RowTextOf(*added), true);
    list_.Select(static_cast<int>(list_.Count()) - 1);
    FinishRowEdit();
}

void TMainForm::PropButtonClick()
{
    const int selected = list_.Selected();
    if (selected < 0 || static_cast<std::size_t>(selected) >= list_.Count()) return;
    const auto row = static_cast<std::size_t>(selected);
    const Association current = ParseAssociation(list_.Row(row).text);
    const std::optional<PluginProperties> edited = EditPluginProperties(
        Handle(), PluginProperties{current.extension, current.flags, current.path}, PropertiesContextFor());
    if (!edited) return;
    list_.SetText(row, RowTextOf(*edited));  // the row keeps its check state
    FinishRowEdit();
}

void TMainForm::DelButtonClick()
{
    const int selected = list_.Selected();
    if (selected < 0 || static_cast<std::size_t>(selected) >= list_.Count()) return;
    const std::string extension = ParseAssociation(list_.Row(static_cast<std::size_t>(selected)).text).extension;
    const int answer = ShowMessageBox(Handle(), FormatUiMessage(strings_[Str::DeleteQuestion], extension),
                                      Widen(strings_[Str::Question]), MB_YESNO | MB_ICONQUESTION);
    if (answer != IDYES) return;
    list_.Erase(static_cast<std::size_t>(selected));
    listView_.RowRemoved(selected);
    SetUnsavedChanges(true);
    WCXListClick();
}

}  // namespace pakvane

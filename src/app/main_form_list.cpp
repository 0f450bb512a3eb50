// What the user does with the association list: selecting, switching check boxes, the
// list's menu, and the memo that shows the selected row's plugin.
#include <windows.h>

#include "app/control_ids.h"
#include "app/main_form.h"

namespace pakvane {

void TMainForm::CheckListSelectionChanged()
{
    WCXListClick();
}

void TMainForm::CheckListToggled(int)
{
    WCXListClickCheck();
}

void TMainForm::CheckListCommand(int command)
{
    OnCommand(command);
}

void TMainForm::CheckListContextMenu(POINT screen)
{
    TrackPopupMenu(popupMenu_.get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, screen.x, screen.y, 0, Handle(),
                   nullptr);
}

// A check box changed (on the selected row): keep one switched-on row per extension.
void TMainForm::WCXListClickCheck()
{
    EnforceSingleEnabled();
    listView_.RefreshChecks();
}

}  // namespace pakvane

#pragma once
// Working the program's own dialogs (the properties and comment dialogs, the folder picker)
// from outside, and the test plugins the test build makes.

#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app.h"
#include "journey.h"

namespace pakvane::e2e {

// Copies test plugins (full.wcx, nocaps.wcx, ...) from the folder the test build puts them
// in (PAKVANE_TEST_PLUGINS) into the journey's own folder, so that what a plugin writes
// beside itself belongs to this journey. Aborts the journey when one is missing.
void CopyTestPlugins(Journey& journey, const fs::path& folder, const std::vector<std::wstring>& names);

// The visible top-level window of that class of the app's process; aborts after the limit.
HWND WaitWindowOfClass(Journey& journey, App& app, const wchar_t* class_name,
                       std::source_location where = std::source_location::current());
// Waits until the window has gone; a failure otherwise.
bool WaitGone(Journey& journey, HWND window, std::string_view what,
              std::source_location where = std::source_location::current());
// The window with the keyboard focus in the thread of `window`.
HWND FocusIn(HWND window);
// The control or a child of it (a combo box's edit) has the focus.
bool HasFocus(HWND control);
void SetText(HWND control, const std::wstring& text);

// The shell's folder browser (#32770 with the tree 0x3741) of the process, or nullptr.
HWND FindFolderPicker(DWORD pid);
// The text of the tree's selected item, empty when nothing is selected.
std::wstring PickerSelection(HWND picker);
// The picker finds a folder by its item ids, which carry the folder's last access time (see
// WINE-NOTES): reading the folder and its parents just before it looks keeps that time still.
void ReadFolderAndParents(const fs::path& folder);
// Selects a folder in the picker as its owner would (BFFM_SETSELECTIONW); true when the
// tree then shows it selected.
bool PickerSelectFolder(HWND picker, const fs::path& folder);

}  // namespace pakvane::e2e

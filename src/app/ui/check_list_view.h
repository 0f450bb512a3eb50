#pragma once
// The check list: an owner-drawn list box that shows an AssociationList, a check box
// before each row's text. It draws, hit-tests and handles its keys itself; what the
// user does with it goes to its delegate. The list box holds only the number of rows
// and the selection; it answers LB_GETTEXT, LB_GETTEXTLEN, LB_GETITEMDATA (1 for a
// ticked row) and the LB_FINDSTRING family from the model, so that screen readers and test drivers read the rows as
// from any list box: the model is the list.
#include <windows.h>

#include <span>
#include <string_view>
#include <vector>

#include "app/ui/control_host.h"
#include "app/ui/dpi.h"
#include "app/ui/win32_handles.h"
#include "config/association_list.h"

namespace pakvane {

class CheckListDelegate {
public:
    virtual void CheckListSelectionChanged() = 0;  // the model's selection was changed by the user
    virtual void CheckListToggled(int index) = 0;  // the model's row was switched by the user
    virtual void CheckListCommand(int command) = 0;  // a key of the key table, or the open command
    virtual void CheckListContextMenu(POINT screen) = 0;

protected:
    ~CheckListDelegate() = default;
};

// A key that runs a command while the list has the focus.
struct CheckListKey {
    UINT virtualKey;
    bool control;  // with Ctrl held (and no Alt or Shift); otherwise with no modifier
    int command;
};

class CheckListView final : public ReflectedControl {
public:
    CheckListView(CheckListDelegate& delegate, AssociationList& model) : delegate_(delegate), model_(model) {}
    ~CheckListView();
    CheckListView(const CheckListView&) = delete;
    CheckListView& operator=(const CheckListView&) = delete;

    // Takes over an existing owner-drawn no-data list box (LBS_OWNERDRAWFIXED | LBS_NODATA,
    // without LBS_HASSTRINGS or LBS_SORT); throws std::logic_error for any other.
    // keys: commands by key while the list has the focus; openCommand: what a double click
    // on a row's text runs.
    void Attach(HWND listBox, ControlHost& host, const DpiScale& scale, std::span<const CheckListKey> keys,
                int openCommand);
    void OpenTheme();
    HWND Handle() const { return list_; }

    // Shows the whole model again, with drawing suspended, then repaints once.
    void Refresh();
    // Shows changed check states only; the rows' texts and order must be unchanged.
    void RefreshChecks();
    // The model's row `index` was removed (and nothing else changed): shown without
    // rebuilding the whole list.
    void RowRemoved(int index);

    int RowHeight() const { return scale_(kRowHeight); }
    // Where the list's menu opens when asked for from the keyboard, in screen coordinates.
    POINT KeyboardMenuPoint() const;

    bool OnDrawItem(const DRAWITEMSTRUCT& item) override;
    bool OnMeasureItem(MEASUREITEMSTRUCT& item) override;
    bool OnCommandNotification(int code) override;

private:
    static constexpr int kRowHeight = 13;  // at 96 dpi
    static constexpr int kCheckBoxSize = 13;  // at 96 dpi
    static constexpr int kTextIndent = 2;

    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT CallList(UINT message, WPARAM wParam, LPARAM lParam);
    void Detach();
    int CheckAreaWidth() const { return scale_(kCheckBoxSize + 2); }
    int ItemFromPoint(POINT point) const;
    void SyncSelectionFromView();
    void Toggle(int index);
    int FindRow(int after, std::wstring_view text, bool exact) const;
    void SelectByFirstLetter(wchar_t letter);
    void DrawCheckBox(HDC dc, const RECT& area, bool checked, bool enabled) const;

    CheckListDelegate& delegate_;
    AssociationList& model_;
    std::vector<CheckListKey> keys_;
    int openCommand_ = 0;
    HWND list_ = nullptr;
    WNDPROC listProcedure_ = nullptr;  // the list box's own procedure
    std::vector<bool> shownChecks_;  // the check states the list box shows now
    DpiScale scale_;
    UniqueTheme theme_;
};

}  // namespace pakvane

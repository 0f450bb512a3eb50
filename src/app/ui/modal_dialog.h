#pragma once
// A modal dialog hosted by the system dialog manager: a window class of its own whose
// procedure is DefDlgProc, created from an in-memory template, so Tab order, the default
// and cancel buttons, Alt+letter and the modal loop are the system's. The dialog creates
// its controls from its control table when it starts; control messages are reflected to
// the objects that own the controls, and no exception crosses back into Windows: one
// while the dialog starts ends it and comes back out of RunModal.
#include <windows.h>

#include <exception>
#include <functional>
#include <span>
#include <string>

#include "app/ui/control_host.h"
#include "app/ui/control_table.h"
#include "app/ui/dpi.h"
#include "app/ui/win32_handles.h"

namespace pakvane {

class ModalDialog : public ControlHost {
public:
    ModalDialog(const ModalDialog&) = delete;
    ModalDialog& operator=(const ModalDialog&) = delete;
    virtual ~ModalDialog() = default;

protected:
    // className: the dialog's window class (as other programs see it); designClient: its
    // client size at 96 dpi.
    ModalDialog(const wchar_t* className, SIZE designClient);

    // Shows the dialog owned by `owner` until End is called; returns what End was given.
    // Throws when the dialog cannot be shown or failed while it started.
    INT_PTR RunModal(HWND owner, HINSTANCE instance, const std::wstring& title);

    HWND Handle() const { return hwnd_; }
    HWND Control(int id) const { return GetDlgItem(hwnd_, id); }
    const DpiScale& Scale() const { return scale_; }
    HFONT Font() const { return font_.get(); }
    void End(INT_PTR result) { EndDialog(hwnd_, result); }

    // Creates the table's controls with the dialog's font and lays them out; call from OnStart.
    void CreateTable(std::span<const ControlRow> rows, HintTooltip* hints = nullptr,
                     const std::function<HWND(const ControlRow&)>& makeCustom = {});
    // Puts the dialog at a position (kept on a monitor), or centres it over its owner.
    void PlaceAt(POINT topLeft);
    void CenterOverOwner();

    // The dialog has been created and sized: make the controls, fill them, place the
    // dialog. Return true to let the dialog manager focus the first control.
    virtual bool OnStart() = 0;
    // A button or other command by id (BN_CLICKED and the like); return whether handled.
    virtual bool OnCommand(int id, int code) = 0;
    // Esc, the close box, or a button with the id IDCANCEL.
    virtual void OnCancel() { End(IDCANCEL); }
    // Anything else; return whether handled and set result (DWLP_MSGRESULT is set for you).
    virtual bool OnMessage(UINT, WPARAM, LPARAM, INT_PTR&) { return false; }

private:
    static INT_PTR CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    void Start();

    const wchar_t* className_;
    SIZE designClient_;
    HINSTANCE instance_ = nullptr;
    HWND hwnd_ = nullptr;
    DpiScale scale_;
    UniqueFont font_;
    std::exception_ptr failure_;
};

}  // namespace pakvane

#pragma once
// Reflection of control messages: a parent window (main window or dialog) hands the
// owner-draw and notification messages of a control to the object that owns the control,
// so controls that draw themselves keep their drawing and their notifications together.
#include <windows.h>

#include <utility>
#include <vector>

namespace pakvane {

class ReflectedControl {
public:
    // Each returns whether it handled the message.
    virtual bool OnDrawItem(const DRAWITEMSTRUCT&) { return false; }
    virtual bool OnMeasureItem(MEASUREITEMSTRUCT&) { return false; }
    // A WM_COMMAND notification code from the control (BN_CLICKED, LBN_SELCHANGE, ...).
    virtual bool OnCommandNotification(int) { return false; }
    virtual bool OnNotify(const NMHDR&, LRESULT&) { return false; }

protected:
    ~ReflectedControl() = default;
};

class ControlHost {
public:
    // The object answers for the control with this id until the host is gone. One object
    // may serve several ids (a set of image buttons).
    void Reflect(int id, ReflectedControl& control) { reflected_.emplace_back(id, &control); }

    // Hands a message to the owning object; returns whether it was handled (and result).
    bool ReflectMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) const
    {
        switch (message) {
        case WM_DRAWITEM: {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (ReflectedControl* owner = Find(static_cast<int>(item.CtlID)); owner && owner->OnDrawItem(item)) {
                result = TRUE;
                return true;
            }
            return false;
        }
        case WM_MEASUREITEM: {
            auto& item = *reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
            if (ReflectedControl* owner = Find(static_cast<int>(item.CtlID)); owner && owner->OnMeasureItem(item)) {
                result = TRUE;
                return true;
            }
            return false;
        }
        case WM_COMMAND:
            if (lParam == 0) return false;  // menus and accelerators are commands, not notifications
            if (ReflectedControl* owner = Find(LOWORD(wParam)); owner && owner->OnCommandNotification(HIWORD(wParam))) {
                result = 0;
                return true;
            }
            return false;
        case WM_NOTIFY: {
            const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
            if (ReflectedControl* owner = Find(static_cast<int>(header.idFrom))) return owner->OnNotify(header, result);
            return false;
        }
        default:
            return false;
        }
    }

private:
    ReflectedControl* Find(int id) const
    {
        for (const auto& [owned, control] : reflected_) {
            if (owned == id) return control;
        }
        return nullptr;
    }

    std::vector<std::pair<int, ReflectedControl*>> reflected_;
};

}  // namespace pakvane

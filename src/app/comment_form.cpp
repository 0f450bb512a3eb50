#include "app/comment_form.h"

#include "app/control_ids.h"
#include "app/ui/control_table.h"
#include "app/ui/modal_dialog.h"
#include "app/ui/ui_text.h"

namespace pakvane {

namespace {

constexpr SIZE kClientSize{372, 140};
constexpr int kMaxLength = 512;
constexpr DWORD kButton = kChildStyle | WS_TABSTOP;

constexpr ControlRow kControls[] = {
    {ids::kCommentMemo,
     L"EDIT",
     kChildStyle | WS_TABSTOP | WS_GROUP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL,
     WS_EX_CLIENTEDGE,
     {2, 15, 368, 88},
     kAnchorTopLeft},
    {ids::kCommentOkButton,
     L"BUTTON",
     kButton | WS_GROUP | BS_DEFPUSHBUTTON,
     0,
     {216, 112, 75, 25},
     kAnchorTopLeft,
     CaptionKind::Text,
     Str::Apply},
    {ids::kCommentCancelButton,
     L"BUTTON",
     kButton,
     0,
     {296, 112, 75, 25},
     kAnchorTopLeft,
     CaptionKind::Text,
     Str::Cancel},
    {ids::kOem2AnsiButton,
     L"BUTTON",
     kButton,
     0,
     {8, 112, 89, 25},
     kAnchorTopLeft,
     CaptionKind::Fixed,
     Str::IniGroup,
     L"OEM -> ANSI"},
    {ids::kCommentGroupBox,
     L"BUTTON",
     kChildStyle | BS_GROUPBOX,
     0,
     {0, 0, 372, 105},
     kAnchorTopLeft,
     CaptionKind::PaddedGroup,
     Str::Comment},
};
static_assert(IdsAreUnique(kControls));

// No interface string covers text the ANSI code page cannot hold, which only typed or
// pasted Unicode brings about; it is said in both languages.
constexpr wchar_t kUnrepresentableComment[] =
    L"\u041A\u043E\u043C\u043C\u0435\u043D\u0442\u0430\u0440\u0438\u0439 "
    L"\u0441\u043E\u0434\u0435\u0440\u0436\u0438\u0442 "
    L"\u0441\u0438\u043C\u0432\u043E\u043B\u044B, \u043A\u043E\u0442\u043E\u0440\u044B\u0445 \u043D\u0435\u0442 \u0432 "
    L"\u043A\u043E\u0434\u043E\u0432\u043E\u0439 \u0441\u0442\u0440\u0430\u043D\u0438\u0446\u0435 Windows.\n"
    L"The comment holds characters that the Windows code page lacks; descript.ion cannot store them.";

class TCommentForm final : public ModalDialog {
public:
    TCommentForm(const std::string& fileName, const std::string& comment, const InterfaceStrings& strings)
        : ModalDialog(kCommentFormClass, kClientSize),
          fileName_(fileName),
          comment_(comment),
          strings_(strings)
    {
    }

    std::optional<std::string> Run(HWND owner)
    {
        const HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(owner, GWLP_HINSTANCE));
        if (RunModal(owner, instance ? instance : GetModuleHandleW(nullptr), WidenAnsi(fileName_)) != IDOK) {
            return std::nullopt;
        }
        return comment_;
    }

private:
    bool OnStart() override
    {
        CreateTable(kControls);
        ApplyControlCaptions(Handle(), kControls, strings_, nullptr);
        SendMessageW(Control(ids::kCommentMemo), EM_SETLIMITTEXT, kMaxLength, 0);
        SetWindowTextW(Control(ids::kCommentMemo), WidenAnsi(comment_).c_str());
        SendMessageW(Handle(), DM_SETDEFID, ids::kCommentOkButton, 0);
        RECT window{};
        GetWindowRect(Handle(), &window);
        PlaceAt(POINT{(GetSystemMetrics(SM_CXSCREEN) - (window.right - window.left)) / 2,
                      (GetSystemMetrics(SM_CYSCREEN) - (window.bottom - window.top)) / 2});
        return true;
    }

    bool OnCommand(int id, int) override
    {
        switch (id) {
        case IDOK:
        case ids::kCommentOkButton:
            OkButtonClick();
            return true;
        case ids::kCommentCancelButton:
            End(IDCANCEL);
            return true;
        case ids::kOem2AnsiButton:
            Oem2AnsiButtonClick();
            return true;
        default:
            return false;
        }
    }

    std::wstring MemoText() const
    {
        HWND memo = Control(ids::kCommentMemo);
        std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(memo)) + 1, L'\0');
        text.resize(static_cast<std::size_t>(GetWindowTextW(memo, text.data(), static_cast<int>(text.size()))));
        return text;
    }

    // The memo's bytes read as OEM text and shown as ANSI text; each press converts again.
    void Oem2AnsiButtonClick()
    {
        std::string bytes = NarrowAnsi(MemoText());
        bytes.push_back('\0');
        OemToCharBuffA(bytes.data(), bytes.data(), static_cast<DWORD>(bytes.size()));
        bytes.resize(bytes.find('\0'));
        SetWindowTextW(Control(ids::kCommentMemo), WidenAnsi(bytes).c_str());
    }

    // Text the ANSI code page cannot hold would reach descript.ion as '?': refused, and the
    // dialog stays open for the user to change it.
    void OkButtonClick()
    {
        bool lossy = false;
        std::string text = NarrowAnsi(MemoText(), &lossy);
        if (lossy) {
            ShowMessageBox(Handle(), kUnrepresentableComment, Widen(strings_[Str::Error]), MB_ICONERROR);
            SetFocus(Control(ids::kCommentMemo));
            return;
        }
        comment_ = std::move(text);
        End(IDOK);
    }

    std::string fileName_;
    std::string comment_;
    const InterfaceStrings& strings_;
};

}  // namespace

std::optional<std::string> EditPluginComment(HWND owner, const std::string& fileName, const std::string& comment,
                                             const InterfaceStrings& strings)
{
    TCommentForm dialog(fileName, comment, strings);
    return dialog.Run(owner);
}

}  // namespace pakvane

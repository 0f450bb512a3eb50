#include "app/prop_form.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <string>

#include "app/control_ids.h"
#include "app/ui/button_images.h"
#include "app/ui/control_table.h"
#include "app/ui/modal_dialog.h"
#include "app/ui/ui_text.h"
#include "config/association.h"
#include "config/capabilities.h"

namespace pakvane {

namespace {

constexpr SIZE kClientSize{437, 222};
constexpr int kDropDownHeight = 200;  // the path list's open height, at 96 dpi
constexpr int kDropDownPadding = 24;  // added to the widest path when the list opens
constexpr UINT kWmFilePathPicked = WM_APP + 1;

constexpr DWORD kImageButton = kChildStyle | WS_TABSTOP | BS_OWNERDRAW;
constexpr DWORD kCheckBox = kChildStyle | WS_TABSTOP | BS_AUTOCHECKBOX;

constexpr ControlRow CheckBoxRow(int box, Str caption)
{
    return {ids::kProp1 + box, L"BUTTON",         kCheckBox, 0, {8, 49 + 16 * (box + 1), 385, 17},
            kAnchorTopLeft,    CaptionKind::Text, caption};
}

// In Tab order. The check boxes lie in GroupBox2; their places are given in the dialog's
// client area.
constexpr ControlRow kControls[] = {
    {ids::kPropGroupBox1,
     L"BUTTON",
     kChildStyle | BS_GROUPBOX,
     0,
     {0, 0, 437, 49},
     kAnchorTopLeft,
     CaptionKind::PaddedGroup,
     Str::ExtensionAndPathGroup},
    {ids::kExtEdit,
     L"EDIT",
     kChildStyle | WS_TABSTOP | WS_GROUP | ES_AUTOHSCROLL,
     WS_EX_CLIENTEDGE,
     {8, 16, 49, 21},
     kAnchorTopLeft},
    {ids::kKodShow,
     L"STATIC",
     kChildStyle | SS_CENTER | SS_CENTERIMAGE | SS_SUNKEN | SS_NOPREFIX,
     0,
     {64, 16, 33, 22},
     kAnchorTopLeft},
    {ids::kFilePath,
     L"COMBOBOX",
     kChildStyle | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_SORT | CBS_AUTOHSCROLL,
     0,
     {104, 16, 289, 21},
     kAnchorTopLeft},
    {ids::kPropOpenButton,
     L"BUTTON",
     kImageButton,
     0,
     {400, 14, 25, 25},
     kAnchorTopLeft,
     CaptionKind::Hint,
     Str::OpenFile},
    {ids::kPropGroupBox2,
     L"BUTTON",
     kChildStyle | BS_GROUPBOX,
     0,
     {0, 49, 401, 168},
     kAnchorTopLeft,
     CaptionKind::PaddedGroup,
     Str::CapabilitiesGroup},
    CheckBoxRow(0, Str::CapCreate),
    CheckBoxRow(1, Str::CapModify),
    CheckBoxRow(2, Str::CapMultiVolume),
    CheckBoxRow(3, Str::CapDelete),
    CheckBoxRow(4, Str::CapOptionsDialog),
    CheckBoxRow(5, Str::CapMemoryPack),
    CheckBoxRow(6, Str::CapDetectByContent),
    CheckBoxRow(7, Str::CapSearchText),
    CheckBoxRow(8, Str::CapHideIcon),
    {ids::kAutoButton,
     L"BUTTON",
     kImageButton | WS_GROUP,
     0,
     {408, 56, 25, 25},
     kAnchorTopLeft,
     CaptionKind::Hint,
     Str::AutoDetect},
    {ids::kConfigButton,
     L"BUTTON",
     kImageButton,
     0,
     {408, 88, 25, 25},
     kAnchorTopLeft,
     CaptionKind::Hint,
     Str::ConfigurePlugin},
    {ids::kPropOkButton, L"BUTTON", kImageButton, 0, {408, 168, 25, 25}, kAnchorTopLeft, CaptionKind::Hint, Str::Apply},
    {ids::kPropCancelButton,
     L"BUTTON",
     kImageButton,
     0,
     {408, 192, 25, 25},
     kAnchorTopLeft,
     CaptionKind::Hint,
     Str::Cancel},
};
static_assert(IdsAreUnique(kControls));

constexpr ImageButtonRow kImageButtons[] = {
    {ids::kPropOpenButton, L"OPEN"}, {ids::kAutoButton, L"AUTO"},         {ids::kConfigButton, L"PROP"},
    {ids::kPropOkButton, L"SAVE"},   {ids::kPropCancelButton, L"CANCEL"},
};

std::string Trimmed(const std::string& text)
{
    return std::string(TrimBlanks(text));
}

class TPropForm final : public ModalDialog {
public:
    TPropForm(const PluginProperties& input, const PropertiesContext& context)
        : ModalDialog(kPropFormClass, kClientSize),
          input_(input),
          context_(context)
    {
    }

    std::optional<PluginProperties> Run(HWND owner)
    {
        const HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(owner, GWLP_HINSTANCE));
        RunModal(owner, instance ? instance : GetModuleHandleW(nullptr),
                 Widen(context_.strings[Str::PropertiesCaption]));
        if (!confirmed_) return std::nullopt;
        return result_;
    }

private:
    bool OnStart() override;
    bool OnCommand(int id, int code) override;
    void OnCancel() override {}  // Escape does not cancel this dialog; the Cancel button and the frame do
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

    void ShowCapabilities(std::int32_t value);
    void Prop1Click(int box);
    std::optional<std::string> ExpandPluginPath();
    void OpenButtonClick();
    void FilePathClick();
    void FilePathDropDown();
    void AutoButtonClick();
    void ConfigButtonClick();
    void OKButtonClick();
    void FormClose(INT_PTR result);

    std::string FieldText(int id) const;
    void SetFieldText(int id, const std::string& text);
    void SelectPath(const std::string& path);
    void FailAt(int id, Str message);

    PluginProperties input_;
    const PropertiesContext& context_;
    std::int32_t value_ = 0;  // the capability value the dialog would store
    bool confirmed_ = false;
    PluginProperties result_;
    ImageButtons images_;
    HintTooltip hints_;
};

bool TPropForm::OnStart()
{
    CreateTable(kControls, &hints_);
    images_.Attach(Handle(), *this, kImageButtons);
    images_.LoadImages(reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(Handle(), GWLP_HINSTANCE)), Scale());
    HWND filePath = Control(ids::kFilePath);
    RECT closed{};
    GetWindowRect(filePath, &closed);
    SetWindowPos(filePath, nullptr, 0, 0, closed.right - closed.left, Scale()(21 + kDropDownHeight),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    // Every distinct path of the list once, compared without regard to case; the combo box
    // keeps them sorted the same way.
    for (const std::string& known : context_.knownPaths) {
        const std::wstring path = WidenAnsi(TrimBlanks(known));
        if (SendMessageW(filePath, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                         reinterpret_cast<LPARAM>(path.c_str())) == CB_ERR) {
            SendMessageW(filePath, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(path.c_str()));
        }
    }

    ApplyControlCaptions(Handle(), kControls, context_.strings, &hints_);
    hints_.Add(Control(ids::kProp1 + 8));
    hints_.SetText(Control(ids::kProp1 + 8), Widen(context_.strings[Str::CapHideIconHint]));

    SetFieldText(ids::kExtEdit, input_.extension);
    ShowCapabilities(input_.flags);
    SetFieldText(ids::kFilePath, Trimmed(input_.path));

    RECT window{};
    GetWindowRect(Handle(), &window);
    const POINT centred{(GetSystemMetrics(SM_CXSCREEN) - (window.right - window.left)) / 2,
                        (GetSystemMetrics(SM_CYSCREEN) - (window.bottom - window.top)) / 2};
    PlaceAt(context_.savedPosition ? context_.savedPosition(centred) : centred);
    return true;
}

std::string TPropForm::FieldText(int id) const
{
    HWND control = Control(id);
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return NarrowAnsi(text);
}

void TPropForm::SetFieldText(int id, const std::string& text)
{
    SetWindowTextW(Control(id), WidenAnsi(text).c_str());
}

// Ticks the boxes for a value and takes the whole value: bits without a box are kept.
void TPropForm::ShowCapabilities(std::int32_t value)
{
    for (int box = 0; box < kCapabilityBoxCount; ++box) {
        CheckDlgButton(Handle(), ids::kProp1 + box, IsCapabilityBoxTicked(value, box) ? BST_CHECKED : BST_UNCHECKED);
    }
    value_ = value;
    SetWindowTextW(Control(ids::kKodShow), std::to_wstring(value_).c_str());
}

void TPropForm::Prop1Click(int box)
{
    value_ = WithCapabilityBox(value_, box, IsDlgButtonChecked(Handle(), ids::kProp1 + box) == BST_CHECKED);
    SetWindowTextW(Control(ids::kKodShow), std::to_wstring(value_).c_str());
}

std::optional<std::string> TPropForm::ExpandPluginPath()
{
    const std::string path = Trimmed(FieldText(ids::kFilePath));
    if (!context_.expandPath) return path;
    return context_.expandPath(Handle(), path);
}

// Puts a path into the field as an entry of the list, adding it when it is missing.
void TPropForm::SelectPath(const std::string& path)
{
    HWND filePath = Control(ids::kFilePath);
    const std::wstring text = WidenAnsi(path);
    LRESULT at =
        SendMessageW(filePath, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str()));
    if (at == CB_ERR) at = SendMessageW(filePath, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    SendMessageW(filePath, CB_SETCURSEL, static_cast<WPARAM>(at), 0);
}

void TPropForm::OpenButtonClick()
{
    const std::optional<std::string> expanded = ExpandPluginPath();
    if (!expanded || !context_.browseForPlugin) return;
    const std::optional<std::string> chosen = context_.browseForPlugin(Handle(), *expanded);
    if (!chosen) return;
    const std::string file = Trimmed(*chosen);
    const std::optional<std::int32_t> flags = context_.checkPlugin(Handle(), file);
    if (!flags) return;
    ShowCapabilities(*flags);
    SelectPath(file);
}

// An entry picked from the list, or Enter in the path field: probe it and take what the
// plugin reports.
void TPropForm::FilePathClick()
{
    const std::optional<std::string> expanded = ExpandPluginPath();
    if (!expanded) return;
    const std::optional<std::int32_t> flags = context_.checkPlugin(Handle(), *expanded);
    if (!flags) return;
    const std::string path = Trimmed(FieldText(ids::kFilePath));
    ShowCapabilities(*flags);
    SelectPath(path);
}

// The list grows to show the longest path and never becomes narrower while open.
void TPropForm::FilePathDropDown()
{
    HWND filePath = Control(ids::kFilePath);
    const LRESULT current = SendMessageW(filePath, CB_GETDROPPEDWIDTH, 0, 0);
    if (current == CB_ERR) return;
    int widest = static_cast<int>(current);
    WindowDc dc(filePath);
    SelectedObject font(dc.Get(), Font());
    const LRESULT count = SendMessageW(filePath, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        std::wstring text(
            static_cast<std::size_t>(std::max<LRESULT>(SendMessageW(filePath, CB_GETLBTEXTLEN, i, 0), 0)) + 1, L'\0');
        text.resize(static_cast<std::size_t>(
            std::max<LRESULT>(SendMessageW(filePath, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data())), 0)));
        SIZE extent{};
        GetTextExtentPoint32W(dc.Get(), text.c_str(), static_cast<int>(text.size()), &extent);
        widest = std::max(widest, static_cast<int>(extent.cx) + kDropDownPadding);
    }
    SendMessageW(filePath, CB_SETDROPPEDWIDTH, static_cast<WPARAM>(widest), 0);
}

void TPropForm::AutoButtonClick()
{
    const std::optional<std::string> expanded = ExpandPluginPath();
    if (!expanded) return;
    if (const std::optional<std::int32_t> flags = context_.checkPlugin(Handle(), *expanded)) ShowCapabilities(*flags);
}

// Checks the library first (its reported flags are not used), then loads it again to
// open its own configuration window.
void TPropForm::ConfigButtonClick()
{
    const std::optional<std::string> expanded = ExpandPluginPath();
    if (!expanded) return;
    if (!context_.checkPlugin(Handle(), *expanded)) return;
    if (context_.configurePlugin) context_.configurePlugin(Handle(), *expanded);
}

void TPropForm::FailAt(int id, Str message)
{
    ShowMessageBox(Handle(), context_.strings, message, Str::Error, MB_ICONERROR);
    SetFocus(Control(id));
}

void TPropForm::OKButtonClick()
{
    const std::string extension = Trimmed(FieldText(ids::kExtEdit));
    if (extension.empty()) return FailAt(ids::kExtEdit, Str::NoExtension);
    const std::string path = Trimmed(FieldText(ids::kFilePath));
    if (path.empty()) return FailAt(ids::kFilePath, Str::NoPlugin);
    const std::optional<std::string> expanded = ExpandPluginPath();
    if (!expanded || !context_.checkPlugin(Handle(), *expanded)) {
        SetFocus(Control(ids::kFilePath));
        return;
    }
    result_ = PluginProperties{extension, value_, path};
    confirmed_ = true;
    FormClose(IDOK);
}

void TPropForm::FormClose(INT_PTR result)
{
    RECT window{};
    GetWindowRect(Handle(), &window);
    if (context_.rememberPosition) context_.rememberPosition(POINT{window.left, window.top});
    End(result);
}

bool TPropForm::OnCommand(int id, int code)
{
    if (id >= ids::kProp1 && id < ids::kProp1 + kCapabilityBoxCount) {
        if (code == BN_CLICKED) Prop1Click(id - ids::kProp1);
        return true;
    }
    switch (id) {
    case IDOK:
        // Enter: the dialog has no default button, but Enter in the path field probes it.
        if (IsChild(Control(ids::kFilePath), GetFocus()) || GetFocus() == Control(ids::kFilePath)) FilePathClick();
        return true;
    case ids::kFilePath:
        if (code == CBN_SELCHANGE) PostMessageW(Handle(), kWmFilePathPicked, 0, 0);  // once the field shows the pick
        if (code == CBN_DROPDOWN) FilePathDropDown();
        return true;
    case ids::kPropOpenButton:
        OpenButtonClick();
        return true;
    case ids::kAutoButton:
        AutoButtonClick();
        return true;
    case ids::kConfigButton:
        ConfigButtonClick();
        return true;
    case ids::kPropOkButton:
        OKButtonClick();
        return true;
    case ids::kPropCancelButton:
        FormClose(IDCANCEL);
        return true;
    default:
        return false;
    }
}

bool TPropForm::OnMessage(UINT message, WPARAM, LPARAM, INT_PTR& result)
{
    if (message == WM_CLOSE) {  // the frame's close box cancels
        FormClose(IDCANCEL);
        result = 0;
        return true;
    }
    if (message == kWmFilePathPicked) {
        FilePathClick();
        result = 0;
        return true;
    }
    return false;
}

}  // namespace

std::optional<PluginProperties> EditPluginProperties(HWND owner, const PluginProperties& input,
                                                     const PropertiesContext& context)
{
    TPropForm dialog(input, context);
    return dialog.Run(owner);
}

}  // namespace pakvane

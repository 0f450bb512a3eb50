// The main window's plugin services for the dialogs: expanding plugin paths, probing and
// configuring plugins, choosing a library file, the properties dialog's position.
#include <windows.h>

#include "app/control_ids.h"
#include "app/main_form.h"
#include "app/ui/file_dialog.h"
#include "app/ui/ui_text.h"

namespace pakvane {

PropertiesContext TMainForm::PropertiesContextFor()
{
    PropertiesContext context{strings_};
    context.knownPaths = KnownPluginPaths();
    context.expandPath = [](HWND, const std::string& path) -> std::optional<std::string> { return path; };
    context.checkPlugin = [](HWND, const std::string&) -> std::optional<std::int32_t> { return std::nullopt; };
    context.configurePlugin = [](HWND, const std::string&) {};
    context.browseForPlugin = [this](HWND owner, const std::string& initial) {
        return ChooseFileToOpen(owner,
                                {{Widen(strings_[Str::PluginFilter]) + L" (*.wcx)", L"*.wcx"},
                                 {Widen(strings_[Str::AllFilesFilter]) + L" (*.*)", L"*.*"}},
                                initial);
    };
    context.savedPosition = [this](POINT centred) {
        if (!settings_) return centred;
        const DialogPosition saved = ReadPropertiesPosition(*settings_, DialogPosition{centred.x, centred.y});
        return POINT{saved.left, saved.top};
    };
    context.rememberPosition = [this](POINT topLeft) {
        if (settings_) WritePropertiesPosition(*settings_, DialogPosition{topLeft.x, topLeft.y});
    };
    return context;
}

}  // namespace pakvane

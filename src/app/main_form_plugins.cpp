// The main window's plugin commands: the memo for the selected row, the search for plugins
// under a folder, choosing the commander folder, rewriting plugin paths to and from the
// %commander_path% form, and the plugin services the properties dialog uses.
#include <windows.h>

#include <exception>
#include <string>
#include <vector>

#include "app/browse_folder_dialog.h"
#include "app/comment_form.h"
#include "comments/descript_ion.h"
#include "app/control_ids.h"
#include "app/main_form.h"
#include "app/system_services.h"
#include "app/ui/file_dialog.h"
#include "app/ui/ui_text.h"
#include "app/ui/window_message_sink.h"
#include "comments/plugin_memo.h"
#include "config/association.h"
#include "config/commander_path.h"
#include "plugins/plugin_probe.h"
#include "plugins/plugin_search.h"
#include "plugins/plugin_twin.h"

namespace pakvane {

namespace {

// The hourglass for the length of a long command, and the cursor before it afterwards.
class WaitCursor {
public:
    WaitCursor() : previous_(SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32514)))) {}  // IDC_WAIT
    ~WaitCursor() { SetCursor(previous_); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    HCURSOR previous_;
};

}  // namespace

// What asking for the commander folder needs, for the length of one action: the messages
// owned by `owner`, and the folder picker.
template <class Action>
auto TMainForm::WithCommanderFolderUi(HWND owner, Action&& action)
{
    WindowMessageSink messages(owner, strings_);
    TBrowseFolderDialog dialog(owner);
    dialog.Flag = {TBrowseFlag::bfOnlySysDir};
    BrowseFolderPicker picker(dialog, strings_);
    return action(CommanderFolderUi{messages, picker});
}

// The memo: the selected plugin's comment (or the no-comment text), then its version
// summary. A row whose path needs an unknown commander folder asks for it first.
void TMainForm::WCXListClick()
{
    const PluginMemo memo = WithCommanderFolderUi(Handle(), [this](const CommanderFolderUi& ui) {
        return SelectedPluginMemo(
            list_, commanderFolder_, ui,
            PluginFacts{services_->files, services_->versions, *services_->rules, services_->directories}, strings_);
    });
    SetMemoText(Widen(memo.comment) + L"\r\n" + WidenAnsi(memo.versions));
}

// Every plugin found under a chosen folder that no row names yet becomes a switched-off
// "auto" row. The rows are put in only when the walk is over, so a walk that fails leaves
// the list as it was.
void TMainForm::FindItemClick()
{
    KnownPaths known;
    const std::optional<std::string> chosen =
        WithCommanderFolderUi(Handle(), [&](const CommanderFolderUi& ui) -> std::optional<std::string> {
            for (const AssociationRow& row : list_.Rows()) {
                std::string path = ParseAssociation(row.text).path;
                if (!ExpandCommanderPath(path, commanderFolder_, ui, *services_->rules)) return std::nullopt;
                known.Add(services_->rules->UpperAnsi(path));
            }
            return ui.picker.PickFolder(Str::AskSearchFolder, commanderFolder_);
        });
    if (!chosen) return;
    std::string folder = *chosen;
    if (!folder.empty() && folder.back() != '\\') folder += '\\';

    std::vector<std::string> found;
    {
        const WaitCursor wait;
        try {
            const SearchServices search{services_->directories, services_->plugins, *services_->rules,
                                        [this](std::uint16_t machine) { return services_->plugins.CanLoad(machine); }};
            found = SearchFolder(known, folder, search);
        } catch (const std::exception&) {
            found.clear();
        }
        list_.Reserve(list_.Count() + found.size());
        for (std::string& row : found) list_.Append(std::move(row), false);
        SortAssociations(list_, state_.sortMode, *services_->rules);
        listView_.Refresh();
    }
    WCXListClick();
    if (!found.empty()) SetUnsavedChanges(true);
}

void TMainForm::DefComItemClick()
{
    const bool chosen = WithCommanderFolderUi(
        Handle(), [this](const CommanderFolderUi& ui) { return ChooseCommanderFolder(commanderFolder_, ui.picker); });
    if (chosen) WCXListClick();
}

// The comment of the selected row's plugin library, edited in its dialog and written to
// the descript.ion of the library's folder. The memo shows the result either way.
void TMainForm::CommentItemClick()
{
    const int selected = list_.Selected();
    if (selected < 0 || static_cast<std::size_t>(selected) >= list_.Count()) return;
    std::string path = ParseAssociation(list_.Row(static_cast<std::size_t>(selected)).text).path;
    const bool expanded = WithCommanderFolderUi(Handle(), [&](const CommanderFolderUi& ui) {
        return ExpandCommanderPath(path, commanderFolder_, ui, *services_->rules);
    });
    if (expanded) {
        const std::string comment = ReadPluginComment(services_->files, *services_->rules, path);
        const std::string fileName = path.substr(path.find_last_of("\\/:") + 1);
        if (const std::optional<std::string> edited = EditPluginComment(Handle(), fileName, comment, strings_)) {
            if (!WritePluginComment(services_->files, *services_->rules, path, *edited)) {
                ShowMessageBox(Handle(), strings_, Str::CannotSaveComment, Str::Error, MB_ICONERROR);
            }
        }
    }
    WCXListClick();
}

void TMainForm::RewritePluginPaths(bool substitute)
{
    const std::optional<std::size_t> rewritten = WithCommanderFolderUi(Handle(), [&](const CommanderFolderUi& ui) {
        return substitute ? SubstituteCommanderPath(list_, commanderFolder_, ui, *services_->rules, state_.sortMode)
                          : RemoveCommanderPath(list_, commanderFolder_, ui, *services_->rules, state_.sortMode);
    });
    if (!rewritten) return;
    listView_.Refresh();
    if (*rewritten > 0) SetUnsavedChanges(true);
}

void TMainForm::AutoItemClick()
{
    RewritePluginPaths(true);
}

void TMainForm::DelAutoItemClick()
{
    RewritePluginPaths(false);
}

// What the properties dialog needs of the program, with the dialog as the owner of every
// message and of the folder picker.
PropertiesContext TMainForm::PropertiesContextFor()
{
    PropertiesContext context{strings_};
    context.knownPaths = KnownPluginPaths();
    // An empty path is let through; one in %commander_path% form needs the folder.
    context.expandPath = [this](HWND owner, const std::string& path) -> std::optional<std::string> {
        std::string expanded(TrimBlanks(path));
        if (expanded.empty()) return expanded;
        const bool ok = WithCommanderFolderUi(owner, [&](const CommanderFolderUi& ui) {
            return ExpandCommanderPath(expanded, commanderFolder_, ui, *services_->rules);
        });
        if (!ok) return std::nullopt;
        return expanded;
    };
    // Both go to the library behind the path: a .wcx64 twin where the .wcx is no plugin.
    context.checkPlugin = [this](HWND owner, const std::string& path) {
        WindowMessageSink messages(owner, strings_);
        return CheckPlugin(services_->plugins, messages,
                           PluginLibraryFor(services_->directories, *services_->rules, path));
    };
    context.configurePlugin = [this](HWND owner, const std::string& path) {
        WindowMessageSink messages(owner, strings_);
        ConfigurePlugin(services_->plugins, messages, reinterpret_cast<ParentWindow>(owner),
                        PluginLibraryFor(services_->directories, *services_->rules, path));
    };
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

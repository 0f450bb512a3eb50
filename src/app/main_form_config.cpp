// The main window's configuration commands: the settings file, finding, loading and
// saving the configuration file, the check-box rule and sorting. The work itself is the
// portable core's; this file asks the user and shows the results.
#include "app/main_form.h"

#include <algorithm>
#include <vector>

#include "app/control_ids.h"
#include "app/system_services.h"
#include "app/ui/file_dialog.h"
#include "app/ui/placement.h"
#include "app/ui/ui_text.h"
#include "config/association_rules.h"
#include "config/association_sort.h"
#include "config/locate.h"
#include "i18n/safe_format.h"
#include "platform/win32/wide_text.h"

namespace pakvane {

namespace {

// No interface string covers this case, which only a Unicode configuration file with
// characters outside the ANSI code page can bring about; it is said in both languages.
constexpr wchar_t kUnrepresentableMessage[] =
    L"\u041D\u0435 \u043C\u043E\u0433\u0443 \u0441\u043E\u0445\u0440\u0430\u043D\u0438\u0442\u044C "
    L"\u0438\u0437\u043C\u0435\u043D\u0435\u043D\u0438\u044F \u0431\u0435\u0437 \u043F\u043E\u0442\u0435\u0440\u0438 "
    L"\u0441\u0438\u043C\u0432\u043E\u043B\u043E\u0432.\n"
    L"Cannot save the changes without losing characters that the Windows code page lacks:\n%s";

// The questions and reasons below have no interface strings either; Russian, then English.
constexpr wchar_t kChangedMeanwhileMessage[] =
    L"\u0420\u0430\u0437\u0434\u0435\u043B [PackerPlugins] \u044D\u0442\u043E\u0433\u043E "
    L"\u0444\u0430\u0439\u043B\u0430 "
    L"\u0438\u0437\u043C\u0435\u043D\u0438\u043B\u0430 \u0434\u0440\u0443\u0433\u0430\u044F "
    L"\u043F\u0440\u043E\u0433\u0440\u0430\u043C\u043C\u0430 "
    L"\u043F\u043E\u0441\u043B\u0435 \u0437\u0430\u0433\u0440\u0443\u0437\u043A\u0438 "
    L"\u0441\u043F\u0438\u0441\u043A\u0430.\n"
    L"\u0414\u0430 \u2014 \u0437\u0430\u0433\u0440\u0443\u0437\u0438\u0442\u044C \u0435\u0433\u043E "
    L"\u0437\u0430\u043D\u043E\u0432\u043E "
    L"(\u043D\u0435\u0441\u043E\u0445\u0440\u0430\u043D\u0451\u043D\u043D\u044B\u0435 "
    L"\u0438\u0437\u043C\u0435\u043D\u0435\u043D\u0438\u044F "
    L"\u0441\u043F\u0438\u0441\u043A\u0430 \u0431\u0443\u0434\u0443\u0442 "
    L"\u043F\u043E\u0442\u0435\u0440\u044F\u043D\u044B), "
    L"\u041D\u0435\u0442 \u2014 \u043F\u0435\u0440\u0435\u0437\u0430\u043F\u0438\u0441\u0430\u0442\u044C, "
    L"\u041E\u0442\u043C\u0435\u043D\u0430 \u2014 \u043D\u0438\u0447\u0435\u0433\u043E \u043D\u0435 "
    L"\u0437\u0430\u043F\u0438\u0441\u044B\u0432\u0430\u0442\u044C.\n\n"
    L"Another program changed the [PackerPlugins] section of this file after the list was loaded.\n"
    L"Yes: load it again (the list's unsaved changes are lost). No: overwrite it. Cancel: write nothing.\n\n%s";

constexpr wchar_t kDeletedMessage[] =
    L"\u0424\u0430\u0439\u043B \u0443\u0434\u0430\u043B\u0451\u043D \u043F\u043E\u0441\u043B\u0435 "
    L"\u0437\u0430\u0433\u0440\u0443\u0437\u043A\u0438 \u0441\u043F\u0438\u0441\u043A\u0430. "
    L"\u0421\u043E\u0437\u0434\u0430\u0442\u044C "
    L"\u043D\u043E\u0432\u044B\u0439 \u0444\u0430\u0439\u043B, \u0432 \u043A\u043E\u0442\u043E\u0440\u043E\u043C "
    L"\u0431\u0443\u0434\u0435\u0442 \u0442\u043E\u043B\u044C\u043A\u043E \u0440\u0430\u0437\u0434\u0435\u043B "
    L"[PackerPlugins]?\n\n"
    L"The file was deleted after the list was loaded. Create a new file that holds only the [PackerPlugins] "
    L"section?\n\n%s";

constexpr wchar_t kRedirectToItselfMessage[] =
    L"RedirectSection \u044D\u0442\u043E\u0433\u043E \u0444\u0430\u0439\u043B\u0430 "
    L"\u0443\u043A\u0430\u0437\u044B\u0432\u0430\u0435\u0442 "
    L"\u043D\u0430 \u0441\u0430\u043C \u044D\u0442\u043E\u0442 \u0444\u0430\u0439\u043B.\n"
    L"RedirectSection of this file points to the file itself:\n%s";

constexpr wchar_t kRedirectChainMessage[] =
    L"RedirectSection \u0443\u043A\u0430\u0437\u044B\u0432\u0430\u0435\u0442 \u043D\u0430 \u0444\u0430\u0439\u043B, "
    L"\u0440\u0430\u0437\u0434\u0435\u043B \u043A\u043E\u0442\u043E\u0440\u043E\u0433\u043E "
    L"\u0441\u043D\u043E\u0432\u0430 "
    L"\u043F\u0435\u0440\u0435\u043D\u0430\u043F\u0440\u0430\u0432\u043B\u0435\u043D.\n"
    L"RedirectSection points to a file whose section is redirected again:\n%s";

constexpr wchar_t kBigEndianMessage[] =
    L"\u0424\u0430\u0439\u043B \u0432 \u043A\u043E\u0434\u0438\u0440\u043E\u0432\u043A\u0435 UTF-16 big-endian: "
    L"\u0441\u043E\u0445\u0440\u0430\u043D\u0438\u0442\u0435 \u0435\u0433\u043E \u0432 ANSI, UTF-8 \u0438\u043B\u0438 "
    L"UTF-16 little-endian.\n"
    L"The file is in UTF-16 big-endian, which cannot be read: save it as ANSI, UTF-8 or UTF-16 little-endian:\n%s";

constexpr wchar_t kMalformedHeaderMessage[] =
    L"\u0417\u0430\u0433\u043E\u043B\u043E\u0432\u043E\u043A \u0440\u0430\u0437\u0434\u0435\u043B\u0430 "
    L"[PackerPlugins] "
    L"\u043F\u043E\u0432\u0440\u0435\u0436\u0434\u0451\u043D (\u043D\u0435\u0442 "
    L"\u0437\u0430\u043A\u0440\u044B\u0432\u0430\u044E\u0449\u0435\u0439 "
    L"\u0441\u043A\u043E\u0431\u043A\u0438): \u0438\u0441\u043F\u0440\u0430\u0432\u044C\u0442\u0435 \u0435\u0433\u043E "
    L"\u0432\u0440\u0443\u0447\u043D\u0443\u044E.\n"
    L"The [PackerPlugins] section header is broken (no closing bracket): correct it by hand:\n%s";

// Why a file could not be loaded, when there is more to say than "cannot open".
const wchar_t* LoadProblemMessage(LoadProblem problem)
{
    switch (problem) {
    case LoadProblem::RedirectToItself:
        return kRedirectToItselfMessage;
    case LoadProblem::RedirectChain:
        return kRedirectChainMessage;
    case LoadProblem::BigEndianText:
        return kBigEndianMessage;
    case LoadProblem::MalformedHeader:
        return kMalformedHeaderMessage;
    case LoadProblem::None:
        break;
    }
    return nullptr;
}

}  // namespace

void TMainForm::UseSettingsFile(std::string path)
{
    settingsPath_ = std::move(path);
}

void TMainForm::OpenSettings()
{
    // No path at all rather than a relative ".ini": a save then reports the settings file.
    if (settingsPath_.empty()) {
        const std::string executable = ExecutablePath();
        if (!executable.empty()) settingsPath_ = SettingsPathFor(executable);
    }
    RemoveLeftoverTemporaryFiles(settingsPath_);
    settings_.emplace(ProfileFile(services_->files, services_->codePage, settingsPath_));
}

void TMainForm::ReadStartupSettings()
{
    const StartupSettings startup = pakvane::ReadStartupSettings(*settings_);
    state_.languageFile = startup.language;
    SetSortByExtension(startup.sortByExtension);
    commanderFolder_ = startup.commanderFolder;
    rememberedConfiguration_ = startup.configurationFile;
}

void TMainForm::LocateConfigurationFile()
{
    const LocateResult result = pakvane::LocateConfigurationFile(
        arguments_, rememberedConfiguration_, services_->registry, services_->environment,
        [this](const std::string& path) { return LoadConfiguration(path); });
    if (result.outcome == LocateResult::Outcome::Loaded) RemoveLeftoverTemporaryFiles(result.path);
    if (result.outcome == LocateResult::Outcome::ArgumentFailed) {
        ReportLoadFailure();
    } else if (result.outcome == LocateResult::Outcome::NoneFound) {
        ShowMessageBox(Handle(), strings_, Str::IniNotFound, Str::Error, MB_ICONERROR);
    }
}

void TMainForm::LocateCommanderFolder()
{
    commanderFolder_ =
        pakvane::LocateCommanderFolder(arguments_, commanderFolder_, services_->registry, services_->environment);
    commanderFolderLocated_ = true;
}

// The folder that %COMMANDER_PATH% stands for. While the configuration file is still being
// found at start-up the folder chain has not run yet, so ask it what it would give.
std::string TMainForm::CommanderFolderForPaths() const
{
    if (commanderFolderLocated_) return commanderFolder_;
    return pakvane::LocateCommanderFolder(arguments_, commanderFolder_, services_->registry, services_->environment);
}

bool TMainForm::LoadConfiguration(const std::string& path)
{
    const HCURSOR previous = SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32514)));  // IDC_WAIT
    const LoadResult result = LoadAssociations(services_->Io(), path, settingsPath_, CommanderFolderForPaths(), list_);
    SetCursor(previous);
    lastLoadProblem_ = result.problemPath;
    switch (result.outcome) {
    case LoadResult::Outcome::Missing:
        return false;
    case LoadResult::Outcome::Failed:
        list_.Clear();
        DisableListCommands();
        listView_.Refresh();
        return false;
    case LoadResult::Outcome::Loaded:
        break;
    }
    ShowConfigurationPath(path);
    state_.configurationLoaded = true;
    if (list_.Count() > 0) {
        SortAssociations(list_, state_.sortMode, *services_->rules);
        list_.Select(0);
        state_.rowCommands = true;
    }
    ShowCommandStates();
    listView_.Refresh();
    return true;
}

// "Cannot open file" naming what could not be opened: the file itself, or the file its
// section is redirected to.
void TMainForm::ReportLoadFailure()
{
    const LoadProblem problem = DiagnoseLoadFailure(services_->Io(), lastLoadProblem_, CommanderFolderForPaths());
    if (const wchar_t* reason = LoadProblemMessage(problem)) {
        ShowMessageBox(Handle(), SafeFormat(std::wstring_view(reason), WidenAnsi(lastLoadProblem_)),
                       Widen(strings_[Str::Error]), MB_ICONERROR);
        return;
    }
    ShowMessageBox(Handle(), FormatUiMessage(strings_[Str::CannotOpenFile], lastLoadProblem_),
                   Widen(strings_[Str::Error]), MB_ICONERROR);
}

bool TMainForm::SaveConfiguration()
{
    SaveOptions options;
    for (;;) {
        const SaveResult result =
            SaveAssociations(services_->Io(), iniPath_, settingsPath_, CommanderFolderForPaths(), list_, options);
        if (result.conflict == SaveConflict::ChangedMeanwhile) {
            // Nothing has been written; the user decides whose lines win.
            const std::wstring question =
                SafeFormat(std::wstring_view(kChangedMeanwhileMessage), WidenAnsi(result.problemPath));
            const int answer =
                ShowMessageBox(Handle(), question, Widen(strings_[Str::Question]), MB_YESNOCANCEL | MB_ICONWARNING);
            if (answer == IDNO) {
                options.overwriteChanges = true;
                continue;
            }
            if (answer == IDYES) {
                const std::string path = iniPath_;
                DisableListCommands();
                if (!LoadConfiguration(path)) ReportLoadFailure();
            }
            return false;
        }
        if (result.conflict == SaveConflict::ConfigurationDeleted) {
            const int answer =
                ShowMessageBox(Handle(), SafeFormat(std::wstring_view(kDeletedMessage), WidenAnsi(result.problemPath)),
                               Widen(strings_[Str::Question]), MB_YESNO | MB_ICONWARNING);
            if (answer != IDYES) return false;
            options.createDeleted = true;
            continue;
        }
        if (result.status == WriteStatus::Ok) {
            ShowMessageBox(Handle(), strings_, Str::SaveSucceeded, Str::Information, MB_ICONINFORMATION);
            SetUnsavedChanges(false);
            services_->commander->NotifyPluginsChanged();
            return true;
        }
        if (result.status == WriteStatus::Unrepresentable) {
            // Retrying cannot help, and writing would lose characters: keep the changes in
            // the list and the file as it is, and say why.
            ShowMessageBox(Handle(),
                           SafeFormat(std::wstring_view(kUnrepresentableMessage), WidenAnsi(result.problemPath)),
                           Widen(strings_[Str::Error]), MB_ICONERROR);
            return false;
        }
        if (result.redirect == RedirectProblem::ToItself || result.redirect == RedirectProblem::Chain) {
            // Retrying cannot help until the file is corrected by hand.
            const wchar_t* reason =
                result.redirect == RedirectProblem::ToItself ? kRedirectToItselfMessage : kRedirectChainMessage;
            ShowMessageBox(Handle(), SafeFormat(std::wstring_view(reason), WidenAnsi(result.problemPath)),
                           Widen(strings_[Str::Error]), MB_ICONERROR);
            return false;
        }
        if (result.redirect == RedirectProblem::Unresolved) {
            ShowMessageBox(Handle(), FormatUiMessage(strings_[Str::CannotOpenFile], result.problemPath),
                           Widen(strings_[Str::Error]), MB_ICONERROR);
        }
        const int answer =
            ShowMessageBox(Handle(), strings_, Str::SaveFailedRetry, Str::Error, MB_YESNOCANCEL | MB_ICONERROR);
        if (answer == IDYES) continue;
        return answer == IDNO;
    }
}

// Before the list is dropped (closing, another file): with unsaved changes ask whether to
// save. Yes goes on only when the save allows it, No goes on, Cancel (or a box that could
// not be shown) stays.
bool TMainForm::SettleUnsavedChanges()
{
    if (!HasUnsavedChanges()) return true;
    const int answer =
        ShowMessageBox(Handle(), strings_, Str::SaveQuestion, Str::Question, MB_YESNOCANCEL | MB_ICONQUESTION);
    if (answer == IDYES) return SaveConfiguration();
    return answer == IDNO;
}

// Another configuration file: ask about unsaved changes, let the user pick the file, load it.
void TMainForm::OpenIniButtonClick()
{
    if (!SettleUnsavedChanges()) return;

    const std::optional<std::string> chosen =
        ChooseFileToOpen(Handle(),
                         {{Widen(strings_[Str::IniFilter]) + L" (*.ini)", L"*.ini"},
                          {Widen(strings_[Str::AllFilesFilter]) + L" (*.*)", L"*.*"}},
                         iniPath_);
    if (!chosen) return;
    DisableListCommands();
    if (!LoadConfiguration(*chosen)) ReportLoadFailure();
}

void TMainForm::SortList()
{
    SortAssociations(list_, state_.sortMode, *services_->rules);
    listView_.Refresh();
}

// A check box changed on the selected row: keep one switched-on row per extension.
void TMainForm::EnforceSingleEnabled()
{
    pakvane::EnforceSingleEnabled(list_, *services_->rules);
    SetUnsavedChanges(true);
}

void TMainForm::WriteSettings()
{
    if (!settings_) return;
    ClosingSettings closing;
    closing.placement.maximized = IsZoomed(Handle()) != FALSE;
    if (IsZoomed(Handle()) || IsIconic(Handle())) ShowWindow(Handle(), SW_RESTORE);
    RECT bounds{};
    GetWindowRect(Handle(), &bounds);
    closing.placement.left = bounds.left;
    closing.placement.top = bounds.top;
    closing.placement.width = bounds.right - bounds.left;
    closing.placement.height = bounds.bottom - bounds.top;
    closing.placement.memoHeight = memoHeight_;
    closing.language = state_.languageFile;
    closing.sortByExtension = SortByExtension();
    closing.commanderFolder = commanderFolder_;
    closing.configurationFile = iniPath_;
    WriteClosingSettings(*settings_, closing);  // a failed write is not reported
    settings_.reset();
}

// The saved placement, applied value by value; a window that would lie wholly outside
// every monitor (one was removed since) is brought onto the nearest one.
void TMainForm::RestorePlacement()
{
    RECT window{};
    GetWindowRect(Handle(), &window);
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    WindowPlacementSettings defaults;
    defaults.left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    defaults.top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    defaults.width = width;
    defaults.height = height;
    defaults.memoHeight = memoHeight_;
    const WindowPlacementSettings saved = settings_ ? ReadWindowPlacement(*settings_, defaults) : defaults;

    const RECT savedBounds{saved.left, saved.top, saved.left + std::max<int>(saved.width, minimumSize_.cx),
                           saved.top + std::max<int>(saved.height, minimumSize_.cy)};
    const RECT wanted = KeepOnMonitor(savedBounds, CurrentMonitors());
    SetWindowPos(Handle(), nullptr, wanted.left, wanted.top, wanted.right - wanted.left, wanted.bottom - wanted.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SetMemoHeight(saved.memoHeight);
    if (saved.maximized) ShowWindow(Handle(), SW_MAXIMIZE);
}

}  // namespace pakvane

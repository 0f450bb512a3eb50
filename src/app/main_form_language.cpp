// The language submenu: the built-in language, a separator, then one item per language
// file beside the executable; choosing one refills the interface strings and re-captions
// the window at once. Dialogs take the strings when they open, so they follow too.
#include <windows.h>

#include "app/control_ids.h"
#include "app/main_form.h"
#include "app/system_services.h"
#include "app/ui/menu_table.h"
#include "app/ui/ui_text.h"
#include "platform/win32/wide_text.h"

namespace pakvane {

LanguageFolder TMainForm::Languages() const
{
    return LanguageFolder(services_->files, services_->codePage, services_->directories, languageFolder_);
}

// Once, while the window is created. The saved name stays as it was spelled when a listed
// file matches it ignoring case, so it is saved again unchanged; otherwise none is chosen.
void TMainForm::BuildLanguageMenu(std::string savedFile)
{
    state_.languageFile.clear();
    state_.languageFileUsed = false;
    // No executable path means no folder: never the current folder instead.
    if (languageFolder_.empty()) languageFolder_ = FolderOfPath(ExecutablePath());
    languageFiles_.clear();
    for (pakvane::LanguageFile& file : Languages().List()) {
        const int id = ids::kFirstLanguageItem + static_cast<int>(languageFiles_.size());
        if (id > ids::kLastLanguageItem) break;
        if (AppendRadioItem(languageMenu_, id, WidenAnsi(file.name))) languageFiles_.push_back(std::move(file));
    }
    if (FindLanguageFile(languageFiles_, savedFile, *services_->rules)) state_.languageFile = std::move(savedFile);
    ShowCommandStates();
}

// Built-in strings, then the chosen file's replacements when it can be read as a language
// file; the captions follow at once. The name is kept even when the file is gone.
bool TMainForm::ApplyLanguage()
{
    const std::optional<LanguageStrings> replacements = Languages().ReadStrings(state_.languageFile);
    if (replacements) {
        strings_.Fill(*replacements);
    } else {
        strings_.FillBuiltIn();
    }
    state_.languageFileUsed = replacements.has_value();
    ApplyCaptions();
    ShowCommandStates();
    return state_.languageFileUsed;
}

// The built-in item and every language file's item. The memo is refilled as well, so that
// its text for a plugin without comment speaks the new language too.
void TMainForm::DefLngItemClick(int id)
{
    if (id == ids::kDefLngItem) {
        state_.languageFile.clear();
    } else {
        const auto index = static_cast<std::size_t>(id - ids::kFirstLanguageItem);
        if (id < ids::kFirstLanguageItem || index >= languageFiles_.size()) return;  // no such item
        state_.languageFile = languageFiles_[index].fileName;
    }
    ApplyLanguage();
    WCXListClick();
}

// The radio mark on the language in force: the chosen file's item while its strings are
// used, the built-in item otherwise (also when the chosen file could not be read).
void TMainForm::ShowLanguageMark()
{
    const std::optional<std::size_t> chosen =
        state_.languageFileUsed ? FindLanguageFile(languageFiles_, state_.languageFile, *services_->rules)
                                : std::nullopt;
    const int marked = chosen ? ids::kFirstLanguageItem + static_cast<int>(*chosen) : ids::kDefLngItem;
    CheckMenuItem(languageMenu_, ids::kDefLngItem,
                  MF_BYCOMMAND | (marked == ids::kDefLngItem ? MF_CHECKED : MF_UNCHECKED));
    for (std::size_t i = 0; i < languageFiles_.size(); ++i) {
        const int id = ids::kFirstLanguageItem + static_cast<int>(i);
        CheckMenuItem(languageMenu_, static_cast<UINT>(id), MF_BYCOMMAND | (marked == id ? MF_CHECKED : MF_UNCHECKED));
    }
}

}  // namespace pakvane

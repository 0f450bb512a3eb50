#pragma once
// The built-in interface texts as a user sees them, written out here independently of
// the program's own table so that a wrong or mis-encoded text in the program shows up.

#include <array>
#include <string>

namespace pakvane::e2e {

inline constexpr std::array<const wchar_t*, 54> kExpectedStrings = {
    L"Файл настройки Total Commander (*.ini file)",  // 0: Total Commander settings file (*.ini file)
    L"Открыть файл",  // 1: Open file
    L"Файлы настройки",  // 2: Settings files
    L"Все файлы",  // 3: All files
    L"Список WCX плугинов",  // 4: List of WCX plugins
    L"Добавить",  // 5: Add
    L"Свойства",  // 6: Properties
    L"Удалить",  // 7: Delete
    L"Принять",  // 8: Apply
    L"Отмена",  // 9: Cancel
    L"Сортировать по расширению",  // 10: Sort by extension
    L"Сортировать по плугинам",  // 11: Sort by plugins
    L"Автоподстановка %commander_path%",  // 12: Auto-substitute %commander_path%
    L"Убрать %commander_path%",  // 13: Remove %commander_path%
    L"Язык\\Language",  // 14: Language, in Russian and English
    L"Были произведены изменения. Сохранить?",  // 15: Changes were made. Save?
    L"Вопрос",  // 16: Question
    L"Не могу открыть файл %s !!!",  // 17: Cannot open file %s !!!
    L"Ошибка",  // 18: Error
    L"Файл настройки (*.ini) не найден !",  // 19: Settings file (*.ini) not found !
    L"Вы действительно хотите удалить связь с расширением (%s)?",  // 20: Do you really want to delete the association with the extension (%s)?
    L"Сохранение упешно завершено !",  // 21: Saving completed successfully !
    L"Информация",  // 22: Information
    L"Ошибка сохранения!!! Повторить?",  // 23: Save error!!! Retry?
    L"Бонусы",  // 24: Extras
    L"Укажите папаку, где находится Total Commander (%commander_path%)",  // 25: Give the folder where Total Commander is (%commander_path%)
    L"Возможности WCX плугина",  // 26: WCX plugin capabilities
    L"Может создавать новые архивы",  // 27: Can create new archives
    L"Может изменять существующие архивы",  // 28: Can modify existing archives
    L"Поддержка многотомных архивов",  // 29: Multi-volume archive support
    L"Может удалять файлы из архива",  // 30: Can delete files from an archive
    L"Поддерживает диалог свойств",  // 31: Supports the options dialog
    L"Поддерживает упаковку в памяти",  // 32: Supports packing in memory
    L"Может определять тип архива по содержимому",  // 33: Can detect the archive type by content
    L"Может искать текст в архивах",  // 34: Can search text in archives
    L"Показывать как обыкновенные файлы",  // 35: Show as ordinary files
    L"Не показывать иконку архивного файла, входить по Ctrl+PgDn а не по Enter",  // 36: Do not show the archive file icon, enter with Ctrl+PgDn and not with Enter
    L"Расширение (тип файла) и путь до плугина",  // 37: Extension (file type) and path to the plugin
    L"WCX плугины",  // 38: WCX plugins
    L"Функция не определена",  // 39: Function not defined
    L"Автоопределение возможностей",  // 40: Auto-detect capabilities
    L"Настойка плугина",  // 41: Plugin configuration
    L"Не указано расширение",  // 42: No extension given
    L"Не выбран плугин",  // 43: No plugin chosen
    L"Найти все WCX плугины",  // 44: Find all WCX plugins
    L"Укажите папку поиска",  // 45: Give the search folder
    L"Русский (по умолчанию)",  // 46: Russian (default)
    L"Свойства WCX плугина",  // 47: WCX plugin properties
    L"Определить %commander_path%",  // 48: Determine %commander_path%
    L"Не могу загрузить плугин %s",  // 49: Cannot load plugin %s
    L"Переменная %commander_path% не определена",  // 50: Variable %commander_path% is not defined
    L"<Нет комментария>",  // 51: No comment, in angle brackets
    L"Kомментарий к плугину",  // 52: Comment on the plugin
    L"Не могу сохранить комментарий",  // 53: Cannot save comment
};

// Interface text number n as the main window shows it.
inline std::wstring S(int n) { return kExpectedStrings.at(static_cast<size_t>(n)); }

// A group box caption: one space, the text, one space.
inline std::wstring Padded(int n) { return L" " + S(n) + L" "; }

inline constexpr wchar_t kMainCaptionW[] = L"Pakvane 0.5.2b (Made by Terol)";

}  // namespace pakvane::e2e

#include "i18n/interface_strings.h"

#include <cstdint>
#include <vector>

namespace pakvane {

namespace {

// Entries 0 to 53 in UTF-8 (converted to Windows-1251 once, on first use).
// Entry 52 really begins with the Latin capital K.
const char* const kBuiltInUtf8[] = {
    "Файл настройки Total Commander (*.ini file)",  // 0
    "Открыть файл",  // 1
    "Файлы настройки",  // 2
    "Все файлы",  // 3
    "Список WCX плугинов",  // 4
    "Добавить",  // 5
    "Свойства",  // 6
    "Удалить",  // 7
    "Принять",  // 8
    "Отмена",  // 9
    "Сортировать по расширению",  // 10
    "Сортировать по плугинам",  // 11
    "Автоподстановка %commander_path%",  // 12
    "Убрать %commander_path%",  // 13
    "Язык\\Language",  // 14
    "Были произведены изменения. Сохранить?",  // 15
    "Вопрос",  // 16
    "Не могу открыть файл %s !!!",  // 17
    "Ошибка",  // 18
    "Файл настройки (*.ini) не найден !",  // 19
    "Вы действительно хотите удалить связь с расширением (%s)?",  // 20
    "Сохранение упешно завершено !",  // 21
    "Информация",  // 22
    "Ошибка сохранения!!! Повторить?",  // 23
    "Бонусы",  // 24
    "Укажите папаку, где находится Total Commander (%commander_path%)",  // 25
    "Возможности WCX плугина",  // 26
    "Может создавать новые архивы",  // 27
    "Может изменять существующие архивы",  // 28
    "Поддержка многотомных архивов",  // 29
    "Может удалять файлы из архива",  // 30
    "Поддерживает диалог свойств",  // 31
    "Поддерживает упаковку в памяти",  // 32
    "Может определять тип архива по содержимому",  // 33
    "Может искать текст в архивах",  // 34
    "Показывать как обыкновенные файлы",  // 35
    "Не показывать иконку архивного файла, входить по Ctrl+PgDn а не по Enter",  // 36
    "Расширение (тип файла) и путь до плугина",  // 37
    "WCX плугины",  // 38
    "Функция не определена",  // 39
    "Автоопределение возможностей",  // 40
    "Настойка плугина",  // 41
    "Не указано расширение",  // 42
    "Не выбран плугин",  // 43
    "Найти все WCX плугины",  // 44
    "Укажите папку поиска",  // 45
    "Русский (по умолчанию)",  // 46
    "Свойства WCX плугина",  // 47
    "Определить %commander_path%",  // 48
    "Не могу загрузить плугин %s",  // 49
    "Переменная %commander_path% не определена",  // 50
    "<Нет комментария>",  // 51
    "Kомментарий к плугину",  // 52
    "Не могу сохранить комментарий",  // 53
};
constexpr int kBuiltInTextCount = static_cast<int>(sizeof kBuiltInUtf8 / sizeof kBuiltInUtf8[0]);
static_assert(kBuiltInTextCount == 54, "entries 0..53 have built-in texts");

const std::vector<std::string>& BuiltInTable()
{
    static const std::vector<std::string> table = [] {
        std::vector<std::string> converted(kInterfaceStringCount);
        for (int i = 0; i < kBuiltInTextCount; ++i) converted[i] = Utf8ToWindows1251(kBuiltInUtf8[i]);
        return converted;
    }();
    return table;
}

// Decodes one UTF-8 sequence at s[i]; returns U+FFFD for a malformed one and advances i.
char32_t DecodeUtf8(std::string_view s, std::size_t& i)
{
    const auto lead = static_cast<unsigned char>(s[i++]);
    if (lead < 0x80) return lead;
    int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
    if (extra < 0) return 0xFFFD;
    char32_t cp = lead & (0x3F >> extra);
    for (; extra > 0; --extra) {
        if (i >= s.size() || (static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) return 0xFFFD;
        cp = (cp << 6) | (static_cast<unsigned char>(s[i++]) & 0x3F);
    }
    return cp;
}

}  // namespace

std::string Utf8ToWindows1251(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const char32_t cp = DecodeUtf8(utf8, i);
        if (cp < 0x80)
            out += static_cast<char>(cp);
        else if (cp >= 0x410 && cp <= 0x44F)
            out += static_cast<char>(0xC0 + (cp - 0x410));
        else if (cp == 0x401)
            out += static_cast<char>(0xA8);  // Yo
        else if (cp == 0x451)
            out += static_cast<char>(0xB8);  // yo
        else
            out += '?';
    }
    return out;
}

const std::string& BuiltInString(int index)
{
    static const std::string empty;
    if (index < 0 || index >= kInterfaceStringCount) return empty;
    return BuiltInTable()[static_cast<std::size_t>(index)];
}

void InterfaceStrings::FillBuiltIn()
{
    for (int i = 0; i < kInterfaceStringCount; ++i)
        entries_[static_cast<std::size_t>(i)] = UiText{BuiltInString(i), kBuiltInCodePage};
    filled_ = true;
}

void InterfaceStrings::Replace(int index, std::string ansiText)
{
    if (index < 0 || index >= kInterfaceStringCount) return;
    entries_[static_cast<std::size_t>(index)] = UiText{std::move(ansiText), kAnsiCodePage};
}

const UiText& InterfaceStrings::Get(int index) const
{
    static const UiText empty;
    if (index < 0 || index >= kInterfaceStringCount) return empty;
    return entries_[static_cast<std::size_t>(index)];
}

UiText Padded(const UiText& text)
{
    return UiText{" " + text.text + " ", text.codePage};
}

}  // namespace pakvane

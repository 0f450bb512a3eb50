#include "i18n/message_detail.h"

#include <string_view>

namespace pakvane {

namespace {

struct DetailTexts {
    std::string_view english;
    std::string_view russian;  // UTF-8 here, shown in Windows-1251 like the built-in texts
};

DetailTexts TextsOf(MessageDetail detail)
{
    switch (detail) {
    case MessageDetail::None:
        break;
    case MessageDetail::PluginCrashed:
        return {"The plugin crashed.", "Плугин аварийно завершился."};
    case MessageDetail::PluginHung:
        return {"The plugin did not answer in time and was stopped.", "Плугин не ответил вовремя и был остановлен."};
    case MessageDetail::No32BitHost:
        return {"It is a 32-bit plugin: pakvane-host32.exe is missing or cannot run on this system.",
                "Это 32-битный плугин: pakvane-host32.exe отсутствует или не может работать в этой системе."};
    case MessageDetail::No64BitHost:
        return {"It is a 64-bit plugin: pakvane-host64.exe is missing or cannot run on this system.",
                "Это 64-битный плугин: pakvane-host64.exe отсутствует или не может работать в этой системе."};
    case MessageDetail::OtherProcessor:
        return {"The plugin is made for another processor (neither x86 nor x64).",
                "Плугин сделан для другого процессора (не x86 и не x64)."};
    case MessageDetail::BadHostAnswer:
        return {"The plugin's helper process gave an invalid answer.",
                "Вспомогательный процесс плугина дал неверный ответ."};
    case MessageDetail::ConfigurationCrashed:
        return {"The plugin crashed during its configuration.", "Плугин аварийно завершился во время настройки."};
    case MessageDetail::ConfigurationHung:
        return {"The plugin's configuration showed no window and did not end; it was stopped.",
                "Настройка плугина не показала окна и не завершилась; она была остановлена."};
    }
    return {};
}

}  // namespace

UiText MessageDetailText(MessageDetail detail, const UiText& messageText)
{
    const DetailTexts texts = TextsOf(detail);
    if (messageText.codePage == kBuiltInCodePage) return UiText{Utf8ToWindows1251(texts.russian), kBuiltInCodePage};
    return UiText{std::string(texts.english), kAnsiCodePage};
}

}  // namespace pakvane

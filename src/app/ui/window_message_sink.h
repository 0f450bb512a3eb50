#pragma once
// The core's messages shown as message boxes owned by a window, texts from the interface
// strings.
#include <windows.h>

#include "app/ui/ui_text.h"
#include "i18n/message_sink.h"

namespace pakvane {

class WindowMessageSink final : public MessageSink {
public:
    WindowMessageSink(HWND owner, const InterfaceStrings& strings) : owner_(owner), strings_(strings) {}

    void Show(const UiMessage& message) override
    {
        std::wstring text = message.argument ? FormatUiMessage(strings_[message.text], *message.argument)
                                             : Widen(strings_[message.text]);
        if (message.detail != MessageDetail::None) {
            text += L"\n\n" + Widen(MessageDetailText(message.detail, strings_[message.text]));
        }
        ShowMessageBox(owner_, text, Widen(strings_[message.caption]), message.flags);
    }

private:
    HWND owner_;
    const InterfaceStrings& strings_;
};

}  // namespace pakvane

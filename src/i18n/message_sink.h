#pragma once
// A message box that a core operation asks the window layer to show. The core names the
// interface strings; the window that owns the box is the sink's business.
#include <optional>
#include <string>

#include "i18n/interface_strings.h"
#include "i18n/message_detail.h"

namespace pakvane {

// MessageBox flags the core asks for (the values of MB_ICONERROR and MB_ICONINFORMATION,
// OK button only).
inline constexpr unsigned kMessageIconError = 0x10;
inline constexpr unsigned kMessageIconInformation = 0x40;

struct UiMessage {
    Str text;
    Str caption;
    unsigned flags = 0;
    // ANSI data for the pattern's one "%s" (formatted with SafeFormat); none for a plain text.
    std::optional<std::string> argument;
    MessageDetail detail = MessageDetail::None;  // a line of its own under the text
    bool operator==(const UiMessage&) const = default;
};

class MessageSink {
public:
    virtual ~MessageSink() = default;
    // Shows the message modally and returns when the user has closed it.
    virtual void Show(const UiMessage& message) = 0;
};

}  // namespace pakvane

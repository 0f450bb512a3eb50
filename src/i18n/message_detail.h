#pragma once
// A second line under a message, for what the interface strings have no entry for: why a
// plugin could not be used when it runs in a helper process. The 60 interface strings and
// their meaning stay as they are; the line follows the message in its language where it can
// (Russian under the built-in texts) and is English under a language file.
#include <cstdint>

#include "i18n/interface_strings.h"

namespace pakvane {

enum class MessageDetail : std::uint8_t {
    None,
    PluginCrashed,
    PluginHung,
    No32BitHost,
    No64BitHost,
    OtherProcessor,
    BadHostAnswer,
    ConfigurationCrashed,
    ConfigurationHung,
};

// The line for detail under a message whose own text is messageText; empty for None.
UiText MessageDetailText(MessageDetail detail, const UiText& messageText);

}  // namespace pakvane

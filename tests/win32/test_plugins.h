#pragma once
// The test build's plugin libraries, and a message sink that keeps what it is shown.
#include <cstdlib>
#include <string>
#include <vector>

#include "i18n/message_sink.h"

namespace pakvane::testing {

// PAKVANE_TEST_PLUGINS as a Windows path (Wine's Z: drive is the Unix root), with "\".
inline std::string TestPluginFolder()
{
    const char* unixFolder = std::getenv("PAKVANE_TEST_PLUGINS");
    std::string folder = std::string("Z:") + (unixFolder ? unixFolder : "/missing");
    for (char& c : folder)
        if (c == '/') c = '\\';
    return folder + "\\";
}

class RecordingSink final : public MessageSink {
public:
    std::vector<UiMessage> shown;
    void Show(const UiMessage& message) override { shown.push_back(message); }
};

}  // namespace pakvane::testing

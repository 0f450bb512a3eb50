#pragma once
// The test build's plugin libraries, a message sink that keeps what it is shown, and a
// window to be a plugin's parent.
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "i18n/message_sink.h"
#include "platform/plugin_loader.h"

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

// A real window to be the plugin's parent, with the text "parent".
class ParentFixture {
public:
    ParentFixture()
        : hwnd_(CreateWindowExW(0, L"STATIC", L"parent", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr))
    {
    }
    ~ParentFixture()
    {
        if (hwnd_) DestroyWindow(hwnd_);
    }
    ParentFixture(const ParentFixture&) = delete;
    ParentFixture& operator=(const ParentFixture&) = delete;
    HWND Get() const { return hwnd_; }
    ParentWindow Value() const { return reinterpret_cast<ParentWindow>(hwnd_); }

private:
    HWND hwnd_;
};

}  // namespace pakvane::testing

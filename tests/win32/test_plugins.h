#pragma once
// Where the test build put its plugin libraries, as a Windows path with a final backslash.
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "i18n/message_sink.h"

namespace pakvane::testing {

inline std::string TestPluginFolder()
{
    std::string folder;
    if (const char* unixFolder = std::getenv("PAKVANE_TEST_PLUGINS"); unixFolder && *unixFolder == '/') {
        folder = std::string("Z:") + unixFolder;  // Wine's drive for the Unix root
    } else {
        // Beside the test program's folder, as the build lays it out: bin\..\tests\plugins.
        std::vector<char> exe(32768);
        exe.resize(GetModuleFileNameA(nullptr, exe.data(), static_cast<DWORD>(exe.size())));
        folder.assign(exe.begin(), exe.end());
        folder = folder.substr(0, folder.find_last_of('\\'));
        folder = folder.substr(0, folder.find_last_of('\\')) + "\\tests\\plugins";
    }
    for (char& c : folder)
        if (c == '/') c = '\\';
    return folder + "\\";
}

// Keeps every message a core operation asks for, in order.
class RecordingSink final : public MessageSink {
public:
    std::vector<UiMessage> shown;
    void Show(const UiMessage& message) override { shown.push_back(message); }
};

}  // namespace pakvane::testing

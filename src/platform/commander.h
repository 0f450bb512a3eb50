#pragma once
// Telling a running Total Commander that its packer plugin settings have changed, so that
// it reads them again.
#include <memory>

namespace pakvane {

enum class CommanderNotice {
    NoCommander,  // no Total Commander window: nothing was sent
    Delivered,  // both messages were handled
    NotDelivered,  // a message was not handled: the window was hung or busy past the time
    // limit, or the system could not pass the message on; nothing more was sent
};

class CommanderNotifier {
public:
    virtual ~CommanderNotifier() = default;
    virtual CommanderNotice NotifyPluginsChanged() = 0;
};

// Total Commander handles the notice at once; a window that takes this long is stuck, and
// a save must not hang with it.
inline constexpr unsigned kCommanderTimeoutMs = 10'000;

#ifdef _WIN32
// Finds the top-level window of class TTOTAL_CMD and sends it, each handled before the
// next, WM_USER + 51 (wParam 2913) and then WM_PAINT (wParam 0xFFFF). Each wait ends after
// timeoutMs, or at once when the system already counts the window as hung.
std::unique_ptr<CommanderNotifier> MakeCommanderNotifier(unsigned timeoutMs = kCommanderTimeoutMs);
#endif

}  // namespace pakvane

#include "platform/commander.h"

#include <windows.h>

namespace pakvane {

namespace {

constexpr char kCommanderClass[] = "TTOTAL_CMD";
// Total Commander's own message for "packer plugin settings changed".
constexpr UINT kReloadMessage = WM_USER + 51;
constexpr WPARAM kReloadPackerPlugins = 2913;
constexpr WPARAM kRepaintAll = 0xFFFF;

class Win32CommanderNotifier final : public CommanderNotifier {
public:
    explicit Win32CommanderNotifier(unsigned timeoutMs) : timeoutMs_(timeoutMs) {}

    CommanderNotice NotifyPluginsChanged() override
    {
        const HWND commander = FindWindowA(kCommanderClass, nullptr);
        if (!commander) return CommanderNotice::NoCommander;
        if (!Send(commander, kReloadMessage, kReloadPackerPlugins)) return CommanderNotice::NotDelivered;
        if (!Send(commander, WM_PAINT, kRepaintAll)) return CommanderNotice::NotDelivered;
        return CommanderNotice::Delivered;
    }

private:
    // Like SendMessageA (we wait until it is handled, serving messages sent to us meanwhile),
    // but bounded.
    bool Send(HWND window, UINT message, WPARAM wParam) const
    {
        DWORD_PTR result = 0;
        return SendMessageTimeoutA(window, message, wParam, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG, timeoutMs_, &result) !=
               0;
    }

    unsigned timeoutMs_;
};

}  // namespace

std::unique_ptr<CommanderNotifier> MakeCommanderNotifier(unsigned timeoutMs)
{
    return std::make_unique<Win32CommanderNotifier>(timeoutMs);
}

}  // namespace pakvane

#include "plugins/plugin_probe.h"

#include "i18n/message_sink.h"

namespace pakvane {

namespace {

UiMessage CannotLoadMessage(const std::string& path)
{
    return UiMessage{Str::CannotLoadPlugin, Str::Error, kMessageIconError, path};
}

}  // namespace

std::optional<std::int32_t> ProbePlugin(PluginLoader& loader, const std::string& path)
{
    const PluginProbeResult result = loader.Probe(path);
    if (!result.loaded || !result.exportsComplete) return std::nullopt;
    return result.hasPackerCaps ? result.flags : 0;
}

std::optional<std::int32_t> CheckPlugin(PluginLoader& loader, MessageSink& owner, const std::string& path)
{
    const std::optional<std::int32_t> flags = ProbePlugin(loader, path);
    if (!flags) owner.Show(CannotLoadMessage(path));
    return flags;
}

void ConfigurePlugin(PluginLoader& loader, MessageSink& owner, ParentWindow parent, const std::string& path)
{
    const PluginConfigureResult result = loader.Configure(path, parent);
    if (!result.loaded) {
        owner.Show(CannotLoadMessage(path));
    } else if (!result.hasConfigurePacker) {
        owner.Show(UiMessage{Str::NoConfigureFunction, Str::Information, kMessageIconInformation, std::nullopt});
    }
}

}  // namespace pakvane

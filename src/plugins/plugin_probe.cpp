#include "plugins/plugin_probe.h"

#include "i18n/message_sink.h"
#include "plugins/pe_exports.h"

namespace pakvane {

namespace {

// Failures that only a plugin run in a helper process can have get a line saying why; a
// library that simply does not load, or is no plugin, gets the message as it always did.
MessageDetail DetailOf(PluginFailure failure, std::uint16_t machine)
{
    switch (failure) {
    case PluginFailure::None:
    case PluginFailure::NotALibrary:
        return MessageDetail::None;
    case PluginFailure::OtherMachine:
        return MessageDetail::OtherProcessor;
    case PluginFailure::NoHost:
        return (machine ? machine : kProgramMachine) == kMachineAmd64 ? MessageDetail::No64BitHost
                                                                      : MessageDetail::No32BitHost;
    case PluginFailure::Crashed:
        return MessageDetail::PluginCrashed;
    case PluginFailure::Hung:
        return MessageDetail::PluginHung;
    case PluginFailure::BadAnswer:
        return MessageDetail::BadHostAnswer;
    }
    return MessageDetail::None;
}

UiMessage CannotLoadMessage(const std::string& path, PluginFailure failure, std::uint16_t machine)
{
    return UiMessage{Str::CannotLoadPlugin, Str::Error, kMessageIconError, path, DetailOf(failure, machine)};
}

std::optional<std::int32_t> FlagsOf(const PluginProbeResult& result)
{
    if (!result.loaded || !result.exportsComplete) return std::nullopt;
    return result.hasPackerCaps ? result.flags : 0;
}

}  // namespace

std::optional<std::int32_t> ProbePlugin(PluginLoader& loader, const std::string& path)
{
    return FlagsOf(loader.Probe(path));
}

std::optional<std::int32_t> CheckPlugin(PluginLoader& loader, MessageSink& owner, const std::string& path)
{
    const PluginProbeResult result = loader.Probe(path);
    const std::optional<std::int32_t> flags = FlagsOf(result);
    if (!flags) owner.Show(CannotLoadMessage(path, result.failure, result.machine));
    return flags;
}

void ConfigurePlugin(PluginLoader& loader, MessageSink& owner, ParentWindow parent, const std::string& path)
{
    const PluginConfigureResult result = loader.Configure(path, parent);
    if (!result.loaded) {
        owner.Show(CannotLoadMessage(path, result.failure, result.machine));
    } else if (!result.hasConfigurePacker) {
        owner.Show(UiMessage{Str::NoConfigureFunction, Str::Information, kMessageIconInformation, std::nullopt});
    } else if (result.failure != PluginFailure::None) {
        // The library loaded and its configuration began: not a load failure. The entry that
        // names the command heads the line that says what happened.
        owner.Show(UiMessage{Str::ConfigurePlugin, Str::Error, kMessageIconError, std::nullopt,
                             result.failure == PluginFailure::Hung ? MessageDetail::ConfigurationHung
                                                                   : MessageDetail::ConfigurationCrashed});
    }
}

}  // namespace pakvane

#pragma once
#include <functional>

#include "platform/plugin_loader.h"

namespace pakvane {

// A path with a drive or a UNC server: the plugin's own folder is searched first for its
// dependencies. Any other name goes to the system's ordinary search.
bool IsFullPluginPath(const std::string& path);

// Loads the library into this process. A full path is loaded with the library's own folder
// searched first for its dependencies, as Total Commander loads plugins.
class InProcessPluginLoader final : public PluginLoader {
public:
    PluginProbeResult Probe(const std::string& path) override;
    PluginConfigureResult Configure(const std::string& path, ParentWindow parent) override;
    bool CanLoad(std::uint16_t peMachine) const override;

    // Configure, telling beforeCall what is known just before ConfigurePacker is called (a
    // probe host reports it then, so that a crash inside the call is not taken for a failed
    // load); beforeCall runs on every path, with the final result when there is no call.
    PluginConfigureResult Configure(const std::string& path, ParentWindow parent,
                                    const std::function<void(const PluginConfigureResult&)>& beforeCall);
};

}  // namespace pakvane

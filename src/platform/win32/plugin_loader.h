#pragma once
#include "platform/plugin_loader.h"

namespace pakvane {

// Loads the library into this process. A full path is loaded with the library's own folder
// searched first for its dependencies, as Total Commander loads plugins.
class InProcessPluginLoader final : public PluginLoader {
public:
    PluginProbeResult Probe(const std::string& path) override;
    PluginConfigureResult Configure(const std::string& path, ParentWindow parent) override;
};

}  // namespace pakvane

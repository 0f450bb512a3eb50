#pragma once
// Whether a library is a packer plugin and what it can do, and its own configuration window.
#include <cstdint>
#include <optional>
#include <string>

#include "platform/plugin_loader.h"

namespace pakvane {

class MessageSink;

// The plugin's capability flags (GetPackerCaps' result, unmasked; 0 without it), or
// nullopt when the library does not load or lacks a required export. Callers trim the
// path and expand %COMMANDER_PATH% first.
std::optional<std::int32_t> ProbePlugin(PluginLoader& loader, const std::string& path);

// ProbePlugin, and on failure the cannot-load message (interface string 49 with the path,
// caption 18, error icon) shown through owner.
std::optional<std::int32_t> CheckPlugin(PluginLoader& loader, MessageSink& owner, const std::string& path);

// Loads the plugin and lets it show its configuration window with parent as its parent.
// A library that does not load gets the cannot-load message; one without ConfigurePacker
// the function-not-defined message (interface string 39, caption 22, information icon).
void ConfigurePlugin(PluginLoader& loader, MessageSink& owner, ParentWindow parent, const std::string& path);

}  // namespace pakvane

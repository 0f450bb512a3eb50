#pragma once
// TPropForm, the plugin properties dialog: one association's extension, plugin path and
// capability flags. It takes and returns plain values; what it needs of the rest of the
// program (expanding a path, probing and configuring a plugin, the file-open dialog, its
// saved position) comes in through the context.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "i18n/interface_strings.h"

namespace pakvane {

struct PluginProperties {
    std::string extension;
    std::int32_t flags = 0;
    std::string path;  // as typed, not expanded
    bool operator==(const PluginProperties&) const = default;
};

struct PropertiesContext {
    const InterfaceStrings& strings;
    // The plugin paths of the association list, for the path field's drop-down list.
    std::vector<std::string> knownPaths = {};
    // The path expanded for loading, or nothing when it needs the commander folder and
    // none was given (the user has been told).
    std::function<std::optional<std::string>(HWND owner, const std::string& path)> expandPath = {};
    // Probes a library: the capability flags it reports, or nothing after the
    // cannot-load message.
    std::function<std::optional<std::int32_t>(HWND owner, const std::string& expandedPath)> checkPlugin = {};
    // Opens the plugin's own configuration window (or says it has none).
    std::function<void(HWND owner, const std::string& expandedPath)> configurePlugin = {};
    // The file-open dialog for a plugin library: the chosen file, or nothing.
    std::function<std::optional<std::string>(HWND owner, const std::string& initialPath)> browseForPlugin = {};
    // Where the dialog stood when it last closed, given where it would stand centred.
    std::function<POINT(POINT centred)> savedPosition = {};
    // Called at every close with where the dialog stands.
    std::function<void(POINT topLeft)> rememberPosition = {};
};

// Shows the dialog modally; the confirmed values, or nothing when it was cancelled.
std::optional<PluginProperties> EditPluginProperties(HWND owner, const PluginProperties& input,
                                                     const PropertiesContext& context);

}  // namespace pakvane

#pragma once
// The real Windows facilities behind the portable core, gathered once for the main window.
#include <memory>

#include "config/configuration.h"
#include "platform/commander.h"
#include "platform/text_rules.h"
#include "platform/win32/code_page.h"
#include "platform/win32/directory_lister.h"
#include "platform/win32/environment.h"
#include "platform/win32/file_system.h"
#include "platform/win32/hosted_plugin_loader.h"
#include "platform/win32/version_info.h"
#include "platform/win32/registry.h"

namespace pakvane {

struct SystemServices {
    Win32FileSystem files;
    Win32CodePage codePage;
    std::unique_ptr<TextRules> rules = MakeSystemTextRules();
    Win32Registry registry;
    Win32Environment environment;
    std::unique_ptr<CommanderNotifier> commander = MakeCommanderNotifier();
    HostedPluginLoader plugins;  // plugins run in the probe hosts beside the program
    Win32DirectoryLister directories;  // the plugin search's walk, the *.lng files beside the program
    Win32VersionInfoSource versions;

    ConfigurationIo Io() { return ConfigurationIo{files, codePage, *rules, environment}; }
};

}  // namespace pakvane

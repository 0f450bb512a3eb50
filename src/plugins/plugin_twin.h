#pragma once
// Total Commander's 64-bit convention: its 64-bit edition loads x.wcx64 for a row that names
// x.wcx when that file lies beside it. A row written for both editions thus names the .wcx,
// and the file this program has to look at may be the .wcx64.
#include <string>
#include <string_view>

namespace pakvane {

class DirectoryLister;
class TextRules;

enum class PluginExtension {
    None,
    Wcx,  // ".wcx" in any letter case
    Wcx64,  // ".wcx64" in any letter case
};

// From the name's last "." on; works on a whole path as well.
PluginExtension PluginExtensionOf(std::string_view name, const TextRules& rules);

// The other file of a pair: "x.wcx64" for "x.wcx" and back; empty for any other extension.
std::string TwinPath(const std::string& path, const TextRules& rules);

// The library that stands behind a row's expanded plugin path: its .wcx64 twin when the path
// ends in ".wcx", the twin is a 64-bit library exporting the packer functions, and the .wcx
// itself is missing or no plugin for either Windows machine; otherwise the path itself.
// Only file headers are read, no code is run.
std::string PluginLibraryFor(DirectoryLister& files, const TextRules& rules, const std::string& path);

}  // namespace pakvane

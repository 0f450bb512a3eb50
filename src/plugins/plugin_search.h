#pragma once
// Finding packer plugins under a folder: every library with the extension .wcx, or a 64-bit
// one with the extension .wcx64, that is a plugin and that no row names yet (neither itself
// nor its twin of the other extension) becomes a new, switched-off row "auto=<flags>,<path>".
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace pakvane {

class DirectoryLister;
class PluginLoader;
class TextRules;

// Upper-cased full paths of the libraries already named, kept sorted for binary search.
class KnownPaths {
public:
    bool Contains(std::string_view upperPath) const;
    // False when the path was there already.
    bool Add(std::string upperPath);

private:
    std::vector<std::string> paths_;
};

// Every kind of entry is listed: read-only, hidden, system, volume label, folder, archive.
inline constexpr std::uint32_t kSearchAttributeMask = 63;

struct SearchServices {
    DirectoryLister& lister;
    PluginLoader& loader;
    const TextRules& rules;
    // Only libraries for a machine the loader can load are loaded at all.
    std::function<bool(std::uint16_t machine)> acceptsMachine;
};

// Walks folder (ending in "\") and every folder below it, depth first, a folder's files
// before its subfolders, at most one listing open at a time. Returns the rows for the
// plugins found that known does not hold, in the order found; their paths are added to
// known. Of a .wcx and its .wcx64 twin only one gets a row: in each folder the .wcx files
// are tried first, so whichever order the system lists them in, the .wcx wins when both
// are plugins. The caller appends the rows switched off.
std::vector<std::string> SearchFolder(KnownPaths& known, const std::string& folder, const SearchServices& services);

}  // namespace pakvane

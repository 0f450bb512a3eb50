#include "plugins/plugin_search.h"

#include <algorithm>
#include <memory>
#include <optional>

#include "platform/directory_lister.h"
#include "platform/file_system.h"
#include "platform/text_rules.h"
#include "plugins/pe_exports.h"
#include "plugins/plugin_probe.h"
#include "plugins/plugin_twin.h"

namespace pakvane {

bool KnownPaths::Contains(std::string_view upperPath) const
{
    return std::binary_search(paths_.begin(), paths_.end(), upperPath);
}

bool KnownPaths::Add(std::string upperPath)
{
    const auto at = std::lower_bound(paths_.begin(), paths_.end(), upperPath);
    if (at != paths_.end() && *at == upperPath) return false;
    paths_.insert(at, std::move(upperPath));
    return true;
}

namespace {

class Walk {
public:
    Walk(KnownPaths& known, const SearchServices& services) : known_(known), services_(services) {}

    std::vector<std::string> Run(const std::string& start)
    {
        // One entry per folder on the current descent: its subfolders and the next to visit.
        struct Level {
            std::string folder;
            std::vector<std::string> subfolders;
            std::size_t next = 0;
        };
        std::vector<Level> descent;
        descent.push_back({start, Visit(start)});
        while (!descent.empty()) {
            Level& level = descent.back();
            if (level.next == level.subfolders.size()) {
                descent.pop_back();
                continue;
            }
            std::string folder = level.folder + level.subfolders[level.next++] + "\\";
            std::vector<std::string> subfolders = Visit(folder);
            descent.push_back({std::move(folder), std::move(subfolders)});
        }
        return std::move(found_);
    }

private:
    // Probes the folder's libraries and returns its subfolders; its listing is closed
    // before any subfolder is visited.
    std::vector<std::string> Visit(const std::string& folder)
    {
        constexpr std::uint32_t kFilteredKinds =
            kFileAttributeHidden | kFileAttributeSystem | kFileAttributeVolumeLabel | kFileAttributeDirectory;
        constexpr std::uint32_t kExcluded = ~kSearchAttributeMask & kFilteredKinds;
        std::vector<std::string> subfolders;
        std::vector<std::string> libraries;
        std::vector<std::string> libraries64;
        services_.lister.List(folder + "*.*", [&](const DirectoryEntry& entry) {
            if (entry.attributes & kExcluded) return;
            if (entry.attributes & kFileAttributeDirectory) {
                if (entry.name != "." && entry.name != "..") subfolders.push_back(entry.name);
            } else if (!(entry.attributes & kFileAttributeVolumeLabel)) {
                const PluginExtension extension = PluginExtensionOf(entry.name, services_.rules);
                if (extension == PluginExtension::Wcx) libraries.push_back(entry.name);
                if (extension == PluginExtension::Wcx64) libraries64.push_back(entry.name);
            }
        });
        for (const std::string& name : libraries) Consider(folder + name, false);
        for (const std::string& name : libraries64) Consider(folder + name, true);
        return subfolders;
    }

    void Consider(const std::string& path, bool wcx64)
    {
        std::string upper = services_.rules.UpperAnsi(path);
        // A library a row names already, itself or through its twin, is not loaded at all.
        if (known_.Contains(upper) || known_.Contains(TwinPath(upper, services_.rules))) return;
        if (!PassesPreCheck(path, wcx64)) return;
        const std::optional<std::int32_t> flags = ProbePlugin(services_.loader, upper);
        if (!flags) return;
        known_.Add(std::move(upper));
        found_.push_back("auto=" + std::to_string(*flags) + "," + path);
    }

    bool PassesPreCheck(const std::string& path, bool wcx64)
    {
        const std::unique_ptr<FileReader> file = services_.lister.OpenFile(path);
        if (!file) return false;
        const std::optional<std::uint16_t> machine = PackerPluginMachine(*file);
        if (!machine || (wcx64 && *machine != kMachineAmd64)) return false;
        return services_.acceptsMachine && services_.acceptsMachine(*machine);
    }

    KnownPaths& known_;
    const SearchServices& services_;
    std::vector<std::string> found_;
};

}  // namespace

std::vector<std::string> SearchFolder(KnownPaths& known, const std::string& folder, const SearchServices& services)
{
    return Walk(known, services).Run(folder);
}

}  // namespace pakvane

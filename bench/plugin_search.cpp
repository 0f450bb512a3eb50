// The plugin search's walk (listing, extension test, export pre-check) against a bare
// FindFirstFileA/FindNextFileA walk of the same generated tree, in the same run.
#include "plugin_search.h"

#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "platform/text_rules.h"
#include "platform/win32/directory_lister.h"
#include "platform/win32/plugin_loader.h"
#include "plugins/pe_exports.h"
#include "plugins/plugin_search.h"
#include "workload.h"

namespace pakvane::bench {
namespace {

constexpr int kTopFolders = 100;
constexpr int kSubfolders = 99;  // 100 + 100 * 99 = 10,000 folders
constexpr int kCandidateEvery = 10;
constexpr int kPlugins = 20;  // copies of a real plugin in the second tree

std::string ProgramFolder()
{
    std::string path(MAX_PATH, '\0');
    DWORD length = 0;
    while ((length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()))) == path.size()) {
        path.resize(path.size() * 2);
    }
    path.resize(length);
    return path.substr(0, path.find_last_of('\\') + 1);
}

// Folder names of the generated tree, depth first, each ending in "\".
std::vector<std::string> TreeFolders(const std::string& root)
{
    std::vector<std::string> folders;
    for (int top = 0; top < kTopFolders; ++top) {
        const std::string parent = root + "t" + std::to_string(top) + "\\";
        folders.push_back(parent);
        for (int sub = 0; sub < kSubfolders; ++sub) folders.push_back(parent + "s" + std::to_string(sub) + "\\");
    }
    return folders;
}

void RemoveTree(const std::string& folder)
{
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(folder + name + "\\");
            else
                DeleteFileA((folder + name).c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

std::size_t BareWalk(const std::string& folder)
{
    std::size_t entries = 0;
    std::vector<std::string> subfolders;
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((folder + "*.*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return 0;
    do {
        ++entries;
        const std::string name = found.cFileName;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name != "." && name != "..") {
            subfolders.push_back(name);
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
    for (const std::string& name : subfolders) entries += BareWalk(folder + name + "\\");
    return entries;
}

}  // namespace

void PrintPluginSearch()
{
    const std::string plugins = ProgramFolder() + "..\\tests\\plugins\\";
    const TempFolder temp("search");
    const std::string& root = temp.Path();
    const double generateStart = Now();
    const std::vector<std::string> folders = TreeFolders(root);
    std::vector<std::string> candidates;
    for (std::size_t i = 0; i < folders.size(); ++i) {
        CreateDirectoryA(folders[i].c_str(), nullptr);
        if (i % kCandidateEvery == 0) {
            candidates.push_back(folders[i] + "c" + std::to_string(i) + ".wcx");
            // A real library that lacks the plugin exports: the pre-check turns it down.
            CopyFileA((plugins + "decorated.wcx").c_str(), candidates.back().c_str(), FALSE);
        }
    }
    const double generated = Now() - generateStart;

    Win32DirectoryLister lister;
    InProcessPluginLoader loader;
    const std::unique_ptr<TextRules> rules = MakeSystemTextRules();
    const SearchServices services{lister, loader, *rules,
                                  [](std::uint16_t machine) { return machine == kProgramMachine; }};
    auto search = [&] {
        KnownPaths known;
        return SearchFolder(known, root, services).size();
    };
    constexpr int kRuns = 5;
    std::vector<double> bare, ours, withPlugins;
    std::size_t entries = 0, found = 0;
    BareWalk(root);  // warm the system's caches for both
    for (int run = 0; run < kRuns; ++run) {
        double start = Now();
        entries = BareWalk(root);
        bare.push_back(Now() - start);
        start = Now();
        found = search();
        ours.push_back(Now() - start);
    }
    std::vector<std::string> pluginPaths;
    for (int i = 0; i < kPlugins; ++i) {
        pluginPaths.push_back(candidates[i * (candidates.size() / kPlugins)]);
        CopyFileA((plugins + "full.wcx").c_str(), pluginPaths.back().c_str(), FALSE);
    }
    std::size_t foundPlugins = 0;
    std::vector<double> perPlugin;
    for (int run = 0; run < kRuns; ++run) {
        double start = Now();
        foundPlugins = search();
        withPlugins.push_back(Now() - start);
        // What one found plugin costs the search: the pre-check and the probe.
        start = Now();
        for (const std::string& path : pluginPaths) {
            const std::unique_ptr<FileReader> file = lister.OpenFile(path);
            if (file && PackerPluginMachine(*file) == kProgramMachine) loader.Probe(rules->UpperAnsi(path));
        }
        perPlugin.push_back((Now() - start) / kPlugins);
    }
    const double bareMedian = Median(bare), oursMedian = Median(ours), pluginsMedian = Median(withPlugins);
    std::printf("\nPlugin search over %zu folders with %zu .wcx candidates (tree made in %.1f s; median of %d runs)\n",
                folders.size(), candidates.size(), generated, kRuns);
    std::printf("  bare FindFirstFileA/FindNextFileA walk  %8.1f ms  (%zu entries)\n", bareMedian * 1e3, entries);
    std::printf("  search, no candidate a plugin           %8.1f ms  ratio %.2fx  (target <= 1.3x)%s\n",
                oursMedian * 1e3, oursMedian / bareMedian, found == 0 ? "" : "  WARNING: rows found");
    std::printf("  search, %2d candidates real plugins      %8.1f ms  %.2f ms per probed plugin%s\n", kPlugins,
                pluginsMedian * 1e3, Median(perPlugin) * 1e3,
                foundPlugins == static_cast<std::size_t>(kPlugins) ? "" : "  WARNING: not every plugin found");
    RemoveTree(root);
}

}  // namespace pakvane::bench

// What running plugins in a probe host costs: one probe of a real test plugin in this process
// and in the hosts, then the plugin search over a tree of 100 real plugins with each loader.
#include "hosted_probe.h"

#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "platform/text_rules.h"
#include "platform/win32/directory_lister.h"
#include "platform/win32/host_process.h"
#include "platform/win32/hosted_plugin_loader.h"
#include "platform/win32/plugin_loader.h"
#include "plugins/pe_exports.h"
#include "plugins/plugin_probe.h"
#include "plugins/plugin_search.h"
#include "workload.h"

namespace pakvane::bench {
namespace {

constexpr int kProbeRuns = 21;
constexpr int kSearchRuns = 3;
constexpr int kFolders = 10;
constexpr int kPluginsPerFolder = 10;

std::string TestPluginFolder()
{
    std::string path(MAX_PATH, '\0');
    DWORD length = 0;
    while ((length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()))) == path.size()) {
        path.resize(path.size() * 2);
    }
    path.resize(length);
    return path.substr(0, path.find_last_of('\\') + 1) + "..\\tests\\plugins\\";
}

// The median time of one probe, or a negative value when the probe does not pass.
double ProbeTime(PluginLoader& loader, const std::string& path)
{
    std::vector<double> times;
    for (int run = 0; run < kProbeRuns; ++run) {
        const double start = Now();
        if (!ProbePlugin(loader, path)) return -1;
        times.push_back(Now() - start);
    }
    return Median(times);
}

void PrintProbe(const char* what, double inProcess, double hosted)
{
    if (hosted < 0 && inProcess < 0) {
        std::printf("  %-26s cannot run here\n", what);
        return;
    }
    if (hosted < 0) {
        std::printf("  %-26s in-process %7.2f ms   hosted: cannot run here\n", what, inProcess * 1e3);
        return;
    }
    if (inProcess < 0) {
        std::printf("  %-26s in-process     -      hosted %7.2f ms  (target <= 50 ms)  %s\n", what, hosted * 1e3,
                    hosted <= 0.050 ? "ok" : "MISSED");
        return;
    }
    std::printf("  %-26s in-process %7.2f ms   hosted %7.2f ms  ratio %5.1fx  (target <= 50 ms)  %s\n", what,
                inProcess * 1e3, hosted * 1e3, hosted / inProcess, hosted <= 0.050 ? "ok" : "MISSED");
}

}  // namespace

void PrintHostedProbes()
{
    const std::string plugins = TestPluginFolder();
    InProcessPluginLoader inProcess;
    HostedPluginLoader hosted;
    const std::uint16_t otherMachine = kProgramMachine == kMachineAmd64 ? kMachineI386 : kMachineAmd64;
    std::printf("\nProbe of one plugin, in this process and in a probe host (median of %d)\n", kProbeRuns);
    const double startup = Now();
    const bool hostRuns = hosted.CanLoad(kProgramMachine);
    const bool otherRuns = hosted.CanLoad(otherMachine);
    std::printf("  first start of the hosts to see that they run: %.1f ms (once per program run)\n",
                (Now() - startup) * 1e3);
    if (!hostRuns) {
        std::printf("  the probe host of this bitness cannot start: nothing to measure\n");
        return;
    }
    const ProbeHosts hosts = ProbeHosts::BesideProgram();
    std::vector<double> starts;
    for (int run = 0; run < kProbeRuns; ++run) {
        const double start = Now();
        HostProcess host(kProgramMachine == kMachineAmd64 ? hosts.host64 : hosts.host32,
                         HostRequest{HostRequestKind::Probe, 0, 0});
        host.NextLine(HostWait{kHostReadyTimeoutMs, false});
        starts.push_back(Now() - start);
    }
    std::printf("  %-26s                       hosted %7.2f ms  (a fresh host: start until ready)\n", "host start",
                Median(starts) * 1e3);
    PrintProbe("nocaps.wcx (kernel32 only)", ProbeTime(inProcess, plugins + "nocaps.wcx"),
               ProbeTime(hosted, plugins + "nocaps.wcx"));
    const std::string own = plugins + "full.wcx";
    PrintProbe("full.wcx (imports user32)", ProbeTime(inProcess, own), ProbeTime(hosted, own));
    const std::string other = plugins + "otherbits.wcx";
    PrintProbe(kProgramMachine == kMachineAmd64 ? "32-bit otherbits.wcx" : "64-bit otherbits.wcx", -1,
               otherRuns ? ProbeTime(hosted, other) : -1);

    const TempFolder temp("hosts");
    std::vector<std::string> folders, files;
    for (int f = 0; f < kFolders; ++f) {
        folders.push_back(temp.Path() + "f" + std::to_string(f) + "\\");
        CreateDirectoryA(folders.back().c_str(), nullptr);
        for (int p = 0; p < kPluginsPerFolder; ++p) {
            files.push_back(folders.back() + "p" + std::to_string(p) + ".wcx");
            CopyFileA(own.c_str(), files.back().c_str(), FALSE);
        }
    }
    Win32DirectoryLister lister;
    const std::unique_ptr<TextRules> rules = MakeSystemTextRules();
    auto search = [&](PluginLoader& loader, std::size_t& found) {
        std::vector<double> times;
        for (int run = 0; run < kSearchRuns; ++run) {
            KnownPaths known;
            const double start = Now();
            const SearchServices services{lister, loader, *rules,
                                          [](std::uint16_t machine) { return machine == kProgramMachine; }};
            found = SearchFolder(known, temp.Path(), services).size();
            times.push_back(Now() - start);
        }
        return Median(times);
    };
    std::size_t foundHere = 0, foundHosted = 0;
    const double here = search(inProcess, foundHere), there = search(hosted, foundHosted);
    std::printf("\nPlugin search over %zu real plugins in %d folders (median of %d)\n", files.size(), kFolders,
                kSearchRuns);
    std::printf("  in-process %8.1f ms   hosted %8.1f ms   ratio %5.1fx  (target <= 2x)  %s%s\n", here * 1e3,
                there * 1e3, there / here, there <= 2 * here ? "ok" : "MISSED",
                foundHere == files.size() && foundHosted == files.size() ? "" : "  WARNING: not every plugin found");
    for (const std::string& file : files) DeleteFileA(file.c_str());
    for (const std::string& folder : folders) RemoveDirectoryA(folder.c_str());
}

}  // namespace pakvane::bench

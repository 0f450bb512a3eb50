// Load, sort and save of large association lists, timed against what the Windows profile
// API itself needs for the same files, and against the naive key-by-key use of that API;
// then the plugin search against a bare folder walk (plugin_search.cpp); then start-up to
// a shown window (window_startup.cpp). Prints tables and the targets;
// never run by the tests.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "config/association.h"
#include "config/association_list.h"
#include "config/association_sort.h"
#include "config/configuration.h"
#include "platform/text_rules.h"
#include "platform/win32/code_page.h"
#include "platform/win32/environment.h"
#include "platform/win32/file_system.h"
#include "hosted_probe.h"
#include "plugin_search.h"
#include "profile_peers.h"
#include "sort_comparisons.h"
#include "window_startup.h"
#include "workload.h"

namespace pakvane::bench {
namespace {

constexpr char kCommanderFolder[] = "C:\\totalcmd\\";

struct Size {
    std::size_t rows;
    int runs;
    int writeFloorRuns;  // WritePrivateProfileSectionA is quadratic under Wine
    int naiveRuns;  // 0: the key-by-key peer is not run (it is quadratic)
};
const Size kSizes[] = {{1'000, 9, 9, 3}, {10'000, 5, 5, 1}, {65'536, 3, 1, 0}};

struct Figures {
    std::size_t rows = 0;
    int runs = 0;
    int writeFloorRuns = 0;
    double load = 0, sortByExtension = 0, sortByPlugin = 0, save = 0;  // ours
    double readFloor = 0, writeFloor = 0;
    double naiveLoadSort = 0, naiveSave = 0;  // 0 when not run
    bool consistent = true;  // every run read and wrote what it should
    double LoadSort() const { return load + sortByExtension; }
};

class Bench {
public:
    explicit Bench(const TempFolder& folder)
        : rules_(MakeSystemTextRules()),
          io_{files_, codePage_, *rules_, environment_},
          configuration_(folder.Path() + "wincmd.ini"),
          settings_(folder.Path() + "pakvane.ini")
    {
    }

    Figures Measure(const Size& size)
    {
        const Workload work = MakeWorkload(size.rows);
        Figures figures;
        figures.rows = size.rows;
        figures.runs = size.runs;
        figures.writeFloorRuns = size.writeFloorRuns;
        std::vector<double> load, sortExt, sortPlugin, save, readFloor, writeFloor, naiveRead, naiveWrite;
        for (int run = 0; run < size.runs; ++run) {
            Restore(work);
            double start = Now();
            std::vector<std::string> lines = ReadSectionWhole(configuration_, kPackerSection);
            const std::vector<std::string> disabled = ReadSectionWhole(settings_, kPackerSection);
            lines.insert(lines.end(), disabled.begin(), disabled.end());
            std::sort(lines.begin(), lines.end());
            readFloor.push_back(Now() - start);
            figures.consistent &= lines.size() == size.rows;

            Restore(work);
            AssociationList list;
            start = Now();
            const LoadResult loaded = LoadAssociations(io_, configuration_, settings_, kCommanderFolder, list);
            load.push_back(Now() - start);
            figures.consistent &= loaded.outcome == LoadResult::Outcome::Loaded && list.Count() == size.rows;
            start = Now();
            SortAssociations(list, SortMode::ByExtension, *rules_);
            sortExt.push_back(Now() - start);
            AssociationList byPlugin = list;
            start = Now();
            SortAssociations(byPlugin, SortMode::ByPlugin, *rules_);
            sortPlugin.push_back(Now() - start);

            // A user's edit: some rows switched on or off. The save writes every row anyway.
            for (std::size_t i = 0; i < list.Count(); i += 97) list.SetChecked(i, !list.Row(i).checked);
            start = Now();
            const SaveResult saved = SaveAssociations(io_, configuration_, settings_, kCommanderFolder, list);
            save.push_back(Now() - start);
            figures.consistent &= saved.status == WriteStatus::Ok;

            // The same lines through the profile API, into the same files as they were.
            const Sections sections = SectionsOf(list);
            if (run < size.writeFloorRuns) {
                Restore(work);
                start = Now();
                figures.consistent &= WriteSectionWhole(configuration_, kPackerSection, sections.enabled);
                figures.consistent &= WriteSectionWhole(settings_, kPackerSection, sections.disabled);
                writeFloor.push_back(Now() - start);
            }

            if (run < size.naiveRuns) {
                Restore(work);
                start = Now();
                AssociationList naive = NaiveLoad();
                NaiveSort(naive);
                naiveRead.push_back(Now() - start);
                figures.consistent &= naive.Count() == size.rows;

                Restore(work);
                start = Now();
                figures.consistent &= WriteSectionKeyByKey(configuration_, kPackerSection, sections.enabled);
                figures.consistent &= WriteSectionKeyByKey(settings_, kPackerSection, sections.disabled);
                naiveWrite.push_back(Now() - start);
            }
        }
        figures.load = Median(load);
        figures.sortByExtension = Median(sortExt);
        figures.sortByPlugin = Median(sortPlugin);
        figures.save = Median(save);
        figures.readFloor = Median(readFloor);
        figures.writeFloor = Median(writeFloor);
        if (!naiveRead.empty()) {
            figures.naiveLoadSort = Median(naiveRead);
            figures.naiveSave = Median(naiveWrite);
        }
        return figures;
    }

    // Median seconds to load and sort as the program does at start-up.
    double MeasureLoadSort(std::size_t rows, int runs)
    {
        const Workload work = MakeWorkload(rows);
        std::vector<double> times;
        for (int run = 0; run < runs; ++run) {
            Restore(work);
            AssociationList list;
            const double start = Now();
            LoadAssociations(io_, configuration_, settings_, kCommanderFolder, list);
            SortAssociations(list, SortMode::ByExtension, *rules_);
            times.push_back(Now() - start);
        }
        return Median(times);
    }

private:
    struct Sections {
        SectionLines enabled, disabled;
    };

    void Restore(const Workload& work)
    {
        PutFile(configuration_, work.configurationBytes);
        PutFile(settings_, work.settingsBytes);
    }

    // What a save writes, line for line.
    Sections SectionsOf(const AssociationList& list) const
    {
        Sections sections;
        for (std::size_t i = 0; i < list.Count(); ++i) {
            const AssociationRow& row = list.Row(i);
            if (row.checked) {
                const Association entry = ParseAssociation(row.text);
                sections.enabled.push_back(CanonicalExtension(entry.extension, *rules_) + "=" +
                                           std::to_string(entry.flags) + "," + entry.path);
            } else {
                sections.disabled.push_back(std::to_string(i) + "=" + CanonicalAssociation(row.text, *rules_));
            }
        }
        return sections;
    }

    // The rows a load makes, read one key at a time.
    AssociationList NaiveLoad() const
    {
        AssociationList list;
        for (const std::string& line : ReadSectionKeyByKey(settings_, kPackerSection)) {
            const std::string value = line.substr(line.find('=') + 1);
            const Association row = ParseAssociation(value);
            if (!row.extension.empty() && !row.path.empty()) list.Append(value, false);
        }
        for (const std::string& line : ReadSectionKeyByKey(configuration_, kPackerSection))
            if (line.back() != '=') list.Append(line, true);
        return list;
    }

    // The same order as SortAssociations, with CompareStringA on every comparison.
    void NaiveSort(AssociationList& list) const
    {
        std::vector<std::string> keys;
        for (const AssociationRow& row : list.Rows())
            keys.push_back(AssociationSortKey(row.text, SortMode::ByExtension, *rules_));
        std::vector<std::size_t> order(list.Count());
        for (std::size_t i = 0; i < order.size(); ++i) order[i] = order.size() - 1 - i;
        std::stable_sort(order.begin(), order.end(),
                         [&](std::size_t a, std::size_t b) { return rules_->Compare(keys[a], keys[b]) < 0; });
        std::vector<AssociationRow> sorted;
        for (const std::size_t from : order) sorted.push_back(list.Row(from));
        list.Replace(std::move(sorted), -1);
    }

    Win32FileSystem files_;
    Win32CodePage codePage_;
    std::unique_ptr<TextRules> rules_;
    Win32Environment environment_;
    ConfigurationIo io_;
    std::string configuration_;
    std::string settings_;
};

double Ms(double seconds)
{
    return seconds * 1000.0;
}

const char* Verdict(bool met)
{
    return met ? "met" : "NOT MET";
}

std::string WineVersion()
{
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    using Version = const char*(CDECL*)();
    const FARPROC found = ntdll ? GetProcAddress(ntdll, "wine_get_version") : nullptr;
    const auto version = found ? reinterpret_cast<Version>(reinterpret_cast<void*>(found)) : nullptr;
    return version ? std::string("Wine ") + version() : std::string("Windows");
}

void Print(const std::vector<Figures>& all)
{
    std::printf("\nLoad and sort (ms, median of the runs)\n");
    std::printf("%8s %5s %9s %9s %10s %11s %8s %10s %11s\n", "rows", "runs", "load", "sort ext", "load+sort",
                "read floor", "ratio", "sort plug", "ratio plug");
    for (const Figures& f : all)
        std::printf("%8zu %5d %9.1f %9.1f %10.1f %11.1f %8.2f %10.1f %11.2f\n", f.rows, f.runs, Ms(f.load),
                    Ms(f.sortByExtension), Ms(f.LoadSort()), Ms(f.readFloor), f.LoadSort() / f.readFloor,
                    Ms(f.sortByPlugin), (f.load + f.sortByPlugin) / f.readFloor);

    std::printf("\nSave, both files (ms, median of the runs)\n");
    std::printf("%8s %9s %12s %6s %8s\n", "rows", "save", "write floor", "runs", "ratio");
    for (const Figures& f : all)
        std::printf("%8zu %9.1f %12.1f %6d %8.2f\n", f.rows, Ms(f.save), Ms(f.writeFloor), f.writeFloorRuns,
                    f.save / f.writeFloor);

    std::printf("\nScaling (time ratio; rows ratio in brackets)\n");
    std::printf("%18s %16s %16s %16s\n", "rows", "load+sort", "save", "per-row growth");
    for (std::size_t i = 1; i < all.size(); ++i) {
        const Figures& a = all[i - 1];
        const Figures& b = all[i];
        const double rows = static_cast<double>(b.rows) / static_cast<double>(a.rows);
        const double loadSort = b.LoadSort() / a.LoadSort();
        const double save = b.save / a.save;
        std::printf("%7zu -> %7zu %10.2f (x%.2f) %9.2f (x%.2f) %9.2f / %.2f\n", a.rows, b.rows, loadSort, rows, save,
                    rows, loadSort / rows, save / rows);
    }

    std::printf("\nKey-by-key profile API peer (ms; ours in brackets)\n");
    std::printf("%8s %22s %8s %22s %8s %11s\n", "rows", "load+sort", "x ours", "save", "x ours", "x round trip");
    for (const Figures& f : all) {
        if (f.naiveLoadSort == 0) continue;
        std::printf("%8zu %10.1f (%9.1f) %8.1f %10.1f (%9.1f) %8.1f %11.1f\n", f.rows, Ms(f.naiveLoadSort),
                    Ms(f.LoadSort()), f.naiveLoadSort / f.LoadSort(), Ms(f.naiveSave), Ms(f.save), f.naiveSave / f.save,
                    (f.naiveLoadSort + f.naiveSave) / (f.LoadSort() + f.save));
    }

    const auto find = [&](std::size_t rows) -> const Figures* {
        for (const Figures& f : all)
            if (f.rows == rows) return &f;
        return nullptr;
    };
    const Figures* big = find(65'536);
    const Figures* ten = find(10'000);
    const Figures* one = find(1'000);
    std::printf("\nTargets\n");
    if (big) {
        std::printf("  65,536 rows: load+sort <= 3x read floor: %.2fx  %s\n", big->LoadSort() / big->readFloor,
                    Verdict(big->LoadSort() <= 3 * big->readFloor));
        std::printf("  65,536 rows: save <= 2x write floor:     %.2fx  %s\n", big->save / big->writeFloor,
                    Verdict(big->save <= 2 * big->writeFloor));
    }
    if (one && ten) {
        const double loadSort = ten->LoadSort() / one->LoadSort();
        const double save = ten->save / one->save;
        std::printf("  10x rows <= 12x time (1,000 -> 10,000): load+sort %.2fx, save %.2fx  %s\n", loadSort, save,
                    Verdict(loadSort <= 12 && save <= 12));
    }
    if (ten && big) {
        const double rows = 65'536.0 / 10'000.0;
        const double loadSort = big->LoadSort() / ten->LoadSort() / rows;
        const double save = big->save / ten->save / rows;
        std::printf("  same bound per row (10,000 -> 65,536, <= 1.2): load+sort %.2f, save %.2f  %s\n", loadSort, save,
                    Verdict(loadSort <= 1.2 && save <= 1.2));
    }
    if (ten && ten->naiveLoadSort > 0) {
        const double loadSort = ten->naiveLoadSort / ten->LoadSort();
        const double save = ten->naiveSave / ten->save;
        const double trip = (ten->naiveLoadSort + ten->naiveSave) / (ten->LoadSort() + ten->save);
        std::printf("  10,000 rows: >= 50x faster than key-by-key: load+sort %.1fx, save %.1fx, round trip %.1fx  %s\n",
                    loadSort, save, trip, Verdict(trip >= 50));
    }
}

int Run(bool windowOnly)
{
    std::printf(
        "Pakvane benchmark on %s, ANSI code page %u. Files are rewritten before every timed step,\n"
        "so the profile API reads them afresh as our engine does; saves go to disk (both files).\n",
        WineVersion().c_str(), GetACP());
    const double start = Now();
    TempFolder folder;
    Bench bench(folder);
    std::vector<Figures> all;
    bool consistent = true;
    if (!windowOnly) {
        for (const Size& size : kSizes) {
            std::printf("  measuring %zu rows...\n", size.rows);
            std::fflush(stdout);
            all.push_back(bench.Measure(size));
            consistent &= all.back().consistent;
        }
        Print(all);
        PrintSortComparisons();
        PrintPluginSearch();
        PrintHostedProbes();
    }
    consistent &= RunWindowStartup([&](std::size_t rows, int runs) { return bench.MeasureLoadSort(rows, runs); });
    std::printf("\nTotal run time %.1f s.%s\n", Now() - start,
                consistent ? "" : " WARNING: some run did not read or write the expected rows.");
    return consistent ? 0 : 1;
}

}  // namespace
}  // namespace pakvane::bench

// --window measures only the window start-up, --search only the plugin search (in this
// process and in the probe hosts), --hosts only the probe hosts.
int main(int argc, char** argv)
{
    const bool windowOnly = argc > 1 && std::string(argv[1]) == "--window";
    const bool searchOnly = argc > 1 && std::string(argv[1]) == "--search";
    const bool hostsOnly = argc > 1 && std::string(argv[1]) == "--hosts";
    if (argc > 2 || (argc == 2 && !windowOnly && !searchOnly && !hostsOnly)) {
        std::fprintf(stderr, "usage: pakvane_bench [--window | --search | --hosts]\n");
        return 2;
    }
    try {
        if (searchOnly || hostsOnly) {
            if (searchOnly) pakvane::bench::PrintPluginSearch();
            pakvane::bench::PrintHostedProbes();
            return 0;
        }
        return pakvane::bench::Run(windowOnly);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "benchmark failed: %s\n", error.what());
        return 2;
    }
}

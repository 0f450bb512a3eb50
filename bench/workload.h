#pragma once
// The data the benchmark works on: a Total Commander configuration file with a large
// PackerPlugins section among its usual sections, and a settings file holding the
// switched-off associations, written as real files in a temporary folder.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace pakvane::bench {

struct Workload {
    std::size_t rows = 0;  // enabled + disabled
    std::string configurationBytes;  // the whole wincmd.ini
    std::string settingsBytes;  // the whole settings file
};

// rows associations, nine in ten enabled, in no particular order, with unique extensions
// in mixed case and plugin paths of several real-world shapes.
Workload MakeWorkload(std::size_t rows);

// A fresh folder under the system's temporary folder, removed with its files on exit;
// purpose tells apart the folders of one run.
class TempFolder {
public:
    explicit TempFolder(std::string_view purpose = "");
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& Path() const { return path_; }  // ends with a backslash

private:
    std::string path_;
};

// Writes the bytes as a new file, so that its time stamp changes and the profile API
// cannot answer from the copy it keeps of a file it has read before.
void PutFile(const std::string& path, std::string_view bytes);

// Seconds on the performance counter.
double Now();

double Median(std::vector<double> values);

}  // namespace pakvane::bench

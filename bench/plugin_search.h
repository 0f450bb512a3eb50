#pragma once

namespace pakvane::bench {

// The plugin search over 10,000 folders next to a bare listing walk of the same tree, and
// the cost of each plugin it loads. Prints the figures.
void PrintPluginSearch();

}  // namespace pakvane::bench

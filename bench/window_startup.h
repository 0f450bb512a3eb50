#pragma once
// Start-up to a shown window, timed from outside as a user meets it: from the creation of
// the process until its main window is visible and its list holds every row. A bare window
// program gives the floor any shown window costs; the core's load and sort of the same rows
// show what the window adds.
#include <cstddef>
#include <functional>

namespace pakvane::bench {

// Median seconds of the core's load and sort of that many rows, over that many runs.
using CoreLoadSort = std::function<double(std::size_t rows, int runs)>;

// Measures, prints the table and the targets; false when some run did not show its window
// with every row.
bool RunWindowStartup(const CoreLoadSort& coreLoadSort);

}  // namespace pakvane::bench

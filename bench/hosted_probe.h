#pragma once

namespace pakvane::bench {

// Probes in this process next to probes in a probe host (this program's bitness, and the
// other one where its host runs here), and the plugin search over 100 plugins both ways.
// Prints the figures and their ratios.
void PrintHostedProbes();

}  // namespace pakvane::bench

#!/usr/bin/env bash
# Builds and runs the benchmark under Wine: load, sort and save of the core, the plugin
# search over 10,000 folders against a bare listing walk, then start-up
# to a shown window (pakvane.exe and a bare window program) with 1,000 to 200,000 rows.
# A few minutes; the 200,000-row window is started once.
# bench/run.sh --window measures only the window start-up, --search only the plugin search
# (with the probe hosts), --hosts only the probe hosts against probes in-process;
# LC_ALL=ru_RU.CP1251 bench/run.sh measures under the Russian code page 1251;
# PAKVANE_BENCH_BUILD=build/other picks another build folder.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
source "$root/scripts/wine-env.sh"
# The 32-bit build, or the 64-bit one where this machine cannot run 32-bit code.
pakvane_windows_build
build=${PAKVANE_BENCH_BUILD:-$PAKVANE_WIN_BUILD}
toolchain="$PAKVANE_WIN_TOOLCHAIN"
case "$build" in *win64*) toolchain="$root/cmake/mingw-x86_64.cmake" ;; esac
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" >/dev/null
cmake --build "$build" -j2 --target pakvane_bench

trap pakvane_wine_down EXIT
pakvane_wine_up "$build"
timeout 1200 wine "$build/bin/pakvane_bench.exe" "$@" </dev/null

#!/usr/bin/env bash
# Builds and runs the benchmark under Wine: load, sort and save of the core, then start-up
# to a shown window (pakvane.exe and a bare window program) with 1,000 to 200,000 rows.
# A few minutes; the 200,000-row window is started once.
# bench/run.sh --window measures only the window start-up;
# LC_ALL=ru_RU.CP1251 bench/run.sh measures under the Russian code page 1251;
# PAKVANE_BENCH_BUILD=build/other picks another build folder.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
build=${PAKVANE_BENCH_BUILD:-build/win32}
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >/dev/null
cmake --build "$build" -j2 --target pakvane_bench

source "$root/scripts/wine-env.sh"
trap pakvane_wine_down EXIT
pakvane_wine_up "$build"
timeout 1200 wine "$build/bin/pakvane_bench.exe" "$@" </dev/null

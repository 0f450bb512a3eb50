#!/usr/bin/env bash
# Runs every test: native unit tests (with sanitizers), then the Windows build under Wine:
# unit tests again, platform and window tests, end-to-end journeys (ANSI code page 1252),
# and the platform tests and journeys once more under the Russian code page 1251.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
"$root/scripts/deps.sh"

jobs=$(nproc)
echo "== native build"
cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build/native -j"$jobs"
echo "== native tests"
(cd build/native && ctest --output-on-failure --timeout 300)

echo "== Windows build"
cmake -S . -B build/win32 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >/dev/null
cmake --build build/win32 -j"$jobs"

source "$root/scripts/wine-env.sh"
trap pakvane_wine_down EXIT
pakvane_wine_up build/win32
echo "== tests under Wine (code page 1252)"
(cd build/win32 && ctest --output-on-failure --timeout 300)
echo "== platform tests and journeys under Wine (code page 1251)"
(cd build/win32 && LC_ALL=ru_RU.CP1251 PAKVANE_EXPECT_ACP=1251 ctest --output-on-failure --timeout 300 -R "^(win32|e2e[.])")

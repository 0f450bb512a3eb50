#!/usr/bin/env bash
# Runs every test: native unit tests (with sanitizers), then the Windows build under Wine:
# unit tests again, platform and window tests, end-to-end journeys (ANSI code page 1252),
# the platform tests and journeys once more under the Russian code page 1251, and the
# platform and window tests once more at 144 dpi.
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

source "$root/scripts/wine-env.sh"
pakvane_windows_build
echo "== Windows build (32-bit program)"
cmake -S . -B build/win32 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >/dev/null
if [ "$PAKVANE_WIN_BUILD" = build/win32 ]; then
  cmake --build build/win32 -j"$jobs"
else
  # This machine cannot execute 32-bit code: the shipped program is still built, and every
  # test runs on the same sources built for 64-bit Windows under 64-bit Wine.
  cmake --build build/win32 -j"$jobs" --target pakvane
  echo "== Windows build (64-bit, for the tests: 32-bit programs cannot run here)"
  cmake -S . -B "$PAKVANE_WIN_BUILD" -DCMAKE_TOOLCHAIN_FILE="$PAKVANE_WIN_TOOLCHAIN" >/dev/null
  cmake --build "$PAKVANE_WIN_BUILD" -j"$jobs"
fi

trap pakvane_wine_down EXIT
pakvane_wine_up "$PAKVANE_WIN_BUILD"
echo "== tests under Wine (code page 1252)"
(cd "$PAKVANE_WIN_BUILD" && ctest --output-on-failure --timeout 300)
echo "== platform tests and journeys under Wine (code page 1251)"
(cd "$PAKVANE_WIN_BUILD" && LC_ALL=ru_RU.CP1251 PAKVANE_EXPECT_ACP=1251 ctest --output-on-failure --timeout 300 -R "^(win32|e2e[.])")
echo "== platform and window tests at 144 dpi"
pakvane_wine_dpi 144
status=0
(cd "$PAKVANE_WIN_BUILD" && PAKVANE_EXPECT_DPI=144 ctest --output-on-failure --timeout 300 -R "^win32$") || status=$?
pakvane_wine_dpi 96
exit $status

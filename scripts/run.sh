#!/usr/bin/env bash
# Builds Pakvane and starts it under Wine on the demo Total Commander folder of the build.
# With no X display it runs on a headless one, saves a screenshot, prints its path and closes.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
"$root/scripts/deps.sh"

cmake -S . -B build/win32 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >/dev/null
cmake --build build/win32 -j"$(nproc)" --target pakvane pakvane_e2e demo

demo="$root/build/win32/demo"
winpath() { printf 'Z:%s' "${1//\//\\}"; }
exe="$root/build/win32/bin/pakvane.exe"

source "$root/scripts/wine-env.sh"
trap pakvane_wine_down EXIT
if [ -n "${DISPLAY:-}" ]; then
  PAKVANE_OWN_DISPLAY=0 pakvane_wine_up build/win32 plain
  wine "$exe" "$(winpath "$demo/wincmd.ini")" "$(winpath "$demo")\\"
else
  pakvane_wine_up build/win32
  driver="$root/build/win32/bin/pakvane_e2e.exe"
  timeout 120 wine "$driver" --show "$exe" "$(winpath "$demo/wincmd.ini")" "$(winpath "$demo")\\"
  sleep 1
  shot="$root/build/win32/pakvane.png"
  xwd -root -silent | convert xwd:- "$shot"
  timeout 60 wine "$driver" --close
  echo "No X display: Pakvane ran on a headless one. Screenshot: $shot"
fi

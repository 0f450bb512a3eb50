#!/usr/bin/env bash
# Builds Pakvane and starts it under Wine on the demo Total Commander folder of the build.
# With no X display it runs on a headless one, saves a screenshot, prints its path and closes.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
"$root/scripts/deps.sh"

source "$root/scripts/wine-env.sh"
# The 32-bit program, or where this machine cannot run 32-bit code the 64-bit build of it.
pakvane_windows_build
build="$PAKVANE_WIN_BUILD"
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$PAKVANE_WIN_TOOLCHAIN" >/dev/null
cmake --build "$build" -j"$(nproc)" --target pakvane pakvane_e2e demo

demo="$root/$build/demo"
winpath() { printf 'Z:%s' "${1//\//\\}"; }
exe="$root/$build/bin/pakvane.exe"

# Total Commander keeps descript.ion hidden; files made on Linux are not.
hide_comment_files() { wine attrib +h "$(winpath "$demo")\\descript.ion" /s >/dev/null 2>&1 || true; }

trap pakvane_wine_down EXIT
if [ -n "${DISPLAY:-}" ]; then
  PAKVANE_OWN_DISPLAY=0 pakvane_wine_up "$build" plain
  hide_comment_files
  wine "$exe" "$(winpath "$demo/wincmd.ini")" "$(winpath "$demo")\\"
else
  pakvane_wine_up "$build"
  hide_comment_files
  driver="$root/$build/bin/pakvane_e2e.exe"
  timeout 120 wine "$driver" --show "$exe" "$(winpath "$demo/wincmd.ini")" "$(winpath "$demo")\\"
  # The first plugin's row, so the memo shows its comment and version.
  timeout 60 wine "$driver" --select 0
  sleep 1
  shot="$root/$build/pakvane.png"
  xwd -root -silent | convert xwd:- "$shot"
  timeout 60 wine "$driver" --close
  echo "No X display: Pakvane ran on a headless one. Screenshot: $shot"
fi

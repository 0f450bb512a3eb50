# Sourced by the build and test scripts: a private Wine prefix inside the build folder
# and a headless X server for the run.
#   pakvane_windows_build       sets PAKVANE_WIN_BUILD and PAKVANE_WIN_TOOLCHAIN: the 32-bit
#                               build where this machine runs 32-bit programs, else the
#                               64-bit one (some sandboxed kernels cannot execute i386 code,
#                               so 32-bit Wine cannot start there)
#   pakvane_wine_up BUILD_DIR [plain]
#                               sets WINEPREFIX etc. for that build's bitness, makes the
#                               prefix, starts Xvfb; "plain" gives a prefix without the
#                               virtual desktop, for a real display
#   pakvane_wine_dpi N          sets the prefix's screen DPI and restarts Wine
#   pakvane_wine_down           stops the wineserver and the Xvfb started here

export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

pakvane_xvfb_pid=""
pakvane_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

pakvane_i386_runs() {
  [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1
}

pakvane_windows_build() {
  if pakvane_i386_runs; then
    PAKVANE_WIN_BUILD=build/win32
    PAKVANE_WIN_TOOLCHAIN="$pakvane_root/cmake/mingw-i686.cmake"
  else
    PAKVANE_WIN_BUILD=build/win64
    PAKVANE_WIN_TOOLCHAIN="$pakvane_root/cmake/mingw-x86_64.cmake"
  fi
  export PAKVANE_WIN_BUILD PAKVANE_WIN_TOOLCHAIN
}

pakvane_start_xvfb() {
  local n
  for n in $(seq 91 140); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    pakvane_xvfb_pid=$!
    for _ in $(seq 50); do
      [ -e "/tmp/.X11-unix/X$n" ] && { export DISPLAY=":$n"; return 0; }
      kill -0 "$pakvane_xvfb_pid" 2>/dev/null || break
      sleep 0.1
    done
  done
  echo "wine-env: could not start Xvfb" >&2
  return 1
}

# A 64-bit build runs under the 64-bit loader in a 64-bit prefix. Debian's `wine` and
# `wineboot` prefer the 32-bit loader whenever it is installed, so a folder of shims that
# name the 64-bit loader goes first on PATH.
pakvane_use_wine64() {
  local shims="$1/winebin"
  mkdir -p "$shims"
  for name in wine wine-stable; do
    printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' >"$shims/$name"
    chmod +x "$shims/$name"
  done
  case ":$PATH:" in *":$shims:"*) ;; *) export PATH="$shims:$PATH" ;; esac
  export WINELOADER=/usr/lib/wine/wine64
}

pakvane_wine_up() {
  local build
  build=$(cd "$1" && pwd)
  local kind=${2:-desktop}
  if grep -q '^CMAKE_SYSTEM_PROCESSOR:.*=x86_64' "$build/CMakeCache.txt" 2>/dev/null \
     || [[ "$build" == */win64 ]]; then
    export WINEARCH=win64
    pakvane_use_wine64 "$build"
  else
    export WINEARCH=win32
  fi
  export WINEPREFIX="$build/wineprefix"
  [ "$kind" = plain ] && WINEPREFIX="$build/wineprefix-plain"
  if [ -z "${DISPLAY:-}" ] || [ "${PAKVANE_OWN_DISPLAY:-1}" = 1 ]; then
    pakvane_start_xvfb || return 1
  fi
  if [ ! -f "$WINEPREFIX/.pakvane-ready" ]; then
    echo "Making the Wine prefix $WINEPREFIX"
    rm -rf "$WINEPREFIX"
    timeout 300 wineboot -i </dev/null >/dev/null 2>&1
    # A virtual desktop: windows get frames and captions in screenshots, and closing a
    # window does not wait for a window manager that is not there.
    [ "$kind" = plain ] || wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f </dev/null >/dev/null 2>&1
    [ "$kind" = plain ] || wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f </dev/null >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.pakvane-ready"
  fi
  # Wine finds the fonts of the fonts-wine package (Marlett for the caption buttons, Tahoma
  # and the others it substitutes for Windows' own) only in its data folder, which this
  # Wine does not search here; without Marlett the caption buttons show "0 1 r". The
  # prefix's own font folder is always searched.
  if [ -d /usr/share/wine/fonts ] && [ -d "$WINEPREFIX/drive_c/windows/Fonts" ]; then
    cp -n /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  fi
  # Start Wine's services detached first, so they never hold a test runner's output pipe.
  wineserver -p </dev/null >/dev/null 2>&1
  timeout 120 wine wineboot </dev/null >/dev/null 2>&1 || true
}

# Sets the prefix's screen DPI (96 is Wine's own default) and restarts Wine so it applies.
pakvane_wine_dpi() {
  if [ "$1" = 96 ]; then
    wine reg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f </dev/null >/dev/null 2>&1 || true
  else
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f </dev/null >/dev/null 2>&1
  fi
  wineserver -k >/dev/null 2>&1; wineserver -w
  wineserver -p </dev/null >/dev/null 2>&1
  timeout 120 wine wineboot </dev/null >/dev/null 2>&1 || true
}

pakvane_wine_down() {
  [ -n "${WINEPREFIX:-}" ] && wineserver -k >/dev/null 2>&1
  if [ -n "$pakvane_xvfb_pid" ]; then
    kill "$pakvane_xvfb_pid" 2>/dev/null; wait "$pakvane_xvfb_pid" 2>/dev/null
    pakvane_xvfb_pid=""
  fi
  return 0
}

# Sourced by the build and test scripts: a private Wine prefix inside the build folder
# and a headless X server for the run.
#   pakvane_wine_up BUILD_DIR [plain]
#                               sets WINEPREFIX etc., makes the prefix, starts Xvfb; "plain"
#                               gives a prefix without the virtual desktop, for a real display
#   pakvane_wine_down           stops the wineserver and the Xvfb started here

export WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

pakvane_xvfb_pid=""

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

pakvane_wine_up() {
  local build
  build=$(cd "$1" && pwd)
  local kind=${2:-desktop}
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
  # Start Wine's services detached first, so they never hold a test runner's output pipe.
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

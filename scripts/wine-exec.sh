#!/usr/bin/env bash
# CTest's emulator for the Windows build: runs one program under Wine with a time limit,
# so that a stray modal window fails the test instead of hanging it.
set -u
if [ -z "${WINEPREFIX:-}" ]; then
  echo "wine-exec: WINEPREFIX is not set; run the tests through scripts/test.sh" >&2
  exit 97
fi
exec timeout -k 5 "${PAKVANE_WINE_TIMEOUT:-240}" wine "$@"

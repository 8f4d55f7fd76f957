#!/usr/bin/env bash
# Runs a Windows test executable under Wine with a private, headless prefix.
set -euo pipefail
: "${WINEPREFIX:=${KEYDECK_WINEPREFIX:-$PWD/wineprefix}}"
export PATH="/usr/lib/wine:$PATH"
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY=
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    wine64 wineboot --init >/dev/null 2>&1 || true
    wineserver -w || true
fi
exec wine64 "$@"

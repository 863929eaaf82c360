#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's own prefix, quietly.
set -euo pipefail
export WINEPREFIX="${FENNICK_WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/fennick-wine}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w || true
fi
exec wine "$@"

#!/usr/bin/env bash
# Builds Morvane and starts it under Wine in a real window, in a prefix of its
# own ($XDG_DATA_HOME/morvane/prefix, or MORVANE_PREFIX). Without a DISPLAY it
# starts a private Xvfb and says where it is. Arguments go to Morvane.exe.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

bash "$ROOT/scripts/setup.sh"
morvane_build

DATA="${XDG_DATA_HOME:-$HOME/.local/share}/morvane"
export WINEPREFIX="${MORVANE_PREFIX:-$DATA/prefix}"
if [ ! -f "$WINEPREFIX/.morvane-demo" ]; then
  morvane_template
  mkdir -p "$(dirname "$WINEPREFIX")"
  rm -rf "$WINEPREFIX"
  cp -a "$TEMPLATE" "$WINEPREFIX"
  # The demo machine: browser profiles and cookie stores to look at.
  bash "$ROOT/scripts/demo-machine.sh" "$WINEPREFIX" "$BUILD"
  "$WINESERVER" -w
  touch "$WINEPREFIX/.morvane-demo"
fi

started_xvfb=0
if [ -z "${DISPLAY:-}" ]; then
  morvane_start_xvfb "$DATA/xvfb.log"
  started_xvfb=1
  echo "run: no DISPLAY; Morvane runs on the private X server $DISPLAY"
  trap 'morvane_stop_xvfb' EXIT
fi

mkdir -p "$WINEPREFIX/drive_c/Program Files/Morvane"
cp "$BUILD/bin/Morvane.exe" "$WINEPREFIX/drive_c/Program Files/Morvane/"
if [ -d "$BUILD/bin/locale" ]; then
  cp -r "$BUILD/bin/locale" "$WINEPREFIX/drive_c/Program Files/Morvane/"
fi
cd "$WINEPREFIX/drive_c/Program Files/Morvane"
status=0
"$WINE64" 'C:\Program Files\Morvane\Morvane.exe' "$@" || status=$?
[ $started_xvfb = 1 ] && "$WINESERVER" -k </dev/null >/dev/null 2>&1 || true
exit $status

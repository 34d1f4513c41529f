#!/usr/bin/env bash
# Builds Morvane and starts it under Wine in a real window, in a prefix of its
# own ($XDG_DATA_HOME/morvane/prefix, or MORVANE_PREFIX). Without a DISPLAY it
# starts a private Xvfb and says where it is. Arguments go to Morvane.exe.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

bash "$ROOT/scripts/setup.sh" run
# Only the program and the demo machine's generator: the tests are not needed here.
morvane_build Morvane fixture-gen
export LANG=$MORVANE_LANG LC_ALL=

DATA="${XDG_DATA_HOME:-$HOME/.local/share}/morvane"
mkdir -p "$DATA"
export WINEPREFIX="${MORVANE_PREFIX:-$DATA/prefix}"
if [ ! -f "$WINEPREFIX/.morvane-demo" ]; then
  morvane_template
  mkdir -p "$(dirname "$WINEPREFIX")"
  rm -rf "$WINEPREFIX"
  cp -a "$TEMPLATE" "$WINEPREFIX"
  # The demo machine: browser profiles and cookie stores to look at. A demo
  # that failed half-way is not marked done, so the next run makes it anew.
  bash "$ROOT/scripts/demo-machine.sh" "$WINEPREFIX" "$BUILD" >"$DATA/demo-machine.log" 2>&1 ||
    { morvane_fail "run: making the demo machine failed; see $DATA/demo-machine.log"; exit 1; }
  "$WINESERVER" -w
  touch "$WINEPREFIX/.morvane-demo"
fi
# Prefixes made before the fonts were installed into the template get them too.
morvane_prefix_fonts "$WINEPREFIX"

started_xvfb=0
if [ -z "${DISPLAY:-}" ]; then
  morvane_start_xvfb "$DATA/xvfb.log" ||
    { morvane_fail "run: the X server did not start; see $DATA/xvfb.log"; exit 1; }
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

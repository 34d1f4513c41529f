#!/usr/bin/env bash
# Builds everything and runs the tests under Wine in a fresh throwaway prefix
# with its own X server; exits with ctest's status. Extra arguments go to ctest
# (for example: scripts/test.sh -R browserdata).
set -euo pipefail
source "$(dirname "$0")/lib.sh"

bash "$ROOT/scripts/setup.sh"
morvane_build

export LANG=en_US.UTF-8 LC_ALL= TZ=UTC
export WINEPREFIX="$BUILD/test-prefix"

cleanup() {
  morvane_stop_wineserver
  morvane_stop_xvfb
}
trap cleanup EXIT

morvane_template
morvane_new_prefix "$WINEPREFIX"
morvane_start_xvfb "$BUILD/xvfb.log"
morvane_start_wineserver

# Shell associations: URLs, mail links and HTML documents open in the logging helper.
mkdir -p "$WINEPREFIX/drive_c/morvane"
cp "$BUILD/bin/shell-log.exe" "$WINEPREFIX/drive_c/morvane/"
cat >"$WINEPREFIX/drive_c/morvane/associations.reg" <<'REG'
REGEDIT4

[HKEY_CLASSES_ROOT\http\shell\open\command]
@="\"C:\\morvane\\shell-log.exe\" \"%1\""

[HKEY_CLASSES_ROOT\https\shell\open\command]
@="\"C:\\morvane\\shell-log.exe\" \"%1\""

[HKEY_CLASSES_ROOT\mailto\shell\open\command]
@="\"C:\\morvane\\shell-log.exe\" \"%1\""

[HKEY_CLASSES_ROOT\.html]
@="htmlfile"

[HKEY_CLASSES_ROOT\.htm]
@="htmlfile"

[HKEY_CLASSES_ROOT\htmlfile\shell\open\command]
@="\"C:\\morvane\\shell-log.exe\" \"%1\""
REG
"$WINE64" regedit /S 'C:\morvane\associations.reg' </dev/null >/dev/null 2>&1

# A test that fails is run once more: a Wine process that fails to start under
# load says nothing about the code. Both runs stay in the log.
status=0
ctest --test-dir "$BUILD" -j"${MORVANE_JOBS:-$(nproc)}" --output-on-failure --no-tests=error --repeat until-pass:2 "$@" || status=$?
exit $status

#!/usr/bin/env bash
# The history reader and libmsiecf's msiecfexport must list the same URL
# records, with the same two times, of the same index.dat files: one that the
# system's own URL cache (Wine's wininet) wrote, and our generator's files,
# with LEAK and REDR records, with records claiming no blocks, and one cut
# inside a record. Runs natively under ctest, in the test prefix of
# scripts/test.sh (WINEPREFIX); our programs run under Wine.
set -euo pipefail
BIN="$1"
HERE="$(cd "$(dirname "$0")" && pwd)"
WINE64="${WINE64:-/usr/lib/wine/wine64}"

if ! command -v msiecfexport >/dev/null 2>&1; then
  echo "msiecfexport is not installed (Debian: libmsiecf-utils): skipped"
  exit 77
fi
if [ -z "${WINEPREFIX:-}" ] || [ ! -d "$WINEPREFIX/drive_c" ] || [ ! -x "$WINE64" ]; then
  echo "no Wine prefix to run our programs in: skipped"
  exit 77
fi

work_win='C:\morvane-crosscheck-history'
work="$WINEPREFIX/drive_c/morvane-crosscheck-history"
rm -rf "$work"; mkdir -p "$work"
trap 'rm -rf "$work"' EXIT
win() { "$WINE64" "$@" </dev/null 2>/dev/null | tr -d '\r'; }
native() { local p="${1//\\//}"; echo "$WINEPREFIX/drive_c/${p#C:/}"; }
their() { ( ulimit -v 2000000; timeout 120 msiecfexport "$1" ) 2>/dev/null || true; }

# 1. Written by the system's URL cache; its signature is the system's own
# ("WINE URLCache Ver ..."), so it is patched to the one Internet Explorer
# writes, as the reader (and msiecfexport) look for.
history_ie5="$WINEPREFIX/drive_c/users/$(ls "$WINEPREFIX/drive_c/users" | grep -v -i '^public$' | head -1)/AppData/Local/Microsoft/Windows/History/History.IE5"
[ -d "$history_ie5" ] && had_history=1 || had_history=0
win "$BIN/urlcache-writer.exe" \
  "Visited: root@http://example.com/a" 133000000000000000 \
  "Visited: root@file:///C:/Documents/x.htm" 132000000012345678 \
  "Visited: root@https://www.example.org/path?q=1&r=2" 125000000000000000 \
  "Visited: root@:odd" 130000000000000000 >"$work/wininet.txt"
index="$(native "$(head -1 "$work/wininet.txt")")"
[ -f "$index" ] || { echo "the URL cache wrote no index file ($index)"; exit 1; }
cp "$index" "$work/wininet.dat"
# Leave the prefix's history as other tests expect to find it.
[ "$had_history" = 1 ] || rm -rf "$(dirname "$index")"
printf 'Client UrlCache MMF Ver 5.2\0' | dd of="$work/wininet.dat" bs=1 conv=notrunc status=none

# 2. Our generator's files.
win "$BIN/fixture-gen.exe" history-cases "$work_win"

status=0
for f in wininet mixed zero-blocks cut; do
  win "$BIN/morvane-dump.exe" history "$work_win\\$f.dat" >"$work/$f.ours"
done
# msiecfexport itself does not get through the damaged files (it runs out of
# memory on a record claiming no blocks and refuses a cut file), so those are
# compared with its listing of the undamaged one.
for f in wininet mixed; do their "$work/$f.dat" >"$work/$f.theirs"; done
python3 "$HERE/history_compare.py" "$work" || status=1
exit $status

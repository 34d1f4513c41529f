#!/usr/bin/env bash
# Native side of the Opera benchmark: writes a cookies4.dat of 20,000
# cookies with our generator (under Wine).
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BIN="${BUILD:-$ROOT/build}/bin"
[ -f "$MORVANE_BENCH_DATA_UNIX/opera-20k.dat" ] ||
  /usr/lib/wine/wine64 "$BIN/fixture-gen.exe" opera "$MORVANE_BENCH_DATA\\opera-20k.dat" 20000 </dev/null >/dev/null 2>&1

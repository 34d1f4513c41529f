#!/usr/bin/env bash
# Data for bench_page_history: the 50 MB index file of the history walk
# benchmark, as the index file of a history folder of its own.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BIN="${BUILD:-$ROOT/build}/bin"
DATA="$MORVANE_BENCH_DATA_UNIX"
file="$DATA/history-50mb.dat"
if [ ! -f "$file" ]; then
  /usr/lib/wine/wine64 "$BIN/fixture-gen.exe" history "$MORVANE_BENCH_DATA\\history-50mb.dat" 50 </dev/null >/dev/null 2>&1
fi
mkdir -p "$DATA/page_history/MSHist012026120720261214"
ln -f "$file" "$DATA/page_history/MSHist012026120720261214/index.dat"

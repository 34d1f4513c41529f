#!/usr/bin/env bash
# Native side of the history walk benchmark: writes the 50 MB index.dat with
# our generator (under Wine) and times msiecfexport on the same file; the
# benchmark reads the peer's median from msiecfexport_ms.txt.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BIN="${BUILD:-$ROOT/build}/bin"
DATA="$MORVANE_BENCH_DATA_UNIX"
file="$DATA/history-50mb.dat"
if [ ! -f "$file" ]; then
  /usr/lib/wine/wine64 "$BIN/fixture-gen.exe" history "$MORVANE_BENCH_DATA\\history-50mb.dat" 50 </dev/null >/dev/null 2>&1
fi
rm -f "$DATA/msiecfexport_ms.txt"
if command -v msiecfexport >/dev/null 2>&1; then
  times=()
  for i in 1 2 3 4 5; do
    start=$(date +%s%N)
    msiecfexport "$file" >/dev/null 2>&1 || true
    end=$(date +%s%N)
    times+=($(( (end - start) / 1000 )))
  done
  median_us=$(printf '%s\n' "${times[@]}" | sort -n | sed -n 3p)
  ms=$(awk -v us="$median_us" 'BEGIN { printf "%.1f", us / 1000 }')
  echo "$ms" >"$DATA/msiecfexport_ms.txt"
  echo "bench msiecfexport_50mb $ms ms"
fi

#!/usr/bin/env bash
# Builds and runs the benchmarks under Wine; each prints lines
# "bench NAME MEDIAN_MS ms" or "ratio NAME VALUE". With FILTER, only the
# benchmarks whose names contain it run.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
FILTER="${1:-}"

bash "$ROOT/scripts/setup.sh" bench
morvane_build >/dev/null
cmake --build "$BUILD" --target benches >/dev/null 2>&1 || cmake --build "$BUILD" --target benches

export LANG=$MORVANE_LANG LC_ALL= TZ=UTC
export WINEPREFIX="$BUILD/bench-prefix"
cleanup() { morvane_stop_wineserver; morvane_stop_xvfb; }
trap cleanup EXIT
morvane_template
morvane_new_prefix "$WINEPREFIX"
morvane_start_xvfb "$BUILD/bench-xvfb.log"
morvane_start_wineserver

# Data generators and peers write under the bench folder; benchmarks read it
# through the t: drive (the source tree) as MORVANE_BENCH_DATA.
export MORVANE_BENCH_DATA_UNIX="$BUILD/bench-data"
mkdir -p "$MORVANE_BENCH_DATA_UNIX"
rel="${MORVANE_BENCH_DATA_UNIX#$ROOT/}"
export MORVANE_BENCH_DATA="T:\\${rel//\//\\}"

for exe in "$BUILD"/bin/bench_*.exe; do
  [ -e "$exe" ] || continue
  name="$(basename "$exe" .exe)"; name="${name#bench_}"
  [ -z "$FILTER" ] || [[ "$name" == *"$FILTER"* ]] || continue
  # A benchmark may come with a native side (data generator, peer program):
  # bench/<name>.sh runs first and may print figures of its own.
  if [ -f "$ROOT/bench/$name.sh" ]; then bash "$ROOT/bench/$name.sh"; fi
  "$WINE64" "$exe" 2>&1 | tr -d '\r'
done

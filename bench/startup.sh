#!/usr/bin/env bash
# The demo machine in the benchmark prefix, for bench_startup (seeded once).
set -euo pipefail
source "$(dirname "$0")/../scripts/lib.sh"
BUILD="${BUILD:-$ROOT/build}"
[ -f "$WINEPREFIX/.morvane-demo" ] && exit 0
bash "$ROOT/scripts/demo-machine.sh" "$WINEPREFIX" "$BUILD" >/dev/null 2>&1
touch "$WINEPREFIX/.morvane-demo"

#!/usr/bin/env bash
# Builds the native fuzz targets (preset "fuzz": clang, libFuzzer, ASan, UBSan)
# and runs each for a bounded time, starting from its saved corpus.
# FUZZ_SECONDS (default 20) is the time per target.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="${FUZZ_BUILD:-$ROOT/build-fuzz}"
SECONDS_PER_TARGET="${FUZZ_SECONDS:-20}"

bash "$ROOT/scripts/setup.sh" fuzz
# A configure that failed leaves a cache but no build.ninja: start afresh.
if [ ! -f "$BUILD/CMakeCache.txt" ] || [ ! -f "$BUILD/build.ninja" ]; then
  rm -f "$BUILD/CMakeCache.txt"
  cmake -S "$ROOT" -B "$BUILD" -G Ninja -DMORVANE_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >"$BUILD.configure.log" 2>&1 ||
    { tail -20 "$BUILD.configure.log" >&2; rm -f "$BUILD/CMakeCache.txt"
      echo "fuzz: configure failed; see $BUILD.configure.log" >&2; exit 1; }
fi
cmake --build "$BUILD" -j"${MORVANE_JOBS:-$(nproc)}" ||
  { echo "fuzz: compiling the fuzz targets failed (output above)" >&2; exit 1; }

failed=0
ran=0
for bin in "$BUILD"/fuzz/fuzz_*; do
  [ -x "$bin" ] || continue
  name="${bin##*/fuzz_}"
  work="$BUILD/corpus-run/$name"
  mkdir -p "$work" "$BUILD/artifacts/$name"
  # New inputs go to a scratch folder; the saved corpus only seeds the run.
  if "$bin" -max_total_time="$SECONDS_PER_TARGET" -rss_limit_mb=2048 -timeout=10 \
       -artifact_prefix="$BUILD/artifacts/$name/" -print_final_stats=0 \
       "$work" "$ROOT/fuzz/corpus/$name" >"$BUILD/fuzz-$name.log" 2>&1; then
    echo "fuzz $name: ok (${SECONDS_PER_TARGET}s)"
  else
    echo "fuzz $name: FAILED, see $BUILD/fuzz-$name.log"
    tail -40 "$BUILD/fuzz-$name.log"
    failed=$((failed + 1))
  fi
  ran=$((ran + 1))
done
echo "$((ran - failed)) passed, $failed failed"
[ "$failed" = 0 ]

#!/usr/bin/env bash
# Data for bench_cookies_txt: a profile folder whose cookies.txt has 100,000
# cookie lines (about 9.5 MB; made once), and the time Python's
# MozillaCookieJar().load takes for it (median of five, in ms), which the
# benchmark divides its own read time by.
set -euo pipefail
dir="$MORVANE_BENCH_DATA_UNIX/cookies_txt"
if [ ! -f "$dir/.complete" ]; then
  rm -rf "$dir"; mkdir -p "$dir/profile"
  python3 - "$dir/profile/cookies.txt" <<'PY'
import random, sys
rnd = random.Random(4)
lines = ["# Netscape HTTP Cookie File", "# http://www.netscape.com/newsref/std/cookie_spec.html",
         "# This is a generated file!  Do not edit.", ""]
for i in range(100000):
    host = f".host{i % 20000:05d}.example-{i % 7}.com"
    lines.append("\t".join([host, "TRUE", f"/path/{i % 13}", "FALSE" if i % 3 else "TRUE",
                            str(1700000000 + rnd.randrange(400000000)), f"cookie_{i:06d}",
                            "".join(rnd.choice("abcdefghijklmnopqrstuvwxyz0123456789") for _ in range(30))]))
with open(sys.argv[1], "w", newline="\n") as f:
    f.write("\n".join(lines) + "\n")
PY
  touch "$dir/.complete"
fi
if command -v python3 >/dev/null 2>&1; then
  python3 - "$dir/profile/cookies.txt" "$dir/python_ms" <<'PY'
import http.cookiejar, statistics, sys, time
times = []
for _ in range(5):
    jar = http.cookiejar.MozillaCookieJar()
    t = time.perf_counter()
    jar.load(sys.argv[1], ignore_discard=True, ignore_expires=True)
    times.append((time.perf_counter() - t) * 1000)
    assert len(jar) == 100000, len(jar)
open(sys.argv[2], "w").write(f"{statistics.median(times):.1f}\n")
PY
fi

#!/usr/bin/env bash
# Data for bench_ie_folder: a cookie folder of 10,000 Internet Explorer cookie
# files with three records each (made once).
set -euo pipefail
dir="$MORVANE_BENCH_DATA_UNIX/ie_folder"
[ -f "$dir/.complete" ] && exit 0
rm -rf "$dir"; mkdir -p "$dir"
python3 - "$dir" <<'PY'
import os, sys
d = sys.argv[1]
for i in range(10000):
    host = f"host{i:05d}.example.com"
    recs = []
    for j in range(3):
        ft_exp = 136326240000000000 + i * 10000000 * 61 + j
        ft_new = 129370521020393216 + i * 10000000 * 7
        recs.append("\n".join([f"cookie{j}", f"value-{i}-{j}-" + "x" * 40, f"{host}/path{j}/",
                               str(1024 + (8192 if j == 2 else 0)),
                               str(ft_exp & 0xFFFFFFFF), str(ft_exp >> 32),
                               str(ft_new & 0xFFFFFFFF), str(ft_new >> 32), "*"]) + "\n")
    with open(os.path.join(d, f"user@{host}[1].txt"), "w", newline="") as f:
        f.write("".join(recs))
open(os.path.join(d, ".complete"), "w").close()
PY

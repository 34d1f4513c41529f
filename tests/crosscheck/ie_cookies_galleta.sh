#!/usr/bin/env bash
# Cookie files written by the system's own cookie store (wininet, through
# iecookie-writer) must read the same in our store (morvane-dump ie-cookies)
# as in galleta: the same names, values, hosts, flags and times. Runs natively
# under ctest, in the test prefix of scripts/test.sh (WINEPREFIX); our
# programs run under Wine.
set -euo pipefail
BIN="$1"
WINE64="${WINE64:-/usr/lib/wine/wine64}"
writer="$BIN/iecookie-writer.exe"
dump="$BIN/morvane-dump.exe"
if ! command -v galleta >/dev/null 2>&1; then
  echo "galleta is not installed: skipped"
  exit 77
fi
if [ -z "${WINEPREFIX:-}" ] || [ ! -d "$WINEPREFIX/drive_c" ] || [ ! -x "$WINE64" ]; then
  echo "no Wine prefix to run our programs in: skipped"
  exit 77
fi

out="$WINEPREFIX/drive_c/morvane-crosscheck-iecookies"
work="$(mktemp -d)"
rm -rf "$out"
trap 'rm -rf "$work" "$out"' EXIT

"$WINE64" "$writer" 'C:\morvane-crosscheck-iecookies' </dev/null | tr -d '\r'
"$WINE64" "$dump" ie-cookies 'C:\morvane-crosscheck-iecookies' </dev/null | tr -d '\r' >"$work/ours.tsv"
(cd "$out" && for f in *.txt; do TZ=UTC galleta "$f"; done) >"$work/galleta.txt"

python3 - "$work/ours.tsv" "$work/galleta.txt" <<'PY'
import sys

def galleta_time(iso):  # 2033-01-01T00:00:00Z -> 01/01/2033 00:00:00
    if not iso:
        return ""
    d, t = iso.rstrip("Z").split("T")
    y, m, day = d.split("-")
    return f"{m}/{day}/{y} {t}"

ours, theirs = [], []
for line in open(sys.argv[1], encoding="latin-1").read().splitlines():
    f = line.split("\t")
    file, name, value, flags, hostpath, secure, httponly, created, _, expires, _ = f
    bits = int(flags)
    if (secure == "Yes") != bool(bits & 1) or (httponly == "Yes") != bool(bits & 0x2000):
        sys.exit(f"secure/HTTP-only columns disagree with the flags: {line!r}")
    ours.append((file, hostpath, name, value, galleta_time(created), galleta_time(expires), str(bits)))

current = None
for line in open(sys.argv[2], encoding="latin-1").read().splitlines():
    if line.startswith("Cookie File: "):
        current = line[len("Cookie File: "):]
        continue
    if not line.strip() or line.startswith("SITE\t"):
        continue
    site, name, value, created, expires, flags = line.split("\t")
    theirs.append((current, site, name, value, created, expires, flags))

ours.sort(); theirs.sort()
names = {r[2] for r in ours}
want = {"sid", "lang", "n2", "page", "token", "h", "later"}
if not want <= names:
    sys.exit(f"cookies missing from our reading: {sorted(want - names)}")
if ours != theirs:
    print("ours:"); [print("  ", r) for r in ours]
    print("galleta:"); [print("  ", r) for r in theirs]
    sys.exit("our store and galleta read the cookie files differently")
print(f"{len(ours)} cookies in {len({r[0] for r in ours})} files read alike")
PY

#!/usr/bin/env bash
# Proves that the README's two commands are the whole set-up: makes a minimal
# Debian 12 root with debootstrap (from the archive this machine's apt uses),
# copies the project (its committed tree) in and runs one command in it with chroot, as the first
# and only command on that machine.
#   fresh-machine-check.sh [test|run]...    (default: test run)
# test: scripts/test.sh must pass. run: scripts/run.sh must show the main
# window; the check then ends the program and takes a screenshot.
# Each command gets its own copy of the clean root. Needs root; downloads the
# whole toolchain. Work folder: FRESH_DIR (default /var/tmp/morvane-fresh).
# Prints the set-up time of each phase at the end.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
DIR="${FRESH_DIR:-/var/tmp/morvane-fresh}"
JOBS="${MORVANE_JOBS:-$(nproc)}"
WINDOW_TIMEOUT="${FRESH_WINDOW_TIMEOUT:-3600}"
[ $# -gt 0 ] || set -- test run

fail() { echo "fresh-machine-check: $*" >&2; exit 1; }
[ "$(id -u)" = 0 ] || fail "must run as root (debootstrap, mount, chroot)"
for what in "$@"; do
  case "$what" in test|run) ;; *) fail "unknown command '$what' (test or run)" ;; esac
done
mkdir -p "$DIR"

# The archive: the first binary entry of this machine's apt sources that
# carries the plain bookworm suite.
mirror() {
  local f
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    awk 'BEGIN{RS="";FS="\n"} {
      t=u=s=""
      for (i=1;i<=NF;i++) {
        if ($i ~ /^Types:/) t=$i; else if ($i ~ /^URIs:/) u=$i; else if ($i ~ /^Suites:/) s=$i
      }
      if (t ~ /[ \t]deb([ \t]|$)/ && s ~ /[ \t]bookworm([ \t]|$)/) { sub(/^URIs:[ \t]*/,"",u); split(u,a,/[ \t]+/); print a[1]; exit }
    }' "$f"
  done
  sed -nE 's/^\s*deb\s+(\[[^]]*\]\s+)?(\S+)\s+bookworm\s.*/\2/p' /etc/apt/sources.list 2>/dev/null || true
}
MIRROR="$(mirror | head -1)"
[ -n "$MIRROR" ] || fail "no bookworm entry in this machine's apt sources"

if ! command -v debootstrap >/dev/null; then
  echo "fresh-machine-check: installing debootstrap"
  { apt-get update -q && DEBIAN_FRONTEND=noninteractive apt-get install -y -q debootstrap; } \
    >"$DIR/debootstrap-install.log" 2>&1 || fail "installing debootstrap failed; see $DIR/debootstrap-install.log"
fi

# The clean root, made once and copied for each command.
BASE="$DIR/base"
if [ ! -f "$BASE/.fresh-ready" ]; then
  echo "fresh-machine-check: debootstrap --variant=minbase bookworm from the machine's archive"
  rm -rf "$BASE"
  start=$SECONDS
  debootstrap --variant=minbase bookworm "$BASE" "$MIRROR" >"$DIR/debootstrap.log" 2>&1 ||
    fail "debootstrap failed; see $DIR/debootstrap.log"
  echo "fresh-machine-check: clean root made in $((SECONDS - start)) s"
  touch "$BASE/.fresh-ready"
fi

MOUNTED=()
STARTED_ROOTS=()
cleanup() {
  local r pid i
  # Whatever still runs inside our roots was started by this check.
  for r in "${STARTED_ROOTS[@]}"; do
    for pid in $(ls /proc | grep -E '^[0-9]+$'); do
      [ "$(readlink "/proc/$pid/root" 2>/dev/null)" = "$r" ] && kill "$pid" 2>/dev/null || true
    done
  done
  sleep 1
  for ((i = ${#MOUNTED[@]} - 1; i >= 0; i--)); do
    umount "${MOUNTED[i]}" 2>/dev/null || umount -l "${MOUNTED[i]}" 2>/dev/null || true
  done
}
trap cleanup EXIT
trap 'exit 130' INT TERM

mount_in() {  # ROOT: /proc, /sys, /dev and /dev/shm
  local r="$1"
  mount -t proc proc "$r/proc" && MOUNTED+=("$r/proc")
  mount -t sysfs sys "$r/sys" && MOUNTED+=("$r/sys")
  mount --bind /dev "$r/dev" && MOUNTED+=("$r/dev")
  mount -t tmpfs -o mode=1777 shm "$r/dev/shm" && MOUNTED+=("$r/dev/shm")
}

in_root() {  # ROOT COMMAND: runs COMMAND in the project folder with a clean environment
  chroot "$1" /usr/bin/env -i HOME=/root PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    TERM=dumb MORVANE_JOBS="$JOBS" bash -c "cd /root/morvane && $2"
}

# Prefixes each line with the seconds since the command started.
stamp() { local start=$SECONDS line; while IFS= read -r line; do printf '%5d %s\n' $((SECONDS - start)) "$line"; done; }

# Seconds of the first line matching PATTERN in a stamped log (empty if none).
at() { grep -m1 -E "^ *[0-9]+ .*$2" "$1" | awk '{print $1}' || true; }

phases() {  # LOG END: the set-up time of each phase
  local log="$1" end="$2" pk li bu te
  pk="$(at "$log" 'setup: installing')"
  li="$(at "$log" 'setup: building libintl')"
  bu="$(at "$log" '\[1/[0-9]+\]')"
  te="$(at "$log" 'Test project')"
  echo "  packages:   ${pk:+from ${pk} s to ${li:-${bu:-?}} s}"
  echo "  libintl:    ${li:+from ${li} s to ${bu:-?} s}"
  echo "  first build: from ${bu:-?} s to ${te:-$end} s"
  [ -z "$te" ] || echo "  test run:   from ${te} s to ${end} s"
}

copy_project() {  # ROOT: the committed tree, as a fresh clone has it
  mkdir -p "$1/root/morvane"
  git -C "$ROOT" archive HEAD | tar -C "$1/root/morvane" -xf -
}

new_root() {  # NAME: a fresh copy of the clean root with the project in it
  local r="$DIR/$1"
  rm -rf "$r"
  cp -a "$BASE" "$r"
  cp /etc/resolv.conf "$r/etc/resolv.conf"
  copy_project "$r"
  mount_in "$r"
  STARTED_ROOTS+=("$(cd "$r" && pwd -P)")
  ROOTFS="$r"
}

result=0
for what in "$@"; do
  new_root "root-$what"
  log="$DIR/$what.log"
  echo "fresh-machine-check: scripts/$what.sh in $ROOTFS (log: $log)"
  start=$SECONDS
  if [ "$what" = test ]; then
    status=0
    in_root "$ROOTFS" 'bash scripts/test.sh' 2>&1 | stamp >"$log" || status=$?
    took=$((SECONDS - start))
    if [ $status = 0 ]; then
      echo "fresh-machine-check: scripts/test.sh passed in $took s"
    else
      echo "fresh-machine-check: scripts/test.sh FAILED (status $status) after $took s; see $log" >&2
      tail -30 "$log" >&2
      result=1
    fi
    phases "$log" "$took"
    grep -E 'tests passed|Passed only on the second run|^ *[0-9]+ +  ' "$log" | tail -8 || true
  else
    in_root "$ROOTFS" 'bash scripts/run.sh' 2>&1 | stamp >"$log" &
    run_pid=$!
    display="" shown=0
    while kill -0 $run_pid 2>/dev/null && [ $((SECONDS - start)) -lt "$WINDOW_TIMEOUT" ]; do
      [ -n "$display" ] || display="$(sed -nE 's/.*private X server (:[0-9]+).*/\1/p' "$log" | head -1)"
      if [ -n "$display" ] &&
         in_root "$ROOTFS" "xwininfo -display $display -root -tree 2>/dev/null" | grep -q '"Morvane'; then
        shown=1; break
      fi
      sleep 2
    done
    took=$((SECONDS - start))
    if [ $shown = 1 ]; then
      sleep 5  # let it paint
      in_root "$ROOTFS" "xwininfo -display $display -root -tree" | grep '"Morvane' | head -3
      # The X server listens on an abstract socket too, so a screenshot can be
      # taken from outside the root where the host has the tools.
      if command -v import >/dev/null; then
        import -display "$display" -window root "$DIR/run.png" 2>/dev/null &&
          echo "fresh-machine-check: screenshot in $DIR/run.png" || true
      fi
      echo "fresh-machine-check: scripts/run.sh showed the main window after $took s"
      in_root "$ROOTFS" 'WINEPREFIX=/root/.local/share/morvane/prefix /usr/lib/wine/wineserver -k' || true
    else
      echo "fresh-machine-check: scripts/run.sh showed no main window within $took s; see $log" >&2
      tail -30 "$log" >&2
      result=1
      kill $run_pid 2>/dev/null || true
    fi
    wait $run_pid 2>/dev/null || true
    phases "$log" "$took"
  fi
done
exit $result

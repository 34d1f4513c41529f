# Shared by the scripts: paths, the Wine prefix template and a private X server.
# Sourced, not run.

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
CACHE="${MORVANE_CACHE:-$HOME/.cache/morvane}"
WINE64=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver
export WINEDEBUG=-all WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
TEMPLATE="$CACHE/prefix-template-$(dpkg-query -W -f='${Version}' wine64 2>/dev/null | tr -c 'A-Za-z0-9.\n' '_')"

# Builds the Windows configuration into $BUILD (default build/).
morvane_build() {
  BUILD="${BUILD:-$ROOT/build}"
  if [ ! -f "$BUILD/CMakeCache.txt" ]; then
    cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" \
      -DCMAKE_BUILD_TYPE=RelWithDebInfo >"$BUILD.configure.log" 2>&1 ||
      { cat "$BUILD.configure.log"; return 1; }
  fi
  cmake --build "$BUILD" -j"${MORVANE_JOBS:-$(nproc)}" -- -k 0 "$@"
}

# A ready prefix is made once per Wine version and copied for each use: a
# fresh `wineboot -i` costs ten seconds and more.
morvane_template() {
  [ -f "$TEMPLATE/.morvane-ready" ] && return 0
  local tmp="$TEMPLATE.tmp.$$"
  rm -rf "$tmp"; mkdir -p "$(dirname "$TEMPLATE")"
  (
    export WINEPREFIX="$tmp"
    unset DISPLAY
    "$WINE64" wineboot -i </dev/null >/dev/null 2>&1
    "$WINESERVER" -w
    # Hiding a top-level window without a window manager stalls 2 s otherwise.
    "$WINE64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
    "$WINESERVER" -w
  )
  # The user folders of a new prefix are links into $HOME; make them real.
  local u
  for u in "$tmp"/drive_c/users/*/; do
    for d in Desktop Documents Downloads Music Pictures Videos "My Documents" Templates; do
      if [ -L "$u$d" ]; then rm -f "$u$d"; mkdir -p "$u$d"; fi
    done
  done
  touch "$tmp/.morvane-ready"
  rm -rf "$TEMPLATE"; mv "$tmp" "$TEMPLATE"
}

# Copies the template to $1, drops its z: drive (it maps the whole Linux
# root) and maps the source tree as t: instead.
morvane_new_prefix() {
  local p="$1"
  rm -rf "$p"
  cp -a "$TEMPLATE" "$p"
  rm -f "$p/dosdevices/z:"
  ln -sfn "$ROOT" "$p/dosdevices/t:"
}

# Starts Xvfb on the first free display; sets DISPLAY and XVFB_PID.
morvane_start_xvfb() {
  local n
  for n in $(seq 90 250); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp </dev/null >"${1:-/dev/null}" 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":$n"
    local i
    for i in $(seq 1 250); do
      if xdpyinfo >/dev/null 2>&1 && kill -0 "$XVFB_PID" 2>/dev/null; then return 0; fi
      kill -0 "$XVFB_PID" 2>/dev/null || break
      sleep 0.02
    done
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
  done
  echo "no free X display" >&2
  return 1
}

# Starts a persistent wineserver for $WINEPREFIX with every standard stream
# off any pipe, and one warm-up process, so that no Wine service holds the
# caller's pipes open. Sets WINESERVER_PID.
morvane_start_wineserver() {
  "$WINESERVER" -f -p </dev/null >/dev/null 2>&1 &
  WINESERVER_PID=$!
  "$WINE64" wineboot </dev/null >/dev/null 2>&1 || true
}

morvane_stop_wineserver() {
  if [ -n "${WINESERVER_PID:-}" ] && kill -0 "$WINESERVER_PID" 2>/dev/null; then
    "$WINESERVER" -k </dev/null >/dev/null 2>&1 || true
    local i
    for i in $(seq 1 100); do kill -0 "$WINESERVER_PID" 2>/dev/null || break; sleep 0.05; done
    kill "$WINESERVER_PID" 2>/dev/null || true
    wait "$WINESERVER_PID" 2>/dev/null || true
  fi
  WINESERVER_PID=
}

morvane_stop_xvfb() {
  if [ -n "${XVFB_PID:-}" ]; then
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
  fi
  XVFB_PID=
}

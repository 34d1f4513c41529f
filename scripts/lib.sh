# Shared by the scripts: paths, the Wine prefix template and a private X server.
# Sourced, not run.

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
CACHE="${MORVANE_CACHE:-$HOME/.cache/morvane}"
WINE64=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver
WINE_FONTS=/usr/share/wine/fonts
export WINEDEBUG=-all WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
# Wine runs with this locale; scripts/setup.sh generates it.
MORVANE_LANG=en_US.UTF-8
# Bumped when morvane_template makes a different prefix, so that templates
# made by an older recipe are not reused.
TEMPLATE_RECIPE=2

# Says in one line on stderr which step failed and where its log is.
morvane_fail() { echo "$*" >&2; }

# Builds the Windows configuration into $BUILD (default build/). The compiler
# output goes to the terminal and to $BUILD.build.log.
morvane_build() {
  BUILD="${BUILD:-$ROOT/build}"
  # A configure that failed leaves a cache but no build.ninja: start afresh.
  if [ ! -f "$BUILD/CMakeCache.txt" ] || [ ! -f "$BUILD/build.ninja" ]; then
    rm -f "$BUILD/CMakeCache.txt"
    if ! cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo >"$BUILD.configure.log" 2>&1; then
      tail -20 "$BUILD.configure.log" >&2
      rm -f "$BUILD/CMakeCache.txt"
      morvane_fail "build: configure failed; see $BUILD.configure.log"
      return 1
    fi
  fi
  local status=0
  cmake --build "$BUILD" -j"${MORVANE_JOBS:-$(nproc)}" -- -k 0 "$@" 2>&1 | tee "$BUILD.build.log" || status=$?
  [ $status = 0 ] || { morvane_fail "build: compiling failed; see $BUILD.build.log"; return 1; }
}

# A ready prefix is made once per Wine version and copied for each use: a
# fresh `wineboot -i` costs ten seconds and more.
# Sets TEMPLATE. Asks dpkg for the versions, so it runs after scripts/setup.sh.
morvane_template() {
  local versions
  versions="$(dpkg-query -W -f='${Version}-' wine64 fonts-wine 2>/dev/null)" ||
    { morvane_fail "prefix: wine64 or fonts-wine is not installed (scripts/setup.sh installs them)"; return 1; }
  TEMPLATE="$CACHE/prefix-template-$(printf '%s%s' "$versions" "$TEMPLATE_RECIPE" | tr -c 'A-Za-z0-9.-' '_')"
  [ -f "$TEMPLATE/.morvane-ready" ] && return 0
  local tmp="$TEMPLATE.tmp.$$" log="$CACHE/logs/prefix-template.log"
  rm -rf "$tmp"; mkdir -p "$(dirname "$TEMPLATE")" "$CACHE/logs"
  # (set -e does not hold inside a tested subshell: the steps are chained.)
  if ! (
    export WINEPREFIX="$tmp"
    unset DISPLAY
    "$WINE64" wineboot -i </dev/null && "$WINESERVER" -w &&
    morvane_prefix_fonts "$tmp" &&
    # Hiding a top-level window without a window manager stalls 2 s otherwise.
    "$WINE64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null &&
    "$WINESERVER" -w
  ) >"$log" 2>&1; then
    rm -rf "$tmp"
    morvane_fail "prefix: making the Wine prefix template failed; see $log"
    return 1
  fi
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

# Wine looks for fonts in the prefix's Windows folder and in fontconfig's
# folders, not in the folder where Debian's fonts-wine puts them. Without
# Marlett there the window frames draw their caption buttons as the letters
# "0", "1" and "r", and Tahoma and MS Sans Serif fall back to other faces.
morvane_prefix_fonts() {
  local dir="$1/drive_c/windows/Fonts"
  [ -d "$WINE_FONTS" ] || { morvane_fail "prefix: $WINE_FONTS is missing (fonts-wine)"; return 1; }
  mkdir -p "$dir"
  cp -n "$WINE_FONTS"/* "$dir/"
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
# With a display and a built $BUILD/bin/desktop-keeper.exe it also starts the
# Wine desktop the same way and keeps it for the session (DESKTOP_KEEPER_PID):
# otherwise the first program to need the desktop starts it, lends it its
# stderr, and a ctest test that did so seems to hang after its last line for
# as long as other programs keep the desktop in use.
morvane_start_wineserver() {
  "$WINESERVER" -f -p </dev/null >/dev/null 2>&1 &
  WINESERVER_PID=$!
  "$WINE64" wineboot </dev/null >/dev/null 2>&1 || true
  DESKTOP_KEEPER_PID=
  local keeper="${BUILD:-$ROOT/build}/bin/desktop-keeper.exe" ready="$WINEPREFIX/desktop-keeper.out"
  if [ -n "${DISPLAY:-}" ] && [ -f "$keeper" ]; then
    rm -f "$ready"
    "$WINE64" "$keeper" </dev/null >"$ready" 2>/dev/null &
    DESKTOP_KEEPER_PID=$!
    local i
    for i in $(seq 1 300); do
      grep -q ready "$ready" 2>/dev/null && return 0
      kill -0 "$DESKTOP_KEEPER_PID" 2>/dev/null || break
      sleep 0.1
    done
    morvane_fail "wineserver: the Wine desktop did not start (desktop-keeper.exe); tests may wait on it"
  fi
  return 0
}

morvane_stop_wineserver() {
  if [ -n "${DESKTOP_KEEPER_PID:-}" ]; then
    kill "$DESKTOP_KEEPER_PID" 2>/dev/null || true
    wait "$DESKTOP_KEEPER_PID" 2>/dev/null || true
  fi
  DESKTOP_KEEPER_PID=
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

#!/usr/bin/env bash
# Installs what a command needs: Debian packages, the en_US.UTF-8 locale and
# a mingw build of GNU libintl. Idempotent; prints nothing when all is there.
#   setup.sh [build|run|test|bench|fuzz]...   (default: test)
# Logs go to $CACHE/logs/; a failing step names its log in one line on stderr.
set -euo pipefail

CACHE="${MORVANE_CACHE:-$HOME/.cache/morvane}"
INTL_PREFIX="$CACHE/libintl-x86_64-w64-mingw32"
LOGS="$CACHE/logs"

# What each command needs. The Windows build needs GoogleTest's sources and
# python3 at configure time; everything that starts Wine needs a server.
BUILD_PACKAGES=(
  cmake ninja-build g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix gettext python3
  googletest
)
WINE_PACKAGES=(wine64 fonts-wine xvfb x11-utils)
FUZZ_PACKAGES=(cmake ninja-build clang libclang-rt-14-dev)
# Only for building libintl when the cache lacks it.
INTL_PACKAGES=(make dpkg-dev gcc-mingw-w64-x86-64-posix)
# Cross-check tools: the tests skip their checks without them.
OPTIONAL_PACKAGES=(galleta pasco libmsiecf-utils libhttp-cookies-perl curl)

fail() { echo "setup: $*" >&2; exit 1; }

as_root() {
  if [ "$(id -u)" = 0 ]; then "$@"
  elif command -v sudo >/dev/null; then sudo "$@"
  else fail "installing needs root or sudo (running: $*)"; fi
}

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

want=() optional=0 intl=0 locale=0
[ $# -gt 0 ] || set -- test
for what in "$@"; do
  case "$what" in
    build) want+=("${BUILD_PACKAGES[@]}"); intl=1 ;;
    run|bench) want+=("${BUILD_PACKAGES[@]}" "${WINE_PACKAGES[@]}"); intl=1; locale=1 ;;
    test) want+=("${BUILD_PACKAGES[@]}" "${WINE_PACKAGES[@]}"); intl=1; locale=1; optional=1 ;;
    fuzz) want+=("${FUZZ_PACKAGES[@]}") ;;
    *) fail "unknown command '$what' (build, run, test, bench or fuzz)" ;;
  esac
done
[ $intl = 0 ] || [ -f "$INTL_PREFIX/lib/libintl.a" ] || want+=("${INTL_PACKAGES[@]}")
# Wine takes the locale's character set for file names: with a locale the
# machine lacks it falls back to ASCII and cannot create a file whose name has
# an accent. The scripts run with en_US.UTF-8, so it has to exist.
locale_missing=0
if [ $locale = 1 ] && ! locale -a 2>/dev/null | grep -qix 'en_US.utf-\?8'; then
  locale_missing=1
  want+=(locales)
fi

missing=()
for p in "${want[@]}"; do
  installed "$p" || [[ " ${missing[*]} " == *" $p "* ]] || missing+=("$p")
done
opt_missing=()
if [ $optional = 1 ] && [ ! -e "$CACHE/optional-tried" ]; then
  for p in "${OPTIONAL_PACKAGES[@]}"; do installed "$p" || opt_missing+=("$p"); done
fi

mkdir -p "$LOGS"
apt_log="$LOGS/setup-apt.log"
updated=0
apt_update() {
  [ $updated = 1 ] && return 0
  as_root apt-get update -q >>"$apt_log" 2>&1 || fail "apt-get update failed; see $apt_log"
  updated=1
}
apt_install() {
  DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -q --no-install-recommends "$@" >>"$apt_log" 2>&1
}

if [ ${#missing[@]} -gt 0 ] || [ ${#opt_missing[@]} -gt 0 ]; then
  : >"$apt_log"
  apt_update
fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]} ${opt_missing[*]}"
  # One apt run for everything; when an optional package is not in the
  # archive, the required ones go in alone and the optional ones one by one.
  if ! apt_install "${missing[@]}" "${opt_missing[@]}"; then
    apt_install "${missing[@]}" || fail "apt-get install failed; see $apt_log"
  fi
fi
if [ ${#opt_missing[@]} -gt 0 ]; then
  for p in "${opt_missing[@]}"; do installed "$p" || apt_install "$p" || true; done
  touch "$CACHE/optional-tried"
fi

if [ $locale_missing = 1 ]; then
  locale_log="$LOGS/setup-locale.log"
  { as_root sed -i 's/^# *\(en_US.UTF-8 UTF-8\)/\1/' /etc/locale.gen &&
    { grep -q '^en_US.UTF-8 UTF-8' /etc/locale.gen ||
      echo 'en_US.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen; } &&
    as_root locale-gen; } >"$locale_log" 2>&1 ||
    fail "generating the en_US.UTF-8 locale failed; see $locale_log"
fi

# GNU libintl for mingw, from Debian's gettext source package (intl only).
if [ $intl = 1 ] && [ ! -f "$INTL_PREFIX/lib/libintl.a" ]; then
  echo "setup: building libintl for mingw into $INTL_PREFIX"
  has_src=0
  if grep -rqsE '^\s*deb-src\s' /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null; then has_src=1; fi
  if grep -rqsE '^Types:.*deb-src' /etc/apt/sources.list.d/*.sources 2>/dev/null; then has_src=1; fi
  if [ $has_src = 0 ]; then
    # Same archive and suites as the binary entries.
    src_file=/etc/apt/sources.list.d/morvane-deb-src.sources
    if ls /etc/apt/sources.list.d/*.sources >/dev/null 2>&1; then
      awk 'BEGIN{RS="";ORS="\n\n"} /Types:[^\n]*deb/ {sub(/Types:[^\n]*/,"Types: deb-src"); print}' \
        /etc/apt/sources.list.d/*.sources | as_root tee "$src_file" >/dev/null
    else
      sed -n 's/^\s*deb\s/deb-src /p' /etc/apt/sources.list | as_root tee /etc/apt/sources.list.d/morvane-deb-src.list >/dev/null
    fi
    updated=0
  fi
  apt_update
  work="$(mktemp -d)"
  intl_log="$LOGS/setup-libintl.log"
  : >"$intl_log"
  ( cd "$work" && apt-get source -q --download-only gettext &&
    dpkg-source -x --skip-patches ./gettext_*.dsc src ) >>"$intl_log" 2>&1 ||
    { rm -rf "$work"; fail "could not fetch the gettext sources; see $intl_log"; }
  mkdir -p "$work/build"
  ( cd "$work/build" &&
    "$work/src/gettext-runtime/configure" --host=x86_64-w64-mingw32 --prefix="$INTL_PREFIX" \
      --enable-static --disable-shared --disable-java --disable-csharp --disable-libasprintf \
      --without-libiconv-prefix --without-libintl-prefix --with-included-gettext \
      am_cv_func_iconv=no CC=x86_64-w64-mingw32-gcc-posix CFLAGS="-O2" &&
    make -C intl -j"$(nproc)" &&
    make -C intl install ) >>"$intl_log" 2>&1 ||
    { rm -rf "$work" "$INTL_PREFIX"; fail "the libintl build failed; see $intl_log"; }
  rm -rf "$work"
fi

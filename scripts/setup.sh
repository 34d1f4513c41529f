#!/usr/bin/env bash
# Installs what building and testing Morvane needs: Debian packages and a
# mingw build of GNU libintl. Idempotent; prints nothing when all is there.
set -euo pipefail

CACHE="${MORVANE_CACHE:-$HOME/.cache/morvane}"
INTL_PREFIX="$CACHE/libintl-x86_64-w64-mingw32"

PACKAGES=(
  cmake make ninja-build g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix wine64
  xvfb xauth x11-utils fonts-wine python3 imagemagick googletest gettext
  clang libclang-rt-14-dev dpkg-dev pkg-config
)
OPTIONAL_PACKAGES=(galleta pasco libmsiecf-utils libhttp-cookies-perl curl)

as_root() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
opt_missing=()
for p in "${OPTIONAL_PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || opt_missing+=("$p")
done
updated=0
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  as_root apt-get update -qq
  updated=1
  DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
# Cross-check tools are welcome but not required; install them once when the
# archive has them and remember when it has not.
if [ ${#opt_missing[@]} -gt 0 ] && [ ! -e "$CACHE/optional-tried" ]; then
  mkdir -p "$CACHE"
  [ $updated = 1 ] || { as_root apt-get update -qq; updated=1; }
  for p in "${opt_missing[@]}"; do
    DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -qq --no-install-recommends "$p" >/dev/null 2>&1 || true
  done
  touch "$CACHE/optional-tried"
fi

# GNU libintl for mingw, from Debian's gettext source package (intl only).
if [ ! -f "$INTL_PREFIX/lib/libintl.a" ]; then
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
  [ $updated = 1 ] || as_root apt-get update -qq
  work="$(mktemp -d)"
  trap 'rm -rf "$work"' EXIT
  ( cd "$work" && apt-get source -qq --download-only gettext >/dev/null 2>&1 &&
    dpkg-source -x --skip-patches ./gettext_*.dsc src >/dev/null 2>&1 ) ||
    { echo "setup: could not fetch gettext sources" >&2; exit 1; }
  mkdir -p "$work/build"
  ( cd "$work/build" &&
    "$work/src/gettext-runtime/configure" --host=x86_64-w64-mingw32 --prefix="$INTL_PREFIX" \
      --enable-static --disable-shared --disable-java --disable-csharp --disable-libasprintf \
      --without-libiconv-prefix --without-libintl-prefix --with-included-gettext \
      am_cv_func_iconv=no CC=x86_64-w64-mingw32-gcc-posix CFLAGS="-O2" >"$work/configure.log" 2>&1 &&
    make -C intl -j"$(nproc)" >"$work/make.log" 2>&1 &&
    make -C intl install >>"$work/make.log" 2>&1 ) ||
    { echo "setup: libintl build failed; logs in $work" >&2; trap - EXIT; exit 1; }
  rm -rf "$work"; trap - EXIT
fi

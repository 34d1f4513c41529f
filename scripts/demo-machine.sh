#!/usr/bin/env bash
# Seeds a Wine prefix with a small demo machine for scripts/run.sh: an
# Internet Explorer cookie folder with cookie files, per-site privacy entries
# and a history index; a Firefox profile with cookies.txt and hostperm.1; a
# Mozilla profile named by a Registry.dat, with cookies.txt and cookperm.txt;
# and an Opera cookies4.dat. Everything is written by our own generators.
#   demo-machine.sh PREFIX BUILD
# Every step must succeed: the caller marks the prefix done only then.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
PREFIX="$1"
BUILD="$2"
export WINEPREFIX="$PREFIX"
fail() { echo "demo-machine: $*" >&2; exit 1; }

user_dir="$(ls -d "$PREFIX"/drive_c/users/*/ | grep -v '/Public/$' | head -1)"
user_dir="${user_dir%/}"
user="$(basename "$user_dir")"
local_app="$user_dir/AppData/Local"
roaming="$user_dir/AppData/Roaming"
win_roaming="C:\\users\\$user\\AppData\\Roaming"

# Unix seconds, split the way Internet Explorer keeps them: a FILETIME as
# low and high 32-bit halves.
ie_time() {
  python3 -c "import sys; t=(int(sys.argv[1])+11644473600)*10**7; print(t & 0xffffffff, t >> 32)" "$1"
}
now=$(date +%s)
year=$((365 * 86400))

# Internet Explorer cookies: nine lines a record, "*" ends each.
cookies="$local_app/Microsoft/Windows/INetCookies"
mkdir -p "$cookies"
ie_record() {  # name value host/path flags expires created
  read -r el eh < <(ie_time "$5")
  read -r cl ch < <(ie_time "$6")
  printf '%s\n%s\n%s\n%s\n%s\n%s\n%s\n%s\n*\n' "$1" "$2" "$3" "$4" "$el" "$eh" "$cl" "$ch"
}
{
  ie_record SESSIONID a81f0c2e example.com/ 0 $((now + year)) $((now - 86400))
  ie_record prefs "lang=en&theme=dark" example.com/account/ 1 $((now + 2 * year)) $((now - 3600))
} >"$cookies/$user@example[1].txt"
ie_record tracker 7d1c9e52b0 ads.adnet.test/ 8192 $((now + 30 * 86400)) $((now - 600)) \
  >"$cookies/$user@ads.adnet[2].txt"
ie_record visits 42 news.example.org/ 0 $((now + 86400 * 90)) $((now - 7200)) \
  >"$cookies/$user@news.example[1].txt"

# Internet Explorer history index.
mkdir -p "$local_app/Microsoft/Windows/History/History.IE5"
"$WINE64" "$BUILD/bin/fixture-gen.exe" history \
  "C:\\users\\$user\\AppData\\Local\\Microsoft\\Windows\\History\\History.IE5\\index.dat" 1 \
  </dev/null || fail "the history index generator failed"

# Firefox: profiles.ini and one profile.
ff="$roaming/Mozilla/Firefox"
mkdir -p "$ff/Profiles/demo1234.default"
printf '[General]\r\nStartWithLastProfile=1\r\n\r\n[Profile0]\r\nName=default\r\nIsRelative=1\r\nPath=Profiles/demo1234.default\r\nDefault=1\r\n' \
  >"$ff/profiles.ini"
{
  printf '# HTTP Cookie File\n# http://www.netscape.com/newsref/std/cookie_spec.html\n# This is a generated file!  Do not edit.\n\n'
  printf '.example.com\tTRUE\t/\tFALSE\t%s\tSESSIONID\tff93be01\n' $((now + year))
  printf 'shop.example.net\tFALSE\t/cart\tTRUE\t%s\tcart\t3-items\n' $((now + 7 * 86400))
  printf '.news.example.org\tTRUE\t/\tFALSE\t%s\tregion\teu-west\n' $((now + 2 * year))
} >"$ff/Profiles/demo1234.default/cookies.txt"
printf '# Permission File\n# This is a generated file! Do not edit.\n\nhost\tcookie\t2\tads.adnet.test\nhost\tcookie\t1\texample.com\nhost\tpopup\t2\tpopups.example.net\n' \
  >"$ff/Profiles/demo1234.default/hostperm.1"

# Mozilla: Registry.dat names one profile.
moz="$roaming/Mozilla"
mkdir -p "$moz/Profiles/default/k3x9q2ab.slt"
python3 "$ROOT/tests/fixtures/netscape/make_registry_dat.py" "$moz/Registry.dat" default \
  "default=$win_roaming\\Mozilla\\Profiles\\default\\k3x9q2ab.slt"
{
  printf '# HTTP Cookie File\n# http://www.netscape.com/newsref/std/cookie_spec.html\n\n'
  printf '.mozilla-demo.example\tTRUE\t/\tFALSE\t%s\tuid\t5512\n' $((now + year))
} >"$moz/Profiles/default/k3x9q2ab.slt/cookies.txt"
printf 'ads.adnet.test\t0F\nexample.com\t0T\n' >"$moz/Profiles/default/k3x9q2ab.slt/cookperm.txt"

# Opera: opera6.ini names the folder of cookies4.dat.
opera="$roaming/Opera/Opera7/Profile"
mkdir -p "$opera"
printf '[User Prefs]\r\nOpera Directory=%s\\Opera\\Opera7\\Profile\r\n' "$win_roaming" >"$opera/opera6.ini"
"$WINE64" "$BUILD/bin/fixture-gen.exe" opera "$win_roaming\\Opera\\Opera7\\Profile\\cookies4.dat" 40 \
  </dev/null || fail "the Opera cookie file generator failed"

# Per-site privacy: always block one site, always allow another.
reg="$PREFIX/drive_c/morvane-demo.reg"
cat >"$reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Internet Settings\P3P\History\adnet.test]
@=dword:00000005

[HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Internet Settings\P3P\History\example.com]
@=dword:00000001
REG
"$WINE64" regedit /S 'C:\morvane-demo.reg' </dev/null || fail "importing the privacy entries failed"
rm -f "$reg"
# regedit says nothing when an import fails: check that the entries are there.
# The server is asked, not user.reg: under a persistent server (the
# benchmarks start one) the file is not written until it ends, and waiting
# for it to end would wait for ever.
"$WINE64" reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Internet Settings\P3P\History\adnet.test' \
  </dev/null >/dev/null 2>&1 || fail "the privacy entries are not in the registry"

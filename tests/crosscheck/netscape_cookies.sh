#!/usr/bin/env bash
# cookies.txt files written by other programs (Python's MozillaCookieJar,
# curl's cookie jar, Perl's HTTP::Cookies::Netscape) must read in our store
# (morvane-dump netscape-cookies) with the same cookies as those programs
# read them; files our store writes (netscape-cookie-writer) must load in
# Python's MozillaCookieJar (header check included) and in curl with the same
# cookies. A peer that is not installed is left out; with none, skipped.
# Runs natively under ctest, in the test prefix of scripts/test.sh; our
# programs run under Wine.
set -euo pipefail
BIN="$1"
WINE64="${WINE64:-/usr/lib/wine/wine64}"
dump="$BIN/morvane-dump.exe"
writer="$BIN/netscape-cookie-writer.exe"
if [ -z "${WINEPREFIX:-}" ] || [ ! -d "$WINEPREFIX/drive_c" ] || [ ! -x "$WINE64" ]; then
  echo "no Wine prefix to run our programs in: skipped"
  exit 77
fi
if ! command -v python3 >/dev/null 2>&1; then
  echo "python3 is not installed: skipped"
  exit 77
fi
peers=(python)
command -v curl >/dev/null 2>&1 && peers+=(curl) || echo "curl is not installed: left out"
LC_ALL=C perl -MHTTP::Cookies::Netscape -e 1 >/dev/null 2>&1 && peers+=(perl) ||
  echo "Perl's HTTP::Cookies (libhttp-cookies-perl) is not installed: left out"

out="$WINEPREFIX/drive_c/morvane-crosscheck-netscape"
winout='C:\morvane-crosscheck-netscape'
rm -rf "$out"
mkdir -p "$out"
trap 'rm -rf "$out"' EXIT

# Reads a cookies.txt the way Python does and prints one sorted record per
# cookie: host, domain flag, path, secure, expires, name, value, HTTP-only.
cat >"$out/peer.py" <<'PY'
import http.cookiejar, sys

def http_only(c):  # the attribute's name differs between Python versions
    return any(c.has_nonstandard_attr(n) for n in ("HTTPOnly", "HttpOnly"))

def records(path):
    jar = http.cookiejar.MozillaCookieJar()
    jar.load(path, ignore_discard=True, ignore_expires=True)
    rows = []
    for c in jar:
        rows.append("\t".join([c.domain, "TRUE" if c.domain_initial_dot else "FALSE", c.path,
                               "TRUE" if c.secure else "FALSE", "" if c.expires is None else str(c.expires),
                               c.name if c.value is not None else "", c.value if c.value is not None else c.name,
                               "Yes" if http_only(c) else "No"]))
    return sorted(rows)

def write(path):
    jar = http.cookiejar.MozillaCookieJar(path)
    def add(domain, path_, name, value, expires, secure):
        jar.set_cookie(http.cookiejar.Cookie(0, name, value, None, False, domain, True, domain.startswith("."),
                                             path_, True, secure, expires, False, None, None, {}))
    add(".example.com", "/", "sid", "abc", 1988150400, False)
    add("www.example.com", "/path", "lang", "en-GB", 2051267445, True)
    add(".example.org", "/", "empty", "", 1988150400, False)
    add("x.example.net", "/", "k", "v=1&w=2", 4102444800, False)
    jar.save(ignore_discard=True, ignore_expires=True)

if sys.argv[1] == "write":
    write(sys.argv[2])
else:
    print("\n".join(records(sys.argv[2])))
PY

ours() {  # the same records as our store reads them
  "$WINE64" "$dump" netscape-cookies "$winout\\$1\\cookies.txt" </dev/null | tr -d '\r' |
    awk -F'\t' 'BEGIN{OFS="\t"} {print $1,$2,$3,$4,$6,$7,$8,$9}' | LC_ALL=C sort
}
theirs() {  # the peer's own reading of a file
  local peer="$1" file="$2"
  case "$peer" in
    python) python3 "$out/peer.py" read "$file" ;;
    curl)
      # curl reads the file and writes what it understood as a jar of its own.
      curl -s -b "$file" -c "$file.curl" file:///dev/null >/dev/null
      python3 "$out/peer.py" read "$file.curl" ;;
    perl)
      LC_ALL=C perl -MHTTP::Cookies::Netscape -e '
        my $j = HTTP::Cookies::Netscape->new(file => $ARGV[0], ignore_discard => 1);
        $j->scan(sub { my ($v, $k, $val, $path, $dom, $port, $ps, $sec, $exp) = @_;
          printf "%s\t%s\t%s\t%s\t%s\t%s\t%s\tNo\n", $dom, ($dom =~ /^\./ ? "TRUE" : "FALSE"), $path,
            ($sec ? "TRUE" : "FALSE"), (defined $exp ? $exp : 0), $k, $val; });' "$file" ;;
  esac | LC_ALL=C sort
}
compare() {
  if ! diff -u "$2" "$3"; then
    echo "$1: our store and the other program read the file differently"
    exit 1
  fi
}

for peer in "${peers[@]}"; do
  mkdir -p "$out/$peer"
  file="$out/$peer/cookies.txt"
  case "$peer" in
    python) python3 "$out/peer.py" write "$file" ;;
    curl)
      printf '%s\n' \
        'Set-Cookie: sid=abc; Domain=example.com; Path=/; Expires=Sat, 01 Jan 2033 00:00:00 GMT; HttpOnly' \
        'Set-Cookie: session=1; Domain=example.com; Path=/app' \
        'Set-Cookie: sec=2; Domain=www.example.org; Path=/; Secure; Expires=Mon, 01 Jan 2035 12:30:45 GMT' \
        >"$out/curl/headers.txt"
      curl -s -b "$out/curl/headers.txt" -c "$file" file:///dev/null >/dev/null ;;
    perl)
      LC_ALL=C perl -MHTTP::Cookies::Netscape -e '
        my $j = HTTP::Cookies::Netscape->new(file => $ARGV[0]);
        $j->set_cookie(0, "sid", "abc", "/", ".example.com", undef, 0, 0, 1988150400 - time, 0);
        $j->set_cookie(0, "lang", "en", "/p", "www.example.com", undef, 0, 1, 2051267445 - time, 0);
        $j->save;' "$file" ;;
  esac
  n=$(grep -vc '^\(# \|$\)' "$file" || true)
  [ "$n" -ge 2 ] || { echo "$peer wrote no cookies:"; cat "$file"; exit 1; }
  # Perl stores expiries relative to now: compare with its own reading.
  theirs "$peer" "$file" >"$out/$peer/theirs.tsv"
  ours "$peer" >"$out/$peer/ours.tsv"
  compare "$peer (read)" "$out/$peer/theirs.tsv" "$out/$peer/ours.tsv"
  echo "$peer: $(wc -l <"$out/$peer/ours.tsv") cookies read alike"

  # Our store writes the file back with one cookie changed and one added.
  "$WINE64" "$writer" "$winout\\$peer" \
    example.com.new / added yes 2208988800 FALSE FALSE \
    "$(head -1 "$out/$peer/ours.tsv" | cut -f1)" "$(head -1 "$out/$peer/ours.tsv" | cut -f3)" \
    "$(head -1 "$out/$peer/ours.tsv" | cut -f6)" changed 1988150400 \
    "$(head -1 "$out/$peer/ours.tsv" | cut -f4)" "$(head -1 "$out/$peer/ours.tsv" | cut -f2)" </dev/null
  ours "$peer" >"$out/$peer/ours2.tsv"
  readers=()
  for reader in python curl; do
    [[ " ${peers[*]} " == *" $reader "* ]] || continue
    readers+=("$reader")
    theirs "$reader" "$file" >"$out/$peer/back-$reader.tsv"
    compare "$peer file written by our store, read by $reader" "$out/$peer/back-$reader.tsv" "$out/$peer/ours2.tsv"
  done
  grep -q $'^example.com.new\tFALSE\t/\tFALSE\t2208988800\tadded\tyes$' "$file" ||
    { echo "the added cookie is not in the written file"; cat "$file"; exit 1; }
  echo "$peer: written by our store, read alike by ${readers[*]}"
done

# A profile without a header gets ours, which Python's header check accepts.
mkdir -p "$out/bare"
: >"$out/bare/cookies.txt"
"$WINE64" "$writer" "$winout\\bare" a.example.com / n v 1988150400 TRUE FALSE </dev/null
python3 "$out/peer.py" read "$out/bare/cookies.txt" | grep -q $'^a.example.com\tFALSE\t/\tTRUE\t1988150400\tn\tv\tNo$' ||
  { echo "Python does not load our default header's file:"; cat "$out/bare/cookies.txt"; exit 1; }
echo "default header accepted by Python's MozillaCookieJar"

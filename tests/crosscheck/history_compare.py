"""Compares morvane-dump's history listing with msiecfexport's on the files
history_msiecfexport.sh prepared in WORK."""
import datetime
import os
import re
import sys

EPOCH = datetime.datetime(1601, 1, 1)
MONTHS = {m: i + 1 for i, m in enumerate("Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec".split())}


def file_time(text):
    """'Jun 18, 2022 04:26:41.000000100' (UTC) as a file time."""
    text = text.strip()
    if text.startswith("Not set"):
        return 0
    m = re.match(r"(\w{3}) (\d\d), (\d{4}) (\d\d):(\d\d):(\d\d)(?:\.(\d{9}))?", text)
    if not m:
        raise ValueError("unreadable time: " + text)
    mon, day, year, hh, mm, ss, frac = m.groups()
    d = datetime.datetime(int(year), MONTHS[mon], int(day), int(hh), int(mm), int(ss))
    secs = (d - EPOCH).days * 86400 + (d - EPOCH).seconds
    return secs * 10**7 + (int(frac) // 100 if frac else 0)


def history_url(location):
    at = location.find("@")
    if at < 0:
        return location
    url = location[at + 1:]
    return url[1:] if url.startswith(":") else url


def theirs(path):
    """URL records of msiecfexport's listing: (start, end, location, time8, time16)."""
    out, rec = [], None
    for line in open(path, encoding="utf-8", errors="replace"):
        key, _, value = line.partition(":")
        key, value = key.strip(), value.strip()
        if key == "Record type":
            rec = {"type": value}
            out.append(rec)
        elif rec is not None and key == "Offset range":
            a, b = re.match(r"(\d+) - (\d+)", value).groups()
            rec["start"], rec["end"] = int(a), int(b)
        elif rec is not None and key == "Location":
            rec["location"] = line.split(":", 1)[1].lstrip(" \t").rstrip("\n")
        elif rec is not None and key == "Primary time":
            rec["primary"] = file_time(value)
        elif rec is not None and key == "Secondary time":
            rec["secondary"] = file_time(value)
    return [r for r in out if r["type"] == "URL"]


def ours(path):
    out = []
    for line in open(path, encoding="utf-8", errors="replace"):
        url, first, second = line.rstrip("\n").split("\t")
        out.append((url, int(first.split()[1]), int(second.split()[1])))
    return out


def expected(records, cut=None):
    """What the history reader should list of msiecfexport's URL records.
    msiecfexport names the time at record offset 16 primary, the one at 8
    secondary; the reader keeps at most 4,095 bytes of a text, and a record
    cut by the end of the file only as far as the file goes."""
    out = []
    for r in sorted(records, key=lambda r: r["start"]):
        loc = r["location"]
        if cut is not None:
            if r["start"] + 104 > cut:
                continue
            loc = loc[: max(0, cut - (r["start"] + 0x68))]
        url = history_url(loc[:4095])
        if url:
            out.append((url, r["secondary"], r["primary"]))
    return out


def check(name, got, want):
    if got == want:
        print(f"{name}: {len(got)} URL records agree")
        return True
    print(f"{name}: the listings differ ({len(got)} ours, {len(want)} expected)")
    for i, (g, w) in enumerate(zip(got, want)):
        if g != w:
            print(f"  first difference at {i}: ours {g!r}, expected {w!r}")
            break
    return False


def main(work):
    ok = True
    for name in ("wininet", "mixed"):
        want = expected(theirs(f"{work}/{name}.theirs"))
        if not want:
            print(f"{name}: msiecfexport listed nothing")
            ok = False
        ok &= check(name, ours(f"{work}/{name}.ours"), want)
    # The damaged files against msiecfexport's listing of the same records in
    # the undamaged file.
    full = theirs(f"{work}/mixed.theirs")
    zeroed = {history_url(l) for l in open(f"{work}/zero-blocks.txt").read().splitlines() if l}
    want = [e for e in expected(full) if e[0] not in zeroed]
    ok &= check("zero-blocks", ours(f"{work}/zero-blocks.ours"), want)
    cut = os.path.getsize(f"{work}/cut.dat")
    ok &= check("cut", ours(f"{work}/cut.ours"), expected(full, cut))
    # The times wininet was given come back as the first time of each entry.
    given = {}
    for line in open(f"{work}/wininet.txt").read().splitlines()[1:]:
        loc, t8, t16 = line.split("\t")
        given[history_url(loc)] = (int(t8), int(t16))
    listed = {url: (t8, t16) for url, t8, t16 in ours(f"{work}/wininet.ours")}
    for url, times in given.items():
        if listed.get(url) != times:
            print(f"wininet: {url} listed with {listed.get(url)}; the cache holds {times}")
            ok = False
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))

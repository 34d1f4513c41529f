#!/usr/bin/env python3
"""Checks, natively, that no test of the session can be held up by the Wine desktop.

  desktop_check.py WINE64 PROGRAM [ARGS...]

Wine starts the desktop process (explorer.exe /desktop) from the first
program that needs it, and that process inherits the program's stderr. Under
ctest such a program is a test whose output ctest reads through a pipe: ctest
then waits for the desktop to end before it sees the test end, and the test
"hangs" after its last line until its timeout. scripts/test.sh therefore
starts the desktop first, from a program with no pipe, and keeps it for the
session. This checks both halves:

  1. the prefix ($WINEPREFIX) has a desktop process, and none of its
     standard streams is a pipe or a socket (a test's output);
  2. PROGRAM run with its output on a pipe (as ctest runs a test) closes that
     pipe when it ends, not only when the desktop next goes idle.

PROGRAM should be one that uses the desktop (any test executable does).
"""
import os
import subprocess
import sys
import threading
import time

# How long after the program's end its pipe may stay open. The desktop's idle
# end comes a second after its last user leaves; with other tests running it
# may never come.
CLOSE_GRACE_S = 5.0
RUN_LIMIT_S = 60.0


def desktop_pids(prefix):
    pids = []
    for name in os.listdir("/proc"):
        if not name.isdigit():
            continue
        try:
            with open(f"/proc/{name}/cmdline", "rb") as f:
                cmd = f.read().replace(b"\0", b" ").decode("latin-1")
            with open(f"/proc/{name}/environ", "rb") as f:
                env = f.read().split(b"\0")
        except OSError:
            continue
        if "explorer.exe" not in cmd.lower() or "/desktop" not in cmd.lower():
            continue
        if ("WINEPREFIX=" + prefix).encode() in env:
            pids.append(int(name))
    return pids


def stream_targets(pid):
    out = {}
    for fd in (0, 1, 2):
        try:
            out[fd] = os.readlink(f"/proc/{pid}/fd/{fd}")
        except OSError:
            out[fd] = "(closed)"
    return out


def check_desktop(prefix):
    problems = []
    pids = desktop_pids(prefix)
    if not pids:
        return [f"no desktop process for {prefix}: the first test to need one will start it and lend it "
                "its output pipe (scripts/test.sh starts desktop-keeper.exe for this)"]
    for pid in pids:
        for fd, target in stream_targets(pid).items():
            if target.startswith("pipe:") or target.startswith("socket:"):
                problems.append(f"desktop process {pid} holds {target} as fd {fd}: whoever reads that pipe "
                                "waits for the desktop to end")
    return problems


def check_pipe_closes(argv):
    # stdout and stderr on one pipe, as ctest runs a test.
    proc = subprocess.Popen(argv, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    eof_at = []
    chunks = []

    def drain():
        for chunk in iter(lambda: proc.stdout.read(65536), b""):
            chunks.append(chunk)
        eof_at.append(time.monotonic())

    reader = threading.Thread(target=drain, daemon=True)
    reader.start()
    try:
        proc.wait(timeout=RUN_LIMIT_S)
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.wait()
        return [f"{argv[1]} did not end within {RUN_LIMIT_S:.0f} s"]
    ended_at = time.monotonic()
    reader.join(CLOSE_GRACE_S)
    problems = []
    if proc.returncode != 0:
        tail = b"".join(chunks)[-2000:].decode("utf-8", "replace")
        problems.append(f"{argv[1]} exited with {proc.returncode}:\n{tail}")
    if not eof_at:
        problems.append(f"{argv[1]} ended, but its output pipe was still open {CLOSE_GRACE_S:.0f} s later: "
                        "a process it started holds it")
    elif eof_at[0] - ended_at > CLOSE_GRACE_S:
        problems.append(f"the output pipe closed {eof_at[0] - ended_at:.1f} s after the program ended")
    return problems


def main():
    if len(sys.argv) < 3:
        print(__doc__)
        return 2
    prefix = os.environ.get("WINEPREFIX", "")
    if not prefix:
        print("WINEPREFIX is not set")
        return 1
    problems = check_desktop(prefix)
    problems += check_pipe_closes(sys.argv[1:])
    # A desktop started by that run would hold this script's pipe.
    problems += check_desktop(prefix)
    problems = list(dict.fromkeys(problems))
    for p in problems:
        print(p)
    if not problems:
        print("the desktop holds no test's output and a test's pipe closes when it ends")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())

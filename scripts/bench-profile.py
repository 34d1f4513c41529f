#!/usr/bin/env python3
"""Reads what a benchmark wrote under MORVANE_PROFILE=FILE and prints, for one
segment (the Nth timed figure of that benchmark, from 1), the functions that
the samples were in (self) and under (total), the most frequent first.
  bench-profile.py FILE SEGMENT EXE [TOP]
EXE is the benchmark's executable; its debug information names its functions.
Addresses in other modules are named by module only."""
import bisect, collections, os, subprocess, sys

path, want, exe = sys.argv[1], int(sys.argv[2]), sys.argv[3]
top = int(sys.argv[4]) if len(sys.argv) > 4 else 40
modules, stacks, segment = [], [], 1
for line in open(path, errors="replace"):
    parts = line.split()
    if not parts:
        continue
    if parts[0] == "module":
        modules.append((int(parts[1], 16), int(parts[2], 16), int(parts[3], 16), " ".join(parts[4:])))
    elif parts[0] == "segment":
        segment = int(parts[1]) + 1
    elif parts[0] == "s" and segment == want:
        stacks.append([int(a, 16) for a in parts[1:]])
modules.sort()
starts = [m[0] for m in modules]
exe_name = os.path.basename(exe).lower()

def module_of(pc):
    i = bisect.bisect_right(starts, pc) - 1
    if i >= 0 and pc < modules[i][1]:
        return modules[i]
    return None

ours = set()
for st in stacks:
    for pc in st:
        m = module_of(pc)
        if m and m[3].lower().replace("\\", "/").endswith(exe_name):
            ours.add(pc)
names = {}
if ours:
    m = next(m for m in modules if m[3].lower().replace("\\", "/").endswith(exe_name))
    order = sorted(ours)
    # Return addresses point after the call: look one byte back.
    query = "\n".join("%x" % (pc - m[0] + m[2] - 1) for pc in order)
    out1 = subprocess.run(["x86_64-w64-mingw32-addr2line", "-f", "-C", "-e", exe], input=query,
                          capture_output=True, text=True).stdout.split("\n")
    for k, pc in enumerate(order):
        fn = out1[2 * k] if 2 * k < len(out1) else "?"
        where = out1[2 * k + 1] if 2 * k + 1 < len(out1) else ""
        names[pc] = (fn[:110], os.path.basename(where.split(" ")[0]))

def name(pc):
    if pc in names:
        return names[pc][0]
    m = module_of(pc)
    return "[%s]" % (os.path.basename(m[3].replace("\\", "/")) if m else "?")

self_count, total_count, line_count = collections.Counter(), collections.Counter(), collections.Counter()
for st in stacks:
    if not st:
        continue
    # Self: the innermost frame of ours (the module frames above it count
    # to it as well, so that a call into Windows shows under its caller).
    leaf = name(st[0])
    self_count[leaf] += 1
    inner_ours = next((pc for pc in st if pc in names), None)
    if inner_ours is not None:
        line_count[names[inner_ours][0] + "  " + names[inner_ours][1]] += 1
    for n in set(name(pc) for pc in st):
        total_count[n] += 1
n = max(len(stacks), 1)
print("%d samples in segment %d" % (len(stacks), want))
print("-- self (innermost frame)")
for k, v in self_count.most_common(top):
    print("%5.1f%%  %s" % (100.0 * v / n, k))
print("-- innermost frame of the program, with its line")
for k, v in line_count.most_common(top):
    print("%5.1f%%  %s" % (100.0 * v / n, k))
print("-- total (on the stack)")
for k, v in total_count.most_common(top):
    print("%5.1f%%  %s" % (100.0 * v / n, k))

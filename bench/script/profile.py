#!/usr/bin/env python3
"""Sums the samples bench_script writes under TAVREL_BENCH_PROFILE, per function: self (the innermost frame) and
total (anywhere on the stack), for each section of the run.
    python3 bench/script/profile.py build-release/bench/bench_script.exe samples.txt [section] [top]"""
import bisect
import collections
import subprocess
import sys

exe, samples = sys.argv[1], sys.argv[2]
only = sys.argv[3] if len(sys.argv) > 3 else None
top = int(sys.argv[4]) if len(sys.argv) > 4 else 25

symbols = []
for line in subprocess.run(["x86_64-w64-mingw32-nm", "-C", "--defined-only", exe], capture_output=True,
                           text=True).stdout.splitlines():
    parts = line.split(" ", 2)
    if len(parts) == 3 and parts[1] in "tT":
        symbols.append((int(parts[0], 16), parts[2]))
symbols.sort()
starts = [a for a, _ in symbols]


def name(addr):
    i = bisect.bisect_right(starts, addr) - 1
    if i < 0 or addr - starts[i] > 0x100000:
        return "(outside the executable)"
    return symbols[i][1]


sections = collections.OrderedDict()
current = None
for line in open(samples):
    if line.startswith("# "):
        current = line[2:].strip()
        sections.setdefault(current, [])
    elif line.strip() and current is not None:
        sections[current].append([int(a, 16) for a in line.split()])

for section, stacks in sections.items():
    if only and not section.startswith(only):
        continue
    self_count = collections.Counter()
    total_count = collections.Counter()
    for stack in stacks:
        names = [name(a) for a in stack]
        self_count[names[0]] += 1
        for n in set(names):
            total_count[n] += 1
    n = max(len(stacks), 1)
    print(f"== {section}: {len(stacks)} samples")
    print("  self%   function")
    for fn, c in self_count.most_common(top):
        print(f"  {100 * c / n:5.1f}   {fn[:150]}")
    print("  total%  function")
    for fn, c in total_count.most_common(top):
        print(f"  {100 * c / n:5.1f}   {fn[:150]}")

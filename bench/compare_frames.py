#!/usr/bin/env python3
"""Prints the Windows/native table of two frame_bench result files.

Each row divides the Windows build's ratio (render / memcpy under wine) by
the native build's ratio for the same case, so the machine's load while
each run took place cancels out. The two-host rows compare throughput gains.

A shared machine has slow spells that last longer than one run, so each
side may give several result files (comma-separated, from runs taken in
turn with the other side's): a case keeps its best run, the lowest ratio
and the highest throughput gain.

Usage: compare_frames.py NATIVE_RESULTS[,MORE] WINDOWS_RESULTS[,MORE]
"""
import sys

GOAL = 1.25


def read(paths):
    rows = {}
    for path in paths.split(","):
        with open(path) as results:
            for line in results:
                *case, value = line.strip().split("|")
                case, value = tuple(case), float(value)
                best = max if case[2] == "two hosts" else min
                rows[case] = best(rows.get(case, value), value)
    return rows


def main():
    native, windows = read(sys.argv[1]), read(sys.argv[2])
    print("\nWindows build under wine / native build, render/memcpy ratios of the same case (goal <= %.2f)" % GOAL)
    print("%-14s %-6s %-8s %7s %8s %8s %9s" % ("layout", "size", "content", "threads", "native", "windows",
                                              "win/nat"))
    for case, native_ratio in native.items():
        if case not in windows or case[2] == "two hosts":
            continue
        relative = windows[case] / native_ratio
        print("%-14s %-6s %-8s %7s %8.2f %8.2f %9.2f%s" % (*case, native_ratio, windows[case], relative,
                                                          "" if relative <= GOAL else "  over goal"))
    print("\nTwo hosts at once, throughput over one host (goal >= 1.8)")
    print("%-14s %8s %8s" % ("layout", "native", "windows"))
    for case, native_gain in native.items():
        if case[2] == "two hosts" and case in windows:
            print("%-14s %8.2f %8.2f" % (case[0], native_gain, windows[case]))
    return 0


if __name__ == "__main__":
    sys.exit(main())

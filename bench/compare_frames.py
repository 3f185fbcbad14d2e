#!/usr/bin/env python3
"""Prints the Windows/native table of two frame_bench result files.

Each row divides the Windows build's ratio (render / memcpy under wine) by
the native build's ratio for the same case, so the machine's load while
each run took place cancels out. The two-host rows compare throughput gains.

Usage: compare_frames.py NATIVE_RESULTS WINDOWS_RESULTS
"""
import sys

GOAL = 1.25


def read(path):
    rows = {}
    with open(path) as results:
        for line in results:
            *case, value = line.strip().split("|")
            rows[tuple(case)] = float(value)
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

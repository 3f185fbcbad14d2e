#!/usr/bin/env python3
"""Compares two files of raw RGBA frames pixel for pixel.

usage: compare_rgba.py WHAT WIDTH HEIGHT EXPECTED ACTUAL
Exits 0 when both hold the same whole frames; otherwise names the first
differing pixel (frame, column, row, both values) and how many differ.
"""
import sys


def main():
    what, width, height, expected_path, actual_path = sys.argv[1:6]
    width, height = int(width), int(height)
    frame_bytes = width * height * 4
    with open(expected_path, "rb") as f:
        expected = f.read()
    with open(actual_path, "rb") as f:
        actual = f.read()
    if not expected or len(expected) % frame_bytes:
        sys.exit(f"FAIL {what}: {expected_path} holds {len(expected)} bytes, not whole {width}x{height} frames")
    if len(actual) != len(expected):
        sys.exit(f"FAIL {what}: {len(actual) // frame_bytes} frames from the host, "
                 f"{len(expected) // frame_bytes} expected ({len(actual)} vs {len(expected)} bytes)")
    if actual == expected:
        print(f"ok {what}: {len(actual) // frame_bytes} frames of {width}x{height} identical")
        return
    differing = [i for i in range(0, len(actual), 4) if actual[i:i + 4] != expected[i:i + 4]]
    first = differing[0]
    frame, pixel = divmod(first // 4, width * height)
    y, x = divmod(pixel, width)
    sys.exit(f"FAIL {what}: {len(differing)} pixels differ; first in frame {frame + 1} at ({x}, {y}): "
             f"expected RGBA {tuple(expected[first:first + 4])}, host gave {tuple(actual[first:first + 4])}")


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""The frei0r filter inside ffmpeg against the stock invert0r filter.

ffmpeg reads a raw RGBA clip (four different views of the demo photograph,
looped) and discards the frames, once through each filter and once through
none. A filter's cost is ffmpeg's CPU time (user and system) with it less
the time without any; each case keeps its best of several runs, the cases
taken in turn so that a slow spell of the shared machine hits all of them.
Prints each filter's milliseconds per frame and huewright / invert0r.

Usage: frei0r_in_ffmpeg.py FOLDER_OF_HUEWRIGHT_GENERATOR_SO [--runs N]
       [--frames N] [--size WIDTHxHEIGHT]
"""
import argparse
import os
import subprocess
import sys
import tempfile

STOCK_FOLDER = "/usr/lib/frei0r-1"
GOAL = 1.0
SOURCE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "demo", "MtTamNorth.jpg")
QUIET = ["ffmpeg", "-nostdin", "-hide_banner", "-loglevel", "error", "-y"]


def make_clip(path, width, height, views=4):
    """views frames of raw RGBA, each a different crop of the photograph."""
    with open(path, "wb") as clip:
        for view in range(views):
            crop = f"crop={width}:{height}:(iw-ow)*{view}/{views - 1}:(ih-oh)*{views - 1 - view}/{views - 1}"
            frame = subprocess.run(QUIET + ["-i", SOURCE, "-vf", f"scale={width * 5 // 4}:-2,{crop}", "-f",
                                            "rawvideo", "-pix_fmt", "rgba", "-"], check=True,
                                   capture_output=True).stdout
            if len(frame) != width * height * 4:
                sys.exit(f"frei0r_in_ffmpeg: {SOURCE} gave {len(frame)} bytes for a {width}x{height} frame")
            clip.write(frame)
    return views


def cpu_seconds(command, environment):
    """User and system time of one run of command."""
    process = subprocess.Popen(command, env=environment, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    _, status, usage = os.wait4(process.pid, 0)
    errors = process.stderr.read().decode(errors="replace")
    process.stderr.close()
    if status != 0 or errors.strip():
        sys.exit(f"frei0r_in_ffmpeg: {' '.join(command)} failed: {errors.strip()}")
    return usage.ru_utime + usage.ru_stime


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("folder", help="the folder holding huewright_generator.so")
    parser.add_argument("--runs", type=int, default=7)
    parser.add_argument("--frames", type=int, default=100)
    parser.add_argument("--size", default="1920x1080")
    args = parser.parse_args()
    width, height = (int(n) for n in args.size.split("x"))
    for folder, name in ((args.folder, "huewright_generator.so"), (STOCK_FOLDER, "invert0r.so")):
        if not os.path.isfile(os.path.join(folder, name)):
            sys.exit(f"frei0r_in_ffmpeg: no {name} in {folder} (invert0r: Debian package frei0r-plugins)")
    environment = dict(os.environ, FREI0R_PATH=f"{os.path.abspath(args.folder)}:{STOCK_FOLDER}")
    filters = {
        "none": "null",
        "huewright": "frei0r=filter_name=huewright_generator",
        "invert0r": "frei0r=filter_name=invert0r",
    }
    with tempfile.TemporaryDirectory() as work:
        clip = os.path.join(work, "clip.rgba")
        views = make_clip(clip, width, height)
        loops = max(0, -(-args.frames // views) - 1)
        best = {}
        for run in range(args.runs):
            names = list(filters)
            names = names[run % len(names):] + names[:run % len(names)]
            for name in names:
                command = QUIET + ["-threads", "1", "-filter_threads", "1", "-stream_loop", str(loops), "-f",
                                   "rawvideo", "-pix_fmt", "rgba", "-s", f"{width}x{height}", "-i", clip, "-vf",
                                   filters[name], "-f", "null", "-"]
                seconds = cpu_seconds(command, environment)
                best[name] = min(best.get(name, seconds), seconds)
    frames = views * (loops + 1)
    print(f"\nThe frei0r filter inside ffmpeg, {width}x{height} RGBA, {frames} frames: CPU time with the filter "
          f"less without, best of {args.runs} runs each")
    cost = {name: (best[name] - best["none"]) / frames * 1e3 for name in ("huewright", "invert0r")}
    print("%-22s %8.2f ms" % ("ffmpeg alone, a frame", best["none"] / frames * 1e3))
    for name in ("huewright", "invert0r"):
        print("%-22s %8.2f ms" % (f"{name}, a frame", cost[name]))
    ratio = cost["huewright"] / cost["invert0r"] if cost["invert0r"] > 0 else float("inf")
    print("%-22s %8.2f   (goal <= %.1f)%s" % ("huewright / invert0r", ratio, GOAL,
                                              "" if ratio <= GOAL else "  over goal"))
    return 0


if __name__ == "__main__":
    sys.exit(main())

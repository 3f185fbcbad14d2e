#!/usr/bin/env python3
"""Writes the seeds and hand-made regression inputs of frame_list_fuzzer and
swatch_fuzzer (fuzz/<name>_corpus/, fuzz/regressions/<name>/).

frame_list inputs are lines: the --frames text (empty for none), the -o
text, then one input name a line.

swatch inputs are bytes: the number of groups (mod 4); per group its label
and its title as names, a layout (index into kLayouts), then five colours
of three little-endian float32 channels; then the palette's name (the .gpl
Name and the .css host). A name is a length byte, that many bytes, and a
repeat byte: 0xF0 or more repeats the name 1 + 2*a + b/128 times for the
next two bytes a and b.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def write(folder, name, data):
    os.makedirs(os.path.join(HERE, folder), exist_ok=True)
    with open(os.path.join(HERE, folder, name), "wb") as f:
        f.write(data)


def name(text, repeat=None):
    data = bytes([len(text)]) + text
    if repeat is None:
        return data + b"\x00"
    a, b = repeat
    return data + bytes([0xF0, a, b])


def colours(values):
    return b"".join(struct.pack("<fff", *v) for v in values)


NAN, INF = float("nan"), float("inf")
PLAIN = [(0.1, 0.2, 0.3), (0.0, 0.5, 1.0), (1.0, 1.0, 1.0), (0.25, 0.75, 0.5), (0.0, 0.0, 0.0)]
HOSTILE = [(NAN, 0.5, 0.5), (INF, -INF, 3e38), (-1.0, 2.0, 1e-45), (0.5, NAN, NAN), (65535.0, 1.5, -0.0)]


def group(label, title, layout, values, label_repeat=None):
    return name(label, label_repeat) + name(title) + bytes([layout]) + colours(values)


def main():
    frames = {
        "pattern_range": b"1-48\nout/shot.%04d.exr\nshot.%04d.exr",
        "list_to_directory": b"\nframes/\na.png\nb.png\nc.png",
        "escaped_percent": b"7\n100%%.%02d.png\nhalf%%.%2d.tif",
        "movie_sequence": b"\nout.%d\nclip.mkv",
    }
    for key, data in frames.items():
        write("frame_list_corpus", key, data)
    # Named before reading: a billion frames, and a range ending at the
    # largest int, whose loop stepped past it.
    write("regressions/frame_list", "range_of_two_billion_frames", b"0-2147483647\nout.%04d.png\nin.%04d.png")
    write("regressions/frame_list", "range_ending_at_int_max", b"2147483640-2147483647\nout/\nin.%d.png")

    swatches = {
        "one_frame": b"\x01" + group(b"f0001", b"f0001", 0, PLAIN) + name(b"After Effects, 8-bit"),
        "shot_float": b"\x01" + group(b"shot", b"shot f0001-f0048", 2, HOSTILE) + name(b"Premiere Pro"),
        "three_layouts": b"\x03" + group(b"f0001", b"f0001", 1, PLAIN) + group(b"f0002", b"f0002", 5, HOSTILE) +
                         group(b"f0003", b"f0003", 6, PLAIN) + name(b"x"),
        "utf8_and_gbk": b"\x01" + group("é画\U0001F3A8".encode(), "\u7ea2".encode("gbk"), 4, PLAIN) +
                        name(b"\xe4\xb8"),
    }
    for key, data in swatches.items():
        write("swatch_corpus", key, data)
    # A name that ended its line in the .gpl and the .css, a label cut at
    # 96 bytes in the .gpl, a comment closed early, and a name longer than
    # an .ase length field counts.
    write("regressions/swatch", "newline_in_names", b"\x01" + group(b"f\n1", b"a\r\nb", 0, PLAIN) + name(b"ae\n*/ x"))
    write("regressions/swatch", "label_past_96_bytes", b"\x01" + group(b"L" * 120, b"t", 0, PLAIN) + name(b"ae"))
    write("regressions/swatch", "ase_name_past_65534_units",
          b"\x01" + group(b"ab" * 127, b"t", 0, PLAIN, label_repeat=(255, 255)) + name(b"ae"))


if __name__ == "__main__":
    main()

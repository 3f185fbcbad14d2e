#!/usr/bin/env python3
"""Writes the seed corpus: short command sequences that reach every path.

Each input is a list of commands; a command is an opcode byte (low four bits:
the command, bit 4: the Premiere host) followed by its argument bytes, read
front to back by ByteReader (fuzz/byte_reader.h).
"""
import pathlib
import struct

GLOBAL_SETUP, PARAMS_SETUP, ABOUT, USER_CHANGED, PRE_RENDER, SMART_RENDER, CLASSIC_RENDER, FAIL_CALL, \
    REFUSE_SUITE, CLEAR_FAULTS, SET_PARAMS, SET_HOST_STATE, HOSTILE_RENDER, HOSTILE_SMART, NULL_RECORDS, \
    OTHER_SELECTOR = range(16)
PREMIERE = 0x10
# Layout indices of fuzz/frames.cpp.
ARGB8, ARGB16, ARGBF, BGRA8, BGRAF, VUYAF, VUYA8 = range(7)


def frame(layout, w, h, pad=0, upward=False, extent=0, pixels=1, pattern=b"\x10\x80\xf0\x40\x20\xc0\x90\x08",
          output=None):
    """Frame bytes: layout, input shape, output shape flag, extents, pixels."""
    flags = (pad // 4) | (4 if upward else 0)
    out = bytes([layout, w, h, flags])
    if output:
        ow, oh, opad = output
        out += bytes([1, ow, oh, opad // 4])
    else:
        out += bytes([0])
    # Extent mode 5 reads the number of rows next.
    hint = bytes([extent, 3]) if extent == 5 else bytes([extent])
    return out + hint + bytes([0, pixels]) + pattern


def smart(layout, *args, **kw):
    # 0 selects After Effects layouts only; the layout index then counts among the three.
    return bytes([SMART_RENDER, 0]) + frame(layout, *args, **kw)


def classic(layout, *args, **kw):
    return bytes([CLASSIC_RENDER | PREMIERE]) + frame(layout, *args, **kw)


SETUP_AE = bytes([GLOBAL_SETUP, PARAMS_SETUP])
SETUP_PR = bytes([GLOBAL_SETUP | PREMIERE, PARAMS_SETUP | PREMIERE])
NAN_GAIN = bytes([SET_PARAMS, 0, 0, 0])  # checkbox 1, gain NaN, seed NaN
SPECIALS = b"\x00\x01\x02\x03\x04\x05\x06\x07"

seeds = {
    "ae_depths": SETUP_AE + smart(ARGB8, 8, 6) + smart(ARGB16, 7, 5, pad=4) + smart(ARGBF, 6, 6, upward=True,
                                                                                    pixels=2, pattern=SPECIALS),
    "ae_gain_and_toggle": SETUP_AE + NAN_GAIN + smart(ARGBF, 5, 5, pixels=2, pattern=SPECIALS)
    + bytes([USER_CHANGED, 0]) + smart(ARGB8, 5, 5) + bytes([USER_CHANGED, 0, SET_PARAMS, 1, 7, 7])
    + smart(ARGB16, 9, 4, output=(4, 9, 8)),
    "ae_pre_render": SETUP_AE + bytes([PRE_RENDER]) + struct.pack("<4h", 0, 0, 64, 48) + b"\x0f\x01"
    + struct.pack("<16h", 0, 0, 0, 0, 5, 5, 5, 50, 10, 20, 110, 220, -3, -3, 9, 9) + b"\x02",
    "pr_formats": SETUP_PR + classic(BGRA8, 8, 8) + classic(BGRAF, 6, 7, extent=5, pixels=2, pattern=SPECIALS)
    + classic(VUYAF, 5, 5, extent=2) + classic(VUYA8, 4, 4) + classic(ARGB16, 3, 3),
    "pr_low_quality": SETUP_PR + bytes([SET_HOST_STATE | PREMIERE, 1, 2, 1]) + classic(BGRAF, 7, 7, extent=1)
    + classic(BGRA8, 6, 6, upward=True, pad=8),
    "faults": SETUP_AE + bytes([FAIL_CALL, 13, 1, 0, 0]) + smart(ARGB16, 5, 5)
    + bytes([REFUSE_SUITE, 2, 1, 1, 0]) + smart(ARGB8, 4, 4) + bytes([CLEAR_FAULTS])
    + bytes([REFUSE_SUITE | PREMIERE, 6, 0, 0, 0]) + SETUP_PR + classic(BGRA8, 4, 4),
    "hostile": bytes([HOSTILE_RENDER | PREMIERE]) + frame(BGRAF, 4, 4) + b"\x05\x01"
    + bytes([HOSTILE_RENDER | PREMIERE]) + frame(BGRA8, 4, 4) + b"\x0a\x00"
    + bytes([HOSTILE_SMART]) + frame(ARGB8, 3, 3) + b"\x0b"
    + bytes([NULL_RECORDS, 3, 0, OTHER_SELECTOR | PREMIERE, 4]),
    "threads": SETUP_AE + bytes([SET_HOST_STATE, 0, 2, 0]) + smart(ARGBF, 12, 12, pixels=0)
    + bytes([SET_HOST_STATE | PREMIERE, 0, 1, 0]) + classic(VUYAF, 12, 11, pixels=0),
    "empty_worlds": smart(ARGB8, 0, 0) + classic(BGRA8, 0, 5) + classic(BGRAF, 5, 0) + smart(ARGBF, 3, 3,
                                                                                            output=(0, 0, 0)),
}

corpus = pathlib.Path(__file__).resolve().parent / "corpus"
corpus.mkdir(exist_ok=True)
for name, data in seeds.items():
    (corpus / name).write_bytes(data)

# Inputs that once broke an invariant; replayed by the fuzz.effect_regressions
# test. Inputs found by the fuzzer itself are kept there as found.
regressions = {
    # "PF World Suite" 2 handed over with a non-zero code was released.
    "world_suite_error_with_pointer": SETUP_AE + bytes([REFUSE_SUITE, 2, 1, 1, 0]) + smart(ARGB8, 4, 4),
}
regression_dir = corpus.parent / "regressions"
regression_dir.mkdir(exist_ok=True)
for name, data in regressions.items():
    (regression_dir / name).write_bytes(data)

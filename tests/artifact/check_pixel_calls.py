#!/usr/bin/env python3
"""Checks that the built effect's per-pixel functions call no library code.

Disassembles the library with objdump, starts at every analyser and writer
(AnalyzeArgb8 ... DrawVuyaFloat) and every row function (AnalyzeArgb8Row,
AnalyzeArgb8RowAndCopy, DrawArgb8Row, ...) and follows every direct call
and jump into other functions. Each function reached must be pixel code of
our own (its name says analyser, writer, swatch lookup or row kernel); a
call through a pointer, an import thunk, a PLT entry or any other function
(__emutls_get_address, memmove, a lock) fails the check, naming the path
that reached it.

A function reached that uses 256-bit registers must also clear their upper
halves (vzeroupper) before it returns or leaves for another function: left
dirty, they slow every SSE instruction that runs after it, the host's too.

Usage: check_pixel_calls.py OBJDUMP LIBRARY [ROOT ...]
ROOTs are the functions the library must hold (plain names); by default the
effect's: both forms of every analyser and writer of its six layouts.
"""
import re
import subprocess
import sys

LAYOUTS = ("Argb8", "Bgra8", "Argb16", "ArgbFloat", "BgraFloat", "VuyaFloat")
EFFECT_ROOTS = [f"{verb}{layout}{form}" for layout in LAYOUTS
                for verb, form in (("Analyze", ""), ("Draw", ""), ("Analyze", "Row"), ("Analyze", "RowAndCopy"),
                                   ("Draw", "Row"))]
# A pixel function (Pvii...) or a row function (P11PixelRefcon...), by its
# plain name.
PIXEL_FUNCTION = re.compile(r"^_Z\d+((?:Analyze|Draw)\w+?)(?:Pvii|P11PixelRefcon)")
OWN_PIXEL_CODE = re.compile(r"Analyze|Draw|CellByExactComparison|Swatch|AccumulateRow|AccumulateQuadRuns|"
                            r"SumIntegerRow|integer_rows|row_paint|row_accumulate|float_runs")
HEADER = re.compile(r"^[0-9a-f]+ <(.+)>:$")
BRANCH = re.compile(r"\s(call|jmp)q?\s+(.*)$")
TARGET = re.compile(r"^[0-9a-f]+ <([^+>]+)(\+0x[0-9a-f]+)?>$")
EXIT = re.compile(r"\s(retq?|call|jmp)q?\b(.*)$")


def functions(objdump, library):
    listing = subprocess.run([objdump, "-d", "--no-show-raw-insn", library], check=True, capture_output=True,
                             text=True).stdout
    bodies, current = {}, None
    for line in listing.splitlines():
        header = HEADER.match(line)
        if header:
            current = bodies.setdefault(header.group(1), [])
        elif current is not None and line.strip():
            current.append(line)
    return bodies


def branches(body):
    for line in body:
        branch = BRANCH.search(line)
        if branch:
            yield branch.group(2).strip()


def leaves_upper_halves_dirty(name, body):
    """Exits reached, in layout order, after a 256-bit instruction with no
    vzeroupper in between (jumps within the function are not exits)."""
    dirty, exits = False, []
    for line in body:
        if "vzeroupper" in line:
            dirty = False
        elif "%ymm" in line:
            dirty = True
        exit_ = EXIT.search(line)
        if exit_ and dirty:
            target = TARGET.match(exit_.group(2).strip())
            if exit_.group(1).startswith("ret") or not target or target.group(1) != name:
                exits.append(line.strip())
    return exits


def main():
    objdump, library, expected = sys.argv[1], sys.argv[2], sys.argv[3:] or EFFECT_ROOTS
    bodies = functions(objdump, library)
    roots = sorted(name for name in bodies if PIXEL_FUNCTION.match(name))
    found = {PIXEL_FUNCTION.match(name).group(1) for name in roots}
    missing = sorted(set(expected) - found)
    if missing:
        print(f"{library}: analysers, writers or row functions missing among its symbols: {missing} "
              f"(found {sorted(found)})")
        return 1
    faults, seen, stack = [], set(roots), [(root, [root]) for root in roots]
    while stack:
        name, path = stack.pop()
        for operand in branches(bodies.get(name, [])):
            target = TARGET.match(operand)
            if not target:
                faults.append(f"{' -> '.join(path)}: branch through a pointer ({operand})")
                continue
            callee = target.group(1)
            if callee == name:
                continue
            if not OWN_PIXEL_CODE.search(callee) or "@plt" in callee or callee not in bodies:
                faults.append(f"{' -> '.join(path)}: calls {callee}")
            elif callee not in seen:
                seen.add(callee)
                stack.append((callee, path + [callee]))
    for name in sorted(seen):
        for line in leaves_upper_halves_dirty(name, bodies.get(name, [])):
            faults.append(f"{name}: leaves with the upper halves of the vector registers dirty: {line}")
    for fault in faults:
        print(fault)
    if not faults:
        print(f"{library}: {len(seen)} functions of pixel code reached from the analysers and writers, "
              "no library call, no vector registers left dirty")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())

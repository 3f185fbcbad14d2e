#!/usr/bin/env python3
"""Checks that the built effect's per-pixel functions call no library code.

Disassembles the library with objdump, starts at every analyser and writer
a host calls (AnalyzeArgb8 ... DrawVuyaFloat, the row functions of the
Premiere float walks) and at every entry of the layout table (the erased
pixel and row functions of each layout), and follows every direct call and
jump into other functions. Each function reached must be pixel code of our
own (its name says analyser, writer, swatch lookup or row kernel); a call
through a pointer, an import thunk, a PLT entry or any other function
(__emutls_get_address, memmove, a lock) fails the check, naming the path
that reached it.

A function reached that uses 256-bit registers must also clear their upper
halves (vzeroupper) before it returns or leaves for another function: left
dirty, they slow every SSE instruction that runs after it, the host's too.

Usage: check_pixel_calls.py OBJDUMP LIBRARY [--table-only | ROOT ...]
ROOTs are the named functions the library must hold besides the table's
entries (plain names); by default the effect's host-facing ones.
--table-only: a library that reaches pixel code through the table alone
(the frei0r filter).
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
LAYOUTS = ("Argb8", "Bgra8", "Argb16", "ArgbFloat", "BgraFloat", "VuyaFloat")
EFFECT_ROOTS = ([f"{verb}{layout}" for layout in LAYOUTS for verb in ("Analyze", "Draw")] +
                [f"{name}{layout}Row{form}" for layout in ("BgraFloat", "VuyaFloat")
                 for name, form in (("Analyze", ""), ("Analyze", "AndCopy"), ("Draw", ""))])
# A host-facing pixel function (Pvii...) or row function (P11PixelRefcon...),
# by its plain name.
PIXEL_FUNCTION = re.compile(r"^_Z\d+((?:Analyze|Draw)\w+?)(?:Pvii|P11PixelRefcon)")
# The layout table's entries, one of each form per measured layout.
TABLE_ENTRY = re.compile(r"^_ZN12_GLOBAL__N_1\d+((?:Analyze|Draw)\w*Erased)I")
TABLE_FORMS = {"AnalyzeErased", "DrawErased", "AnalyzeRowErased", "AnalyzeRowAndCopyErased", "DrawRowErased"}
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
    if expected == ["--table-only"]:
        expected = []
    bodies = functions(objdump, library)
    named = {name: PIXEL_FUNCTION.match(name).group(1) for name in bodies if PIXEL_FUNCTION.match(name)}
    table = {name: TABLE_ENTRY.match(name).group(1) for name in bodies if TABLE_ENTRY.match(name)}
    missing = sorted(set(expected) - set(named.values())) + sorted(TABLE_FORMS - set(table.values()))
    if missing:
        print(f"{library}: analysers, writers or row functions missing among its symbols: {missing} "
              f"(found {sorted(set(named.values()) | set(table.values()))})")
        return 1
    roots = sorted(set(named) | set(table))
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

#!/usr/bin/env python3
"""Checks that the built effect's per-pixel functions call no library code.

Disassembles the library with objdump, starts at every analyser and writer
(AnalyzeArgb8 ... DrawVuyaFloat, and the row functions of the float walks)
and follows every direct call and jump into
other functions. Each function reached must be pixel code of our own (its
name says analyser, writer or swatch lookup); a call through a pointer, an
import thunk, a PLT entry or any other function (__emutls_get_address,
memmove, a lock) fails the check, naming the path that reached it.

Usage: check_pixel_calls.py OBJDUMP LIBRARY
"""
import re
import subprocess
import sys

PIXEL_FUNCTION = re.compile(r"^_Z\d+(Analyze|Draw)(Argb8|Bgra8|Argb16|ArgbFloat|BgraFloat|VuyaFloat)(Pvii|RowP)")
PIXEL_FUNCTION_COUNT = 16  # twelve pixel functions, four row functions of the effect's own walk
OWN_PIXEL_CODE = re.compile(r"Analyze|Draw|CellByExactComparison|Swatch")
HEADER = re.compile(r"^[0-9a-f]+ <(.+)>:$")
BRANCH = re.compile(r"\s(call|jmp)q?\s+(.*)$")
TARGET = re.compile(r"^[0-9a-f]+ <([^+>]+)(\+0x[0-9a-f]+)?>$")


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


def main():
    objdump, library = sys.argv[1], sys.argv[2]
    bodies = functions(objdump, library)
    roots = sorted(name for name in bodies if PIXEL_FUNCTION.match(name))
    if len(roots) != PIXEL_FUNCTION_COUNT:
        print(f"{library}: expected {PIXEL_FUNCTION_COUNT} analysers and writers among its symbols, "
              f"found {len(roots)}: {roots}")
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
    for fault in faults:
        print(fault)
    if not faults:
        print(f"{library}: {len(seen)} functions of pixel code reached from the analysers and writers, "
              "no library call")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())

"""Writes the huewright(1) manual page from the tool's --help text and each
command's, whatever their layout: "usage:" lines become the synopsis, an
unindented line ending in a colon ("Options:") a section of its own, and every
other line is kept as printed, in a no-fill block. Each command's help becomes
a subsection of COMMANDS, its own headings ("Options:", "Examples:") in bold.

usage: help_to_man.py HELP_TEXT_FILE VERSION SOURCE_DATE_EPOCH [COMMAND=HELP_TEXT_FILE ...] > huewright.1
"""

import datetime
import re
import sys

SUMMARY = "render images through the Huewright Generator effect"


def escape(line):
    """Roff text: backslashes and minus signs escaped, no line read as a request."""
    line = line.replace("\\", "\\e").replace("-", "\\-")
    return "\\&" + line if line.startswith((".", "'")) else line


def sections(lines):
    """The synopsis lines, then (heading, lines) pairs in the order of the help text."""
    heading, body, result, synopsis = "DESCRIPTION", [], [], []
    in_synopsis = False
    for line in lines:
        usage = re.match(r"(?i)^\s*usage:\s*(.*)$", line)
        if usage or (in_synopsis and line.startswith(" ") and line.strip()):
            synopsis.append(usage.group(1) if usage else line.strip())
            in_synopsis = True
            continue
        in_synopsis = False
        header = re.match(r"^([A-Za-z][A-Za-z ]*):\s*$", line)
        if header:
            if any(l.strip() for l in body):
                result.append((heading, body))
            heading, body = header.group(1).upper(), []
            continue
        body.append(line)
    if any(l.strip() for l in body):
        result.append((heading, body))
    return synopsis, result


def no_fill(lines):
    while lines and not lines[0].strip():
        lines = lines[1:]
    while lines and not lines[-1].strip():
        lines = lines[:-1]
    return [".nf"] + [escape(l) for l in lines] + [".fi"]


def read_lines(path):
    with open(path, encoding="utf-8") as f:
        return f.read().expandtabs().splitlines()


def command_section(name, lines):
    """One command's help: its description, usage and headed parts, in order."""
    synopsis, parts = sections(lines)
    out = [f'.SS "huewright {name}"']
    for heading, body in parts:
        if heading != "DESCRIPTION":
            out += [".PP", f".B {heading.capitalize()}:"]
        out += no_fill(body)
        if heading == "DESCRIPTION" and synopsis:
            out += [".PP", ".B Usage:"] + no_fill(synopsis)
            synopsis = []
    return out


def main():
    if len(sys.argv) < 4 or any("=" not in arg for arg in sys.argv[4:]):
        sys.exit(__doc__)
    lines = read_lines(sys.argv[1])
    version = sys.argv[2]
    date = datetime.datetime.fromtimestamp(int(sys.argv[3]), datetime.timezone.utc).strftime("%Y-%m-%d")
    synopsis, parts = sections(lines)
    out = [f'.TH HUEWRIGHT 1 "{date}" "huewright {version}" "User Commands"',
           ".SH NAME", f"huewright \\- {SUMMARY}"]
    if synopsis:
        out += [".SH SYNOPSIS"] + no_fill(synopsis)
    for heading, body in parts:
        out += [f".SH {heading}"] + no_fill(body)
    if len(sys.argv) > 4:
        out.append(".SH COMMANDS")
        for arg in sys.argv[4:]:
            name, path = arg.split("=", 1)
            out += command_section(name, read_lines(path))
    sys.stdout.write("\n".join(out) + "\n")


if __name__ == "__main__":
    main()

#!/usr/bin/env bash
# Renders each file through huewright and copies it with oiiotool
# (`oiiotool IN --mulc 1 -o OUT`), then shows where `oiiotool --info -v`
# of the two outputs differs, leaving out the provenance oiiotool adds of
# its own (Software, ImageHistory, DateTime, OriginatingProgram). No output
# for a file means the headers agree.
# usage: scripts/compare-with-oiiotool.sh HUEWRIGHT FILE...
set -euo pipefail
tool=$1
shift
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
info() {
  oiiotool --info -v "$1" | tail -n +2 | grep -v -E 'Software|ImageHistory|DateTime|OriginatingProgram|oiiotool '
}
for input in "$@"; do
  name=$(basename "$input")
  "$tool" render "$input" -o "$work/ours.$name" -q
  oiiotool "$input" --mulc 1 -o "$work/theirs.$name"
  if ! diff <(info "$work/theirs.$name" | sed "s|$work/theirs.||") \
            <(info "$work/ours.$name" | sed "s|$work/ours.||") >"$work/diff"; then
    echo "== $input"
    cat "$work/diff"
  fi
done

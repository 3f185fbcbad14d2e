#!/usr/bin/env bash
# huewright against oiiotool on the same files, in one run: wall time, CPU
# time (user + system) and peak memory (/usr/bin/time) of
# `huewright render IN -o OUT` beside `oiiotool IN --mulc 1 -o OUT` (same
# compression: both keep the input's), printed as ratios huewright / oiiotool.
# Each pair runs RUNS times in turn (default 3) and the fastest run of each
# counts, so that a busy machine's bursts do not decide a row; peak memory
# is the largest seen. A command that fails stops the script.
# usage: bench/tool_vs_oiiotool.sh HUEWRIGHT [--big]   (--big adds a 12000x12000 PNG)
set -euo pipefail
tool=$(realpath "$1")
big=${2:-}
runs=${RUNS:-3}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
fill="--pattern fill:topleft=0.1,0.2,0.9:topright=0.9,0.8,0.1:bottomleft=0.3,0.9,0.3:bottomright=0.5,1.5,0.2"
oiiotool $fill 3840x2160 3 --addc 0.001 -d uint8 --compression none -o tiff8.tif
oiiotool tiff8.tif --compression lzw -o lzw8.tif
oiiotool tiff8.tif -o png8.png
oiiotool $fill 3840x2160 4 -d float --compression piz -o float.exr
mkdir seq
oiiotool $fill 1920x1080 3 -d uint8 -o seq/f.0001.png
for n in $(seq 2 48); do cp seq/f.0001.png "seq/f.$(printf %04d "$n").png"; done
[[ "$big" == --big ]] && oiiotool $fill 12000x12000 3 -d uint8 -o big.png

# Prints "seconds cpu-seconds kilobytes" of one command; exits on failure.
measure() {
  if ! /usr/bin/time -f '%e %U %S %M' -o time.txt "$@" >/dev/null 2>error.txt; then
    echo "failed: $*" >&2
    cat error.txt >&2
    exit 1
  fi
  awk '{ print $1, $2 + $3, $4 }' time.txt
}
# Keeps the lowest time and CPU time and the highest peak of "$best" and "$1".
best_of() {
  awk -v a="$1" -v b="$2" 'BEGIN { split(a, x, " "); split(b, y, " ");
    if (x[1] == "") { print b; exit }
    printf "%s %s %s\n", (y[1] < x[1] ? y[1] : x[1]), (y[2] < x[2] ? y[2] : x[2]), (y[3] > x[3] ? y[3] : x[3]) }'
}
# name, then "ours" and "theirs" commands separated by --
pair() {
  local name=$1 ours=() theirs=() side=ours best_ours="" best_theirs="" run measured
  shift
  for word in "$@"; do
    if [[ $word == -- ]]; then side=theirs; continue; fi
    if [[ $side == ours ]]; then ours+=("$word"); else theirs+=("$word"); fi
  done
  for ((run = 0; run < runs; run++)); do
    measured=$(measure "${ours[@]}")  # an assignment of its own, so that a failure stops the script
    best_ours=$(best_of "$best_ours" "$measured")
    measured=$(measure "${theirs[@]}")
    best_theirs=$(best_of "$best_theirs" "$measured")
  done
  awk -v n="$name" -v o="$best_ours" -v t="$best_theirs" 'BEGIN {
    split(o, a, " "); split(t, b, " ");
    printf "%-18s time %5.2f s / %5.2f s = %4.2f   cpu %5.2f s / %5.2f s = %4.2f   peak %5.0f MB / %5.0f MB = %4.2f\n",
           n, a[1], b[1], a[1] / b[1], a[2], b[2], a[2] / b[2], a[3] / 1024, b[3] / 1024, a[3] / b[3] }'
}
compare() {
  local name=$1 ext=${2##*.}
  pair "$name" "$tool" render "$2" -o "ours.$ext" -q -- oiiotool "$2" --mulc 1 -o "theirs.$ext"
}
uptime
compare "4K TIFF 8-bit" tiff8.tif
compare "4K TIFF 8-bit LZW" lzw8.tif
compare "4K PNG 8-bit" png8.png
compare "4K EXR float PIZ" float.exr
pair "48 x 1080p PNG" "$tool" render seq/f.%04d.png --frames 1-48 -o out/o.%04d.png -q -- \
  oiiotool --frames 1-48 seq/f.%04d.png --mulc 1 -o theirs.%04d.png
[[ "$big" == --big ]] && compare "12000x12000 PNG" big.png
exit 0

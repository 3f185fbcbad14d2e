#!/usr/bin/env bash
# huewright against oiiotool on the same files, in one run: wall time and
# peak memory (/usr/bin/time -v) of `huewright render IN -o OUT` beside
# `oiiotool IN --mulc 1 -o OUT` (same compression: both keep the input's),
# printed as ratios huewright / oiiotool.
# usage: bench/tool_vs_oiiotool.sh HUEWRIGHT [--big]   (--big adds a 12000x12000 PNG)
set -euo pipefail
tool=$(realpath "$1")
big=${2:-}
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

# Prints "seconds kilobytes" of one command.
measure() {
  /usr/bin/time -f '%e %M' -o time.txt "$@" >/dev/null 2>&1
  cat time.txt
}
compare() {
  local name=$1 ours theirs
  shift
  ours=$(measure "$tool" render "$@" -o "ours.${1##*.}" -q)
  theirs=$(measure oiiotool "$1" --mulc 1 -o "theirs.${1##*.}")
  awk -v n="$name" -v o="$ours" -v t="$theirs" 'BEGIN {
    split(o, a, " "); split(t, b, " ");
    printf "%-22s time %6.2f s / %6.2f s = %5.2f   peak %7.0f MB / %7.0f MB = %5.2f\n",
           n, a[1], b[1], a[1] / b[1], a[2] / 1024, b[2] / 1024, a[2] / b[2] }'
}
compare "4K TIFF 8-bit" tiff8.tif
compare "4K TIFF 8-bit LZW" lzw8.tif
compare "4K PNG 8-bit" png8.png
compare "4K EXR float PIZ" float.exr
ours=$(measure "$tool" render seq/f.%04d.png --frames 1-48 -o out/o.%04d.png -q)
theirs=$(measure oiiotool --frames 1-48 seq/f.%04d.png --mulc 1 -o theirs.%04d.png)
awk -v o="$ours" -v t="$theirs" 'BEGIN { split(o, a, " "); split(t, b, " ");
  printf "%-22s time %6.2f s / %6.2f s = %5.2f\n", "48 x 1080p PNG", a[1], b[1], a[1] / b[1] }'
[[ "$big" == --big ]] && compare "12000x12000 PNG" big.png
exit 0

#!/usr/bin/env bash
# The demo: renders the bundled photograph through the effect in After Effects
# (8, 16 and 32 bits) and in Premiere Pro (BGRA 8u, BGRA 32f, VUYA 32f), prints
# the palette it measures, draws the palette timeline of a short pan across
# the photograph, exports its swatches, runs a clip panning across the
# photograph through ffmpeg and the frei0r filter, and says where the files are.
#   bash scripts/demo.sh BUILD_DIR
set -euo pipefail
build=${1:-build}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
tool="$build/tools/huewright"
photo="$root/demo/MtTamNorth.jpg"
out="$root/out"

if [[ ! -x "$tool" ]]; then
  echo "demo: $tool not found; build first (make demo builds it)" >&2
  exit 1
fi
mkdir -p "$out"

"$tool" info
echo

# One file type per depth: 8-bit PNG, 16-bit TIFF, float EXR (the photograph
# is an 8-bit JPEG, so the deeper outputs ask for their own sample type).
"$tool" render "$photo" -o "$out/ae_8bit.png" --host ae --depth 8
"$tool" render "$photo" -o "$out/ae_16bit.tif" --host ae --depth 16 --out-type uint16
"$tool" render "$photo" -o "$out/ae_32bit.exr" --host ae --depth 32 --out-type float
"$tool" render "$photo" -o "$out/premiere_bgra8.png" --host premiere --format bgra8
"$tool" render "$photo" -o "$out/premiere_bgra32f.exr" --host premiere --format bgra32f --out-type float
"$tool" render "$photo" -o "$out/premiere_vuya32f.exr" --host premiere --format vuya32f --out-type float
echo

echo "Palette of $(basename "$photo") (After Effects, 8-bit):"
"$tool" palette "$photo" --quiet

# A short "shot": twelve frames panning from the dark hillside to the sky,
# the effect's parameter changed before frames 7 and 10, so that frames 7-9
# show the frozen palette of frame 6 (marked in the timeline).
frames=$(mktemp -d)
trap 'rm -rf "$frames"' EXIT
for i in $(seq 1 12); do
  x=$(( (i - 1) * 60 ))
  oiiotool "$photo" --cut "480x320+${x}+$(( 440 - (i - 1) * 40 ))" -o "$frames/pan.$(printf %04d "$i").png"
done
"$tool" palette "$frames/pan.%04d.png" --frames 1-12 --toggle-at 7,10 --quiet \
  --timeline "$out/demo_timeline.png" --export "$out/demo_palette.ase" > /dev/null
"$tool" palette "$frames/pan.%04d.png" --frames 1-12 --frames-summary --quiet \
  --export "$out/demo_shot.gpl" > /dev/null
echo

# A two-second pan across the photograph, 960x540 (ffmpeg 5.1 hands frei0r
# filters rows of exactly width x 4 bytes only at widths that are a multiple
# of 16), every frame measured and painted by the frei0r filter.
FREI0R_PATH="$build/frei0r" ffmpeg -nostdin -hide_banner -loglevel error -y -loop 1 -framerate 12 -i "$photo" \
  -vf "scale=1440:-2,crop=960:540:x='(iw-ow)*n/23':y='(ih-oh)/2',frei0r=filter_name=huewright_generator" \
  -frames:v 24 -c:v libx264 -pix_fmt yuv420p "$out/frei0r_pan.mp4"
echo "Clip through ffmpeg and the frei0r filter: $out/frei0r_pan.mp4"
echo

echo "The rendered images, the palette timeline, the swatch files and the clip are in $out/:"
ls -1 "$out" | sed 's/^/  /'

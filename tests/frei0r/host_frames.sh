# Shared by the real-host tests: test frames made from the photographs, the
# effect's After Effects 8-bit renders of them through the huewright tool,
# and pixel-for-pixel comparison. Sourced; expects HUEWRIGHT_SOURCE and, for
# the renders, HUEWRIGHT_TOOL.
set -euo pipefail
: "${HUEWRIGHT_SOURCE:?names the source tree}"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

run_ffmpeg() { ffmpeg -nostdin -hide_banner -loglevel error -y "$@"; }

# make_frames DIR WIDTH HEIGHT [COUNT]: DIR/src_01.png onwards, up to four
# different pictures (a view of the mountain, the carrots, another view,
# the small mountain enlarged), and DIR/clip.mkv, the same frames as a
# lossless FFV1 clip. Square pixels: melt would rescale any other.
make_frames() {
  local dir=$1 width=$2 height=$3 count=${4:-4} data="$HUEWRIGHT_SOURCE/tests/data"
  local photo="$HUEWRIGHT_SOURCE/demo/MtTamNorth.jpg" wide="scale=$((width * 5 / 4)):-2"
  mkdir -p "$dir"
  local sources=("$photo" "$data/carrots_96x64.pfm" "$photo" "$data/mttam_120x80.ppm")
  local filters=("$wide,crop=$width:$height:0:0" "scale=$width:$height:flags=bicubic"
    "$wide,crop=$width:$height:iw-ow:ih-oh" "scale=$width:$height:flags=neighbor")
  for ((i = 0; i < count; ++i)); do
    run_ffmpeg -i "${sources[i]}" -vf "${filters[i]},setsar=1" -pix_fmt rgb24 "$dir/src_0$((i + 1)).png"
  done
  echo "$count" >"$dir/count"
  run_ffmpeg -framerate 25 -i "$dir/src_%02d.png" -c:v ffv1 -pix_fmt bgr0 "$dir/clip.mkv"
}

# to_rgba INPUT OUTPUT: every frame of INPUT (a file or an image pattern)
# as raw RGBA; RGB sources get opaque alpha.
to_rgba() { run_ffmpeg -i "$1" -f rawvideo -pix_fmt rgba "$2"; }

# after_effects DIR NAME [tool options]: DIR/NAME.rgba, the effect's After
# Effects 8-bit render of DIR's frames.
after_effects() {
  local dir=$1 name=$2
  shift 2
  "${HUEWRIGHT_TOOL:?names the huewright tool}" render "$dir/src_%02d.png" --frames "1-$(cat "$dir/count")" -o "$dir/${name}_%02d.png" \
    --host ae --depth 8 --quiet "$@"
  to_rgba "$dir/${name}_%02d.png" "$dir/$name.rgba"
}

# melt_profile DIR WIDTH HEIGHT: DIR/profile, square pixels at 25 frames a
# second, so that melt neither scales nor pads the frames. melt 7.12 crashes
# on a profile without a description.
melt_profile() {
  cat >"$1/profile" <<PROFILE
description=$2x$3
frame_rate_num=25
frame_rate_den=1
width=$2
height=$3
progressive=1
sample_aspect_num=1
sample_aspect_den=1
display_aspect_num=$2
display_aspect_den=$3
colorspace=709
PROFILE
}

# same_frames WHAT WIDTH HEIGHT EXPECTED ACTUAL
same_frames() { python3 "$here/compare_rgba.py" "$@"; }

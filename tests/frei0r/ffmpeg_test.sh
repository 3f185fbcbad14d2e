#!/usr/bin/env bash
# ffmpeg (-vf frei0r) runs the filter on lossless clips; every frame must be
# the After Effects 8-bit render of the same picture. ffmpeg 5.1 assumes rows
# of exactly width x 4 bytes, which holds at widths that are a multiple of 16.
source "$(dirname "${BASH_SOURCE[0]}")/host_common.sh"

# filter_clip DIR NAME PARAMS [FILTERS BEFORE]: DIR/NAME.rgba, the clip
# through the filter, written as the filter's own raw RGBA frames.
filter_clip() {
  local dir=$1 name=$2 params=$3 before=${4:-}
  run_ffmpeg -i "$dir/clip.mkv" -vf "${before}frei0r=filter_name=huewright_generator:filter_params=$params" \
    -f rawvideo -pix_fmt rgba "$dir/$name.rgba"
}

# Parameters by position: Swatches|Gain|Measure. Gain positions 0, 0.5, 0.75
# and 1 are the gains 0.001, 1, 2 and 3 (2 in the frozen case below).
small="$work/336x241"
make_frames "$small" 336 241
while read -r name params options; do
  filter_clip "$small" "$name" "$params"
  after_effects "$small" "ae_$name" $options
  same_frames "ffmpeg $params" 336 241 "$small/ae_$name.rgba" "$small/$name.rgba"
done <<'CASES'
defaults y|0.5|y --gain 1
lowest   y|0|y   --gain 0.001
highest  y|1|y   --gain 3
bare     n|0.75|y --gain 2 --swatches off
CASES

# "Measure" turned off from the third frame (0.08 s at 25 frames a second):
# frames 3 and 4 keep the palette measured on frame 2, the gain change
# with it has no effect, as turning analysis off in After Effects.
filter_clip "$small" frozen 'y|0.75|y' "sendcmd=c='0.08 frei0r filter_params y|1|n',"
after_effects "$small" ae_frozen --gain 2 --toggle-at 3
same_frames "ffmpeg Measure off from frame 3" 336 241 "$small/ae_frozen.rgba" "$small/frozen.rgba"

large="$work/1920x1080"
make_frames "$large" 1920 1080 2
filter_clip "$large" defaults 'y|0.5|y'
after_effects "$large" ae_defaults
same_frames "ffmpeg 1920x1080" 1920 1080 "$large/ae_defaults.rgba" "$large/defaults.rgba"

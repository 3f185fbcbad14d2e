#!/usr/bin/env bash
# GStreamer's frei0r wrapper offers the filter as the element
# frei0r-filter-huewright-generator, with the properties swatches, gain and
# measure; it builds throwaway instances while it inspects the element.
source "$(dirname "${BASH_SOURCE[0]}")/host_common.sh"
# A registry of this run's own, so that the filter is found afresh and the
# user's registry is never touched.
export GST_REGISTRY="$work/registry.bin"

# run_gst DIR NAME PROPERTIES...: DIR/NAME.rgba, raw frames as the pipeline
# ends (RGBA rows of exactly width x 4 bytes).
run_gst() {
  local dir=$1 name=$2
  shift 2
  gst-launch-1.0 -q multifilesrc location="$dir/src_%02d.png" index=1 stop-index="$(cat "$dir/count")" \
    caps=image/png,framerate=25/1 ! pngdec ! videoconvert ! video/x-raw,format=RGBA ! \
    frei0r-filter-huewright-generator "$@" ! videoconvert ! video/x-raw,format=RGBA ! \
    filesink location="$dir/$name.rgba"
}

odd="$work/322x241"
make_frames "$odd" 322 241
while IFS='|' read -r name properties options; do
  run_gst "$odd" "$name" $properties
  after_effects "$odd" "ae_$name" $options
  same_frames "GStreamer $properties" 322 241 "$odd/ae_$name.rgba" "$odd/$name.rgba"
done <<'CASES'
defaults|swatches=true|--gain 1
doubled|gain=0.75|--gain 2
bare|swatches=false gain=0.1|--swatches off
CASES

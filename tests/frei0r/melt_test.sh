#!/usr/bin/env bash
# melt (MLT) runs the filter with parameters by name. With two worker
# threads it keeps one instance per thread and hands them frames out of
# order; with threads=0 on the filter it slices each frame and calls one
# instance from several threads at once, each slice measured on its own.
#
#   bash melt_test.sh [frames|slices]
# "slices" exits 77 (a skip for CTest) on one core, where MLT never slices.
part=${1:-frames}
source "$(dirname "${BASH_SOURCE[0]}")/host_common.sh"

# run_melt DIR NAME CONSUMER_OPTIONS -- FILTER_PROPERTIES: DIR/NAME.rgba.
run_melt() {
  local dir=$1 name=$2 consumer=()
  shift 2
  while [[ $1 != -- ]]; do consumer+=("$1"); shift; done
  shift
  melt -silent -profile "$dir/profile" "$dir/clip.mkv" -filter frei0r.huewright_generator "$@" \
    -consumer "avformat:$dir/$name.mkv" vcodec=ffv1 pix_fmt=bgra an=1 "${consumer[@]}" 2>"$dir/$name.log" ||
    { cat "$dir/$name.log" >&2; exit 1; }
  to_rgba "$dir/$name.mkv" "$dir/$name.rgba"
}

frames() {
  local odd="$work/322x241"
  make_frames "$odd" 322 241
  melt_profile "$odd" 322 241

  run_melt "$odd" threads real_time=-2 -- Gain=1
  after_effects "$odd" ae_threads --gain 3
  same_frames "melt, two worker threads, Gain=1" 322 241 "$odd/ae_threads.rgba" "$odd/threads.rgba"

  # One thread, frames in order: "Measure" keyframed off from the third frame
  # (position 2) keeps frame 2's palette, as turning analysis off does.
  run_melt "$odd" frozen real_time=-1 -- Swatches=1 Gain=0.75 'Measure=0|=1;2|=0'
  after_effects "$odd" ae_frozen --gain 2 --toggle-at 3
  same_frames "melt Measure off from frame 3" 322 241 "$odd/ae_frozen.rgba" "$odd/frozen.rgba"
}

# Two slices of 322x120: each half of every frame is painted as a frame of
# its own. MLT never makes more slices than the machine has cores.
slices() {
  if (($(nproc) < 2)); then
    echo "skipped melt slices: one core, so MLT would not slice"
    exit 77
  fi
  local even="$work/322x240"
  make_frames "$even" 322 240 2
  melt_profile "$even" 322 240
  run_melt "$even" sliced real_time=-1 -- threads=2
  local half frame dir
  for half in 0 1; do
    dir="$work/half$half"
    mkdir -p "$dir"
    for frame in 1 2; do
      run_ffmpeg -i "$even/src_0$frame.png" -vf "crop=322:120:0:$((half * 120))" "$dir/src_0$frame.png"
    done
    echo 2 >"$dir/count"
    after_effects "$dir" ae
    run_ffmpeg -f rawvideo -pix_fmt rgba -s 322x240 -i "$even/sliced.rgba" -vf "crop=322:120:0:$((half * 120))" \
      -f rawvideo -pix_fmt rgba "$dir/sliced.rgba"
    same_frames "melt slice $((half + 1)) of 2" 322 120 "$dir/ae.rgba" "$dir/sliced.rgba"
  done
}

case $part in
  frames | slices) "$part" ;;
  *) echo "FAIL: unknown part '$part' (frames or slices)" >&2; exit 1 ;;
esac

#!/usr/bin/env bash
# The filter of the AddressSanitizer tree inside the real hosts, with the
# sanitizer runtimes preloaded: no memory error, no undefined behaviour and
# no leak of the filter's. ffmpeg frees everything it allocates, so any leak
# fails there; melt and GStreamer leak a little of their own at exit, so for
# them only a leak whose stack passes through the filter fails.
source "$(dirname "${BASH_SOURCE[0]}")/host_common.sh"
filter="$FREI0R_PATH/huewright_generator.so"
preload=$(ldd "$filter" | awk '/lib(a|ub)san\.so/ {print $3}' | tr '\n' ' ')
[[ $preload == *asan* ]] || { echo "FAIL: $filter is not built with AddressSanitizer" >&2; exit 1; }
export GST_REGISTRY="$work/registry.bin"

# sanitized NAME LEAKS_OF_HOST_ALLOWED COMMAND...: runs COMMAND with the
# runtimes preloaded and judges its report.
sanitized() {
  local name=$1 host_leaks=$2 log="$work/$1.log" status=0
  shift 2
  LD_PRELOAD="$preload" ASAN_OPTIONS=detect_leaks=1:exitcode=23 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$@" >"$log" 2>&1 || status=$?
  if grep -q -e "ERROR: AddressSanitizer" -e "runtime error" "$log" ||
    { ((status == 23)) && { [[ $host_leaks == no ]] || grep -q -e huewright_generator -e "/frei0r/" "$log"; }; } ||
    ((status != 0 && status != 23)); then
    cat "$log" >&2
    echo "FAIL $name under AddressSanitizer (exit $status)" >&2
    exit 1
  fi
  echo "ok $name under AddressSanitizer (exit $status)"
}

odd="$work/322x241"
make_frames "$odd" 322 241 2
even="$work/336x240"
make_frames "$even" 336 240 2
melt_profile "$odd" 322 241

sanitized ffmpeg no ffmpeg -nostdin -loglevel error -y -i "$even/clip.mkv" \
  -vf "frei0r=filter_name=huewright_generator:filter_params=y|0.75|y" -f rawvideo -pix_fmt rgba "$work/ffmpeg.rgba"
sanitized melt yes melt -silent -profile "$odd/profile" "$odd/clip.mkv" -filter frei0r.huewright_generator \
  -consumer "avformat:$work/melt.mkv" vcodec=ffv1 an=1 real_time=-2
sanitized gstreamer yes gst-launch-1.0 -q multifilesrc location="$odd/src_%02d.png" index=1 stop-index=2 \
  caps=image/png,framerate=25/1 ! pngdec ! videoconvert ! frei0r-filter-huewright-generator ! videoconvert ! \
  fakesink

#!/usr/bin/env bash
# The frei0r filter as the Debian package installs it, unpacked into a
# scratch root (dpkg-deb -x, no root needed), run by a real host that finds
# it by its own search rules with FREI0R_PATH unset:
#   melt       MLT_FREI0R_PLUGIN_PATH, MLT's own frei0r folder list (read
#              only when FREI0R_PATH is unset), names the package's
#              usr/lib/frei0r-1 in the root;
#   gstreamer  GStreamer has no frei0r path of its own besides FREI0R_PATH,
#              so a HOME of the test's own holds .frei0r-1/lib, the folder a
#              user install fills and the first it reads, linked to the
#              package's usr/lib/frei0r-1.
# The loader's log must show the root's copy loaded by the rendering
# process, and no other; the frames must be the packaged tool's After
# Effects renders through the packaged effect, swatches included, and not
# the source frames. Exits 77 (a skip) when the host program is absent.
#
#   bash package_hosts_test.sh DEB melt|gstreamer
set -euo pipefail
deb=${1:?usage: package_hosts_test.sh DEB melt|gstreamer}
host=${2:?usage: package_hosts_test.sh DEB melt|gstreamer}
program=$([[ $host == melt ]] && echo melt || echo gst-launch-1.0)
command -v "$program" >/dev/null || { echo "skipped: $program is not installed"; exit 77; }
[[ -f $deb ]] || { echo "FAIL: no package $deb" >&2; exit 1; }
unset FREI0R_PATH MLT_FREI0R_PLUGIN_PATH
source "$(dirname "${BASH_SOURCE[0]}")/host_frames.sh"

root=$work/root
dpkg-deb -x "$deb" "$root"
folder=$root/usr/lib/frei0r-1
[[ -f $folder/huewright_generator.so ]] || { echo "FAIL: $deb installs no usr/lib/frei0r-1/huewright_generator.so" >&2; exit 1; }
export HUEWRIGHT_TOOL=$root/usr/bin/huewright
home=$work/home
mkdir -p "$home/.frei0r-1" "$work/ld"

# loaded_by_renderer NAME PID_FILE: every huewright_generator.so the
# rendering process loaded is the root's.
loaded_by_renderer() {
  local log="$work/ld/$1.$(<"$2")" loaded
  [[ -f $log ]] || { echo "FAIL $1: no loader log for the rendering process" >&2; exit 1; }
  loaded=$(grep -o 'file=[^ ]*huewright_generator\.so' "$log" | sed 's/^file=//' | sort -u)
  [[ -n $loaded ]] || { echo "FAIL $1: the host loaded no huewright_generator.so" >&2; exit 1; }
  while read -r path; do
    [[ $(realpath "$path") == "$(realpath "$folder/huewright_generator.so")" ]] ||
      { echo "FAIL $1: the host loaded $path, not the package's" >&2; exit 1; }
  done <<<"$loaded"
  echo "ok $1: the host loaded the package's filter ($loaded)"
}

# traced NAME COMMAND...: COMMAND with the loader's log of files, its pid
# in $work/NAME.pid (exec keeps it).
traced() {
  local name=$1
  shift
  LD_DEBUG=files LD_DEBUG_OUTPUT="$work/ld/$name" bash -c 'echo $$ >"$0"; exec "$@"' "$work/$name.pid" "$@"
}

run_melt() {
  local dir=$1
  melt_profile "$dir" 322 241
  MLT_FREI0R_PLUGIN_PATH=$folder HOME=$home traced melt melt -silent -profile "$dir/profile" "$dir/clip.mkv" \
    -filter frei0r.huewright_generator Gain=1 -consumer "avformat:$dir/host.mkv" vcodec=ffv1 pix_fmt=bgra an=1 \
    real_time=-1 2>"$dir/host.log" || { cat "$dir/host.log" >&2; exit 1; }
  to_rgba "$dir/host.mkv" "$dir/host.rgba"
  loaded_by_renderer melt "$work/melt.pid"
}

run_gstreamer() {
  local dir=$1
  ln -s "$folder" "$home/.frei0r-1/lib"
  HOME=$home GST_REGISTRY="$work/registry.bin" traced gstreamer gst-launch-1.0 -q multifilesrc \
    location="$dir/src_%02d.png" index=1 stop-index="$(cat "$dir/count")" caps=image/png,framerate=25/1 ! pngdec ! \
    videoconvert ! video/x-raw,format=RGBA ! frei0r-filter-huewright-generator gain=0.75 ! videoconvert ! \
    video/x-raw,format=RGBA ! filesink location="$dir/host.rgba"
  loaded_by_renderer gstreamer "$work/gstreamer.pid"
}

odd="$work/322x241"
make_frames "$odd" 322 241
case $host in
  melt) run_melt "$odd"; gain=3 ;;
  gstreamer) run_gstreamer "$odd"; gain=2 ;;
  *) echo "FAIL: unknown host '$host' (melt or gstreamer)" >&2; exit 1 ;;
esac
after_effects "$odd" packaged_ae --gain "$gain"
to_rgba "$odd/src_%02d.png" "$odd/source.rgba"
if cmp -s "$odd/source.rgba" "$odd/host.rgba"; then
  echo "FAIL $host: the frames came out unfiltered" >&2
  exit 1
fi
same_frames "$host with the packaged filter" 322 241 "$odd/packaged_ae.rgba" "$odd/host.rgba"

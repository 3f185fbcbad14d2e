#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need.
#   bash scripts/install-deps.sh           everything (make test, make demo)
#   bash scripts/install-deps.sh --linux   all but the Windows cross build and
#                                          wine (make linux)
#   bash scripts/install-deps.sh --list [--linux]   print the packages, install nothing
# Idempotent: when every package is already installed it runs neither sudo
# nor apt-get and prints nothing.
set -euo pipefail

build=(cmake make g++ pkg-config python3)
test_libraries=(googletest libgtest-dev libgmock-dev libbenchmark-dev)
# time: the tool's comparison with oiiotool (bench/); FFmpeg's libraries: its movies.
tool=(libopenimageio-dev openimageio-tools liblief-dev libcli11-dev time
  libavformat-dev libavcodec-dev libavutil-dev libswscale-dev)
# exiftool and Ghostscript's ICC profiles: the tool's metadata tests.
tool_tests=(libimage-exiftool-perl libgs-common)
fuzzing=(clang-14 libfuzzer-14-dev libclang-rt-14-dev)
# frei0r-plugins: the stock invert0r filter the frei0r benchmark compares with.
frei0r_hosts=(frei0r-plugins-dev frei0r-plugins ffmpeg melt
  gstreamer1.0-tools gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-bad)
release=(zip unzip dpkg-dev lintian file groff-base bsdextrautils)
# The .aex, its checks and its tests under wine, and the Windows installer.
windows=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine64 python3-pefile nsis)

linux_only=false
list_only=false
for argument in "$@"; do
  case "$argument" in
    --linux) linux_only=true ;;
    --list) list_only=true ;;
    *) echo "usage: install-deps.sh [--linux] [--list]" >&2; exit 2 ;;
  esac
done

packages=("${build[@]}" "${test_libraries[@]}" "${tool[@]}" "${tool_tests[@]}" "${fuzzing[@]}"
  "${frei0r_hosts[@]}" "${release[@]}")
$linux_only || packages+=("${windows[@]}")
if $list_only; then
  printf '%s\n' "${packages[@]}"
  exit 0
fi

# A package installed for several architectures prints one status per
# architecture; any of them installed will do.
installed() {
  local states
  states=$(dpkg-query -W -f='${db:Status-Status}\n' "$1" 2>/dev/null) || return 1
  [[ $'\n'$states$'\n' == *$'\ninstalled\n'* ]]
}

missing=()
for package in "${packages[@]}"; do
  installed "$package" || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[[ $(id -u) -eq 0 ]] || sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null

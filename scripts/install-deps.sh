#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the demo need.
# Idempotent, and quiet when everything is already there.
set -euo pipefail

packages=(
  cmake make g++ pkg-config
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine64
  python3 python3-pefile
  libopenimageio-dev openimageio-tools liblief-dev libcli11-dev
  ffmpeg libimage-exiftool-perl time libgs-common
  clang-14 libfuzzer-14-dev libclang-rt-14-dev
  frei0r-plugins-dev frei0r-plugins ffmpeg melt
  gstreamer1.0-tools gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-bad
  nsis zip unzip dpkg-dev lintian file groff-base bsdextrautils
)

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[[ $(id -u) -eq 0 ]] || sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null

#!/usr/bin/env bash
# Writes a release into OUT_DIR from the two build trees:
#   HuewrightGenerator-<version>-win64.zip        the .aex, the OpenFX bundle,
#                                                 LICENSE.txt, INSTALL.txt,
#                                                 CONTROLS.txt, OPENFX.txt
#   HuewrightGenerator-<version>-win64-setup.exe  the NSIS installer
#   huewright_<version>_amd64.deb                 the tool, the native effect, the
#                                                 OpenFX bundle (and the frei0r
#                                                 filter when it is built)
#   SHA256SUMS
#
#   bash packaging/release.sh NATIVE_BUILD WINDOWS_BUILD OUT_DIR
#
# Reproducible: every time stamp is SOURCE_DATE_EPOCH (by default the time of
# the checked-out commit), entries are sorted, owners and permissions fixed,
# so two runs from one commit give the same bytes. The files appear in OUT_DIR
# only once all of them are built.
set -euo pipefail

usage="usage: release.sh NATIVE_BUILD WINDOWS_BUILD OUT_DIR"
native=$(realpath "${1:?$usage}")
windows=$(realpath "${2:?$usage}")
out=${3:?$usage}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

fail() { echo "release: $*" >&2; exit 1; }
need_file() { [[ -f "$1" ]] || fail "$1 is missing: $2"; }

aex=$windows/entry/HuewrightGenerator.aex
version_file=$windows/entry/version/version.txt
need_file "$aex" "build the Windows tree (make windows)"
need_file "$version_file" "build the Windows tree (make windows)"
need_file "$native/tools/huewright" "build the native tree (make native)"
bundle=$native/ofx/HuewrightGenerator.ofx.bundle
need_file "$bundle/Contents/Win64/HuewrightGenerator.ofx" "build the native tree after the Windows one (make native)"
version=$(<"$version_file")
[[ "$version" =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "$version_file holds no version (\"$version\")"

if [[ -z "${SOURCE_DATE_EPOCH:-}" ]]; then
  SOURCE_DATE_EPOCH=$(git -C "$root" log -1 --format=%ct 2>/dev/null) ||
    fail "not a git checkout: set SOURCE_DATE_EPOCH to the release's time (seconds since 1970)"
fi
export SOURCE_DATE_EPOCH
export TZ=UTC LC_ALL=C
umask 022

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

zip_name=HuewrightGenerator-$version-win64.zip
setup_name=HuewrightGenerator-$version-win64-setup.exe
deb_name=huewright_${version}_amd64.deb

mkdir -p "$work/dist"
bash "$root/packaging/windows/package.sh" zip "$aex" "$work/dist/$zip_name" "$bundle"
bash "$root/packaging/windows/package.sh" installer "$aex" "$work/dist/$setup_name" "$bundle"
bash "$root/packaging/debian/make_deb.sh" "$native" "$version" "$work/dist/$deb_name"
(cd "$work/dist" && sha256sum "$setup_name" "$zip_name" "$deb_name" >SHA256SUMS)

mkdir -p "$out"
for file in "$zip_name" "$setup_name" "$deb_name" SHA256SUMS; do
  mv -f "$work/dist/$file" "$out/$file"
done
echo "release $version written to $out:"
(cd "$out" && ls -l "$zip_name" "$setup_name" "$deb_name" SHA256SUMS | awk '{print "  " $5 "\t" $9}')

#!/usr/bin/env bash
# Packages one effect file for Windows users:
#   bash packaging/windows/package.sh zip       HuewrightGenerator.aex OUTPUT.zip
#   bash packaging/windows/package.sh installer HuewrightGenerator.aex OUTPUT-setup.exe
# The zip holds the effect, LICENSE.txt, INSTALL.txt and CONTROLS.txt (the
# effect's controls, from docs/controls.md), sorted; the NSIS
# installer takes its version from the file's version resource. With
# SOURCE_DATE_EPOCH set, every input carries that time, so the bytes depend
# on the inputs alone.
set -euo pipefail

usage="usage: package.sh zip|installer EFFECT.aex OUTPUT"
kind=${1:?$usage}
aex=${2:?$usage}
output=$(realpath -m "${3:?$usage}")
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/../common.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$aex" "$work/HuewrightGenerator.aex"
windows_text "$here/../../LICENSE" "$work/LICENSE.txt"
case "$kind" in
  zip)
    windows_text "$here/INSTALL.txt" "$work/INSTALL.txt"
    windows_text "$here/../../docs/controls.md" "$work/CONTROLS.txt"
    normalise_tree "$work"
    rm -f "$output"
    # -X: no Unix owners or extra time fields; -D: no folder entries.
    (cd "$work" && find . -type f -printf '%P\n' | LC_ALL=C sort | TZ=UTC zip -q -X -D -9 "$output" -@)
    ;;
  installer)
    normalise_tree "$work"
    makensis -V2 "-DAEX=$work/HuewrightGenerator.aex" "-DLICENSE=$work/LICENSE.txt" "-DOUTFILE=$output" \
      "$here/HuewrightGenerator.nsi" >/dev/null
    ;;
  *) echo "$usage" >&2; exit 2 ;;
esac

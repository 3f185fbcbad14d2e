#!/usr/bin/env bash
# Packages the effect file, and the OpenFX bundle when given, for Windows
# users:
#   bash packaging/windows/package.sh zip       HuewrightGenerator.aex OUTPUT.zip [OFX_BUNDLE]
#   bash packaging/windows/package.sh installer HuewrightGenerator.aex OUTPUT-setup.exe [OFX_BUNDLE]
# The zip holds the effect, LICENSE.txt, INSTALL.txt and CONTROLS.txt (the
# effect's controls, from docs/controls.md), and with a bundle the whole
# HuewrightGenerator.ofx.bundle folder and OPENFX.txt (docs/openfx.md),
# sorted; the NSIS
# installer takes its version from the file's version resource. With
# SOURCE_DATE_EPOCH set, every input carries that time, so the bytes depend
# on the inputs alone.
set -euo pipefail

usage="usage: package.sh zip|installer EFFECT.aex OUTPUT [OFX_BUNDLE]"
kind=${1:?$usage}
aex=${2:?$usage}
output=$(realpath -m "${3:?$usage}")
bundle=${4:-}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/../common.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$aex" "$work/HuewrightGenerator.aex"
windows_text "$here/../../LICENSE" "$work/LICENSE.txt"
ofx_define=()
if [[ -n "$bundle" ]]; then
  [[ -f "$bundle/Contents/Win64/HuewrightGenerator.ofx" ]] || { echo "package: no Win64 binary in $bundle" >&2; exit 1; }
  cp -r "$bundle" "$work/HuewrightGenerator.ofx.bundle"
  ofx_define=("-DOFX_BUNDLE=$work/HuewrightGenerator.ofx.bundle")
fi
case "$kind" in
  zip)
    windows_text "$here/INSTALL.txt" "$work/INSTALL.txt"
    windows_text "$here/../../docs/controls.md" "$work/CONTROLS.txt"
    [[ -z "$bundle" ]] || windows_text "$here/../../docs/openfx.md" "$work/OPENFX.txt"
    normalise_tree "$work"
    rm -f "$output"
    # -X: no Unix owners or extra time fields; -D: no folder entries.
    (cd "$work" && find . -type f -printf '%P\n' | LC_ALL=C sort | TZ=UTC zip -q -X -D -9 "$output" -@)
    ;;
  installer)
    normalise_tree "$work"
    makensis -V2 "-DAEX=$work/HuewrightGenerator.aex" "-DLICENSE=$work/LICENSE.txt" "-DOUTFILE=$output" \
      "${ofx_define[@]}" \
      "$here/HuewrightGenerator.nsi" >/dev/null
    ;;
  *) echo "$usage" >&2; exit 2 ;;
esac

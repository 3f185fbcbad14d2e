#!/usr/bin/env bash
# Builds the release twice from the same trees, in different time zones and
# with different umasks, and checks:
#   - both runs give byte-identical files, and SHA256SUMS verifies them;
#   - the zip holds exactly the effect (as built), LICENSE.txt, INSTALL.txt
#     and CONTROLS.txt (CRLF copies of the sources), each stamped with the
#     release time;
#   - the .deb, unpacked into a scratch root, holds the tool, the effect, the
#     frei0r filter, the manual page, the
#     README, the user guide and the guide to the controls (copies of the
#     sources), owned by root with the release time; groff reads the manual
#     page without a warning, and it lists every command with each of its
#     options and examples; the packaged tool renders the
#     demo photograph there without --plugin, byte for byte as the build
#     tree's tool does;
#   - lintian reports no errors.
#
#   bash packages_test.sh NATIVE_BUILD WINDOWS_BUILD SCRATCH_DIR
set -uo pipefail
export LC_ALL=C

usage="usage: packages_test.sh NATIVE_BUILD WINDOWS_BUILD SCRATCH_DIR"
native=$(realpath "${1:?$usage}")
windows=$(realpath "${2:?$usage}")
scratch=${3:?$usage}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# 2023-11-14 22:13:20 UTC: an even second, as zip's time stamps need.
export SOURCE_DATE_EPOCH=1700000000

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
die() { echo "FAIL: $*" >&2; exit 1; }
pass() { echo "ok: $*"; }

rm -rf "$scratch" && mkdir -p "$scratch" || die "cannot create $scratch"
version=$(<"$windows/entry/version/version.txt") || die "no version text in $windows"
zip=HuewrightGenerator-$version-win64.zip
setup=HuewrightGenerator-$version-win64-setup.exe
deb=huewright_${version}_amd64.deb

(umask 022 && TZ=UTC bash "$root/packaging/release.sh" "$native" "$windows" "$scratch/run1") >/dev/null ||
  die "first release run failed"
(umask 077 && TZ=Pacific/Auckland bash "$root/packaging/release.sh" "$native" "$windows" "$scratch/run2") >/dev/null ||
  die "second release run failed"

# Reproducible.
for file in "$zip" "$setup" "$deb" SHA256SUMS; do
  if cmp -s "$scratch/run1/$file" "$scratch/run2/$file"; then pass "$file identical in both runs"
  else fail "$file differs between two runs"; fi
done
(cd "$scratch/run1" && sha256sum --quiet -c SHA256SUMS) && pass "SHA256SUMS verifies" || fail "SHA256SUMS does not verify"
[[ $(wc -l <"$scratch/run1/SHA256SUMS") -eq 3 ]] || fail "SHA256SUMS does not list exactly three files"
file -b "$scratch/run1/$setup" | grep -q '^PE32+ executable' || fail "$setup is not a 64-bit Windows program"

# The zip.
listing=$(unzip -Z1 "$scratch/run1/$zip")
expected=$'CONTROLS.txt\nHuewrightGenerator.aex\nHuewrightGenerator.ofx.bundle/Contents/Linux-x86-64/HuewrightGenerator.ofx\nHuewrightGenerator.ofx.bundle/Contents/Resources/com.kestrow.HuewrightGenerator.png\nHuewrightGenerator.ofx.bundle/Contents/Win64/HuewrightGenerator.ofx\nINSTALL.txt\nLICENSE.txt\nOPENFX.txt'
[[ "$listing" == "$expected" ]] && pass "zip holds exactly its files, sorted" || fail "zip holds: $listing"
unzip -q "$scratch/run1/$zip" -d "$scratch/zip" || fail "cannot unpack the zip"
cmp -s "$scratch/zip/HuewrightGenerator.aex" "$windows/entry/HuewrightGenerator.aex" || fail "zip's .aex differs from the build"
diff -r "$scratch/zip/HuewrightGenerator.ofx.bundle" "$native/ofx/HuewrightGenerator.ofx.bundle" >/dev/null ||
  fail "zip's OpenFX bundle differs from the build's"
for pair in LICENSE:LICENSE.txt packaging/windows/INSTALL.txt:INSTALL.txt docs/controls.md:CONTROLS.txt \
            docs/openfx.md:OPENFX.txt; do
  cmp -s <(sed 's/$/\r/' "$root/${pair%%:*}") "$scratch/zip/${pair#*:}" || fail "zip's ${pair#*:} is not a CRLF copy of ${pair%%:*}"
done
times=$(unzip -Z -T "$scratch/run1/$zip" | awk '/^-/ {print $7}' | sort -u)
[[ "$times" == "20231114.221320" ]] && pass "zip entries carry the release time" || fail "zip entry times: $times"

# The package.
deb_path=$scratch/run1/$deb
[[ $(dpkg-deb -f "$deb_path" Version) == "$version" ]] || fail "package version is not $version"
dpkg-deb -f "$deb_path" Depends | grep -q 'libopenimageio' || fail "package does not depend on OpenImageIO's library package"
contents=$(dpkg-deb -c "$deb_path")
required=(./usr/bin/huewright ./usr/lib/huewright/HuewrightGenerator.so ./usr/share/man/man1/huewright.1.gz
          ./usr/share/doc/huewright/copyright ./usr/share/doc/huewright/controls.md
          ./usr/share/doc/huewright/README.md ./usr/share/doc/huewright/huewright.md
          ./usr/OFX/Plugins/HuewrightGenerator.ofx.bundle/Contents/Linux-x86-64/HuewrightGenerator.ofx
          ./usr/OFX/Plugins/HuewrightGenerator.ofx.bundle/Contents/Resources/com.kestrow.HuewrightGenerator.png)
for path in "${required[@]}"; do
  grep -q " $path\$" <<<"$contents" || fail "package lacks $path"
done
# Every tree that runs this test builds the frei0r filter.
grep -q ' ./usr/lib/\(.*/\)\?frei0r-1/huewright_generator\.so$' <<<"$contents" ||
  fail "package lacks the frei0r filter that $native builds"
[[ -z "$(awk '$2 != "root/root"' <<<"$contents")" ]] || fail "package entries not owned by root/root"
[[ -z "$(awk '$4" "$5 != "2023-11-14 22:13"' <<<"$contents")" ]] || fail "package entries not stamped with the release time"

dpkg-deb -x "$deb_path" "$scratch/debroot" || die "cannot unpack $deb"
for pair in docs/controls.md:controls.md docs/huewright.md:huewright.md README.md:README.md; do
  cmp -s "$root/${pair%%:*}" "$scratch/debroot/usr/share/doc/huewright/${pair#*:}" ||
    fail "the package's ${pair#*:} is not ${pair%%:*}"
done
# The manual page: clean for groff, and its synopsis is the tool's own usage.
manual=$scratch/debroot/usr/share/man/man1/huewright.1.gz
warnings=$(zcat "$manual" | groff -man -Tutf8 -ww -z 2>&1)
[[ -z "$warnings" ]] || fail "groff warns about the manual page: $warnings"
usage_line=$("$native/tools/huewright" --help 2>&1 | sed -n 's/^[Uu]sage: *//p' | head -1)
# Read whole before searching: grep -q stops at the first match, and the
# writers it leaves behind would fail the pipeline under pipefail.
manual_text=$(zcat "$manual" | groff -man -Tascii 2>/dev/null | col -b)
if [[ -z "$usage_line" ]]; then fail "huewright --help printed no usage line to look for in the manual page"
elif ! grep -qF -- "$usage_line" <<<"$manual_text"; then fail "the manual page lacks the usage line '$usage_line'"; fi
# Every command's usage, options and examples, as its --help prints them.
commands=$("$native/tools/huewright" --help 2>&1 | awk '/^[A-Za-z].*:$/ {in_list = ($0 == "Subcommands:"); next}
                                                        in_list && /^  [a-z]/ {print $1}')
[[ -n "$commands" ]] || fail "huewright --help lists no commands"
for command in $commands; do
  help_text=$("$native/tools/huewright" "$command" --help 2>&1)
  mapfile -t wanted < <(sed -n -e 's/^[Uu]sage: *//p' -e 's/^  \(-[-a-z]\)/\1/p' -e 's/^  \(huewright .*\)/\1/p' <<<"$help_text" |
                        sed 's/  .*//')
  grep -qF -- "huewright $command" <<<"$manual_text" || fail "the manual page lacks the command $command"
  [[ ${#wanted[@]} -gt 1 ]] || fail "huewright $command --help shows no usage and options"
  for line in "${wanted[@]}"; do
    grep -qF -- "$line" <<<"$manual_text" || fail "the manual page lacks '$line' of huewright $command"
  done
done
photo=$root/demo/MtTamNorth.jpg
"$scratch/debroot/usr/bin/huewright" render "$photo" -o "$scratch/from_package.png" >/dev/null ||
  fail "the packaged huewright did not render $photo without --plugin"
"$native/tools/huewright" render "$photo" -o "$scratch/from_build.png" >/dev/null || fail "the build's huewright did not render"
if [[ -s "$scratch/from_package.png" ]] && cmp -s "$scratch/from_package.png" "$scratch/from_build.png"; then
  pass "packaged tool renders the demo photograph with its packaged effect"
else fail "the packaged tool's render differs from the build's"; fi

lintian_out=$(lintian --fail-on error "$deb_path" 2>&1)
status=$?
if [[ $status -eq 0 ]]; then pass "lintian: no errors"; else fail "lintian reported errors:"; echo "$lintian_out" >&2; fi

[[ $failures -eq 0 ]] || die "$failures check(s) failed"
echo "release packages: every check passed"

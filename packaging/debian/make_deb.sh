#!/usr/bin/env bash
# Builds the Debian package of the tools from the native build tree:
#   /usr/bin/huewright                          the command-line tool
#   /usr/lib/huewright/HuewrightGenerator.so    the effect the tool loads by default
#   /usr/lib/frei0r-1/huewright_generator.so    the frei0r filter, when it is built
#   /usr/share/man/man1/huewright.1.gz          from `huewright --help` and each command's
#   /usr/share/doc/huewright/{copyright,changelog.gz,README.md,huewright.md,controls.md}
# Dependencies are the Debian packages of the libraries the binaries link.
#
#   bash packaging/debian/make_deb.sh NATIVE_BUILD VERSION OUTPUT.deb
# SOURCE_DATE_EPOCH must be set (release.sh sets it).
set -euo pipefail

usage="usage: make_deb.sh NATIVE_BUILD VERSION OUTPUT.deb"
native=${1:?$usage}
version=${2:?$usage}
output=${3:?$usage}
: "${SOURCE_DATE_EPOCH:?set SOURCE_DATE_EPOCH (seconds since 1970) for the time stamps in the package}"
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/../common.sh"
maintainer="Kestrow Productions <packages@kestrow.example>"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
stage=$work/root

# Whatever the native tree installs (the tool, the effect, and the frei0r
# filter once it has install rules), stripped of debugging information.
cmake --install "$native" --prefix "$stage/usr" --strip >/dev/null
[[ -x "$stage/usr/bin/huewright" ]] || { echo "make_deb: $native installs no usr/bin/huewright" >&2; exit 1; }
frei0r_filter=$(find "$native/frei0r" -name huewright_generator.so -not -path '*/CMakeFiles/*' -print -quit 2>/dev/null || true)
if [[ -n "$frei0r_filter" ]] && [[ -z "$(find "$stage" -name huewright_generator.so -print -quit)" ]]; then
  install -D -m 0644 "$frei0r_filter" "$stage/usr/lib/frei0r-1/huewright_generator.so"
  strip --strip-unneeded "$stage/usr/lib/frei0r-1/huewright_generator.so"
fi

# The OpenFX bundle comes in as a folder, which the install does not strip.
ofx_binary=$stage/usr/OFX/Plugins/HuewrightGenerator.ofx.bundle/Contents/Linux-x86-64/HuewrightGenerator.ofx
[[ ! -f "$ofx_binary" ]] || strip --strip-unneeded "$ofx_binary"

doc=$stage/usr/share/doc/huewright
mkdir -p "$doc" "$stage/usr/share/man/man1"
install -m 0644 "$here/copyright" "$doc/copyright"
install -m 0644 "$here/../../README.md" "$doc/README.md"
install -m 0644 "$here/../../docs/huewright.md" "$doc/huewright.md"
install -m 0644 "$here/../../docs/controls.md" "$doc/controls.md"
release_date=$(date -u -R -d "@$SOURCE_DATE_EPOCH")
sed -e "s/@VERSION@/$version/g" -e "s/@MAINTAINER@/$maintainer/g" -e "s/@DATE@/$release_date/g" \
  "$here/changelog.in" | gzip -9n >"$doc/changelog.gz"
"$stage/usr/bin/huewright" --help >"$work/help.txt" 2>&1 || true
[[ -s "$work/help.txt" ]] || { echo "make_deb: huewright --help printed nothing" >&2; exit 1; }
# Every command the help lists (the indented first words under "Subcommands:").
mapfile -t commands < <(awk '/^[A-Za-z].*:$/ {in_list = ($0 == "Subcommands:"); next}
                             in_list && /^  [a-z]/ {print $1}' "$work/help.txt")
[[ ${#commands[@]} -gt 0 ]] || { echo "make_deb: huewright --help lists no commands" >&2; exit 1; }
command_helps=()
for command in "${commands[@]}"; do
  "$stage/usr/bin/huewright" "$command" --help >"$work/help_$command.txt" 2>&1 ||
    { echo "make_deb: huewright $command --help failed" >&2; exit 1; }
  command_helps+=("$command=$work/help_$command.txt")
done
python3 "$here/help_to_man.py" "$work/help.txt" "$version" "$SOURCE_DATE_EPOCH" "${command_helps[@]}" |
  gzip -9n >"$stage/usr/share/man/man1/huewright.1.gz"

# dpkg-shlibdeps reads the package's name from a debian/control beside it.
mkdir -p "$work/src/debian" "$stage/DEBIAN"
printf 'Source: huewright\n\nPackage: huewright\nArchitecture: amd64\n' >"$work/src/debian/control"
mapfile -t elf_files < <(find "$stage/usr" -type f \( -path '*/usr/bin/*' -o -name '*.so' \) | sort)
shlibdeps_args=()
for file in "${elf_files[@]}"; do shlibdeps_args+=("-e$file"); done
depends=$(cd "$work/src" && dpkg-shlibdeps -O "${shlibdeps_args[@]}" 2>/dev/null | sed -n 's/^shlibs:Depends=//p')
[[ -n "$depends" ]] || { echo "make_deb: dpkg-shlibdeps found no dependencies" >&2; exit 1; }

installed_size=$(du -k -s --apparent-size "$stage/usr" | cut -f1)
sed -e "s/@VERSION@/$version/" -e "s/@MAINTAINER@/$maintainer/" -e "s/@DEPENDS@/$depends/" \
  -e "s/@INSTALLED_SIZE@/$installed_size/" "$here/control.in" >"$stage/DEBIAN/control"
if [[ -d "$stage/usr/OFX/Plugins/HuewrightGenerator.ofx.bundle" ]]; then
  printf ' .\n It holds the effect as an OpenFX plug-in too, in /usr/OFX/Plugins, for\n Resolve, Nuke and Natron.\n' \
    >>"$stage/DEBIAN/control"
fi
if [[ -n "$(find "$stage" -name huewright_generator.so -print -quit)" ]]; then
  printf ' .\n It also holds the effect as a frei0r filter, for ffmpeg, MLT and GStreamer.\n' \
    >>"$stage/DEBIAN/control"
fi
(cd "$stage" && find usr -type f | sort | xargs md5sum >DEBIAN/md5sums)
normalise_tree "$stage"
chmod 0755 "$stage"/usr/bin/*

# One compressor thread: the compressed bytes then do not depend on the machine.
dpkg-deb --root-owner-group -Zxz --threads-max=1 --build "$stage" "$output" >/dev/null

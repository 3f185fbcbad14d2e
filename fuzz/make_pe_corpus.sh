#!/usr/bin/env bash
# Writes the seeds of pe_fuzzer into fuzz/pe_corpus/ from a built Windows
# tree: small Windows libraries shaped like ours (an effect with the two
# entry points by ordinal, the real property list and version resource; an
# OpenFX binary with its two entry points), the property list alone, and the
# list cut short. The real .aex and Win64 .ofx are a megabyte each, so the
# bounded run takes them from the Windows tree instead (fuzz/CMakeLists.txt).
#
#   bash fuzz/make_pe_corpus.sh WINDOWS_BUILD
set -euo pipefail
windows=$(realpath "${1:?usage: make_pe_corpus.sh WINDOWS_BUILD}")
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
out=$here/pe_corpus
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cc=x86_64-w64-mingw32-gcc
windres=x86_64-w64-mingw32-windres

# small_dll NAME DEF RESOURCES...: a library of stubs with no C runtime.
small_dll() {
  local name=$1 def=$2
  shift 2
  cat >"$work/stubs.c" <<'C'
int EffectMain(void) { return 0; }
int PluginDataEntryFunction(void) { return 0; }
int OfxGetNumberOfPlugins(void) { return 1; }
void* OfxGetPlugin(int index) { (void)index; return 0; }
C
  local objects=()
  for rc in "$@"; do
    "$windres" -i "$rc" -o "$work/$(basename "$rc").o"
    objects+=("$work/$(basename "$rc").o")
  done
  "$cc" -shared -nostdlib -s -Os -Wl,--no-insert-timestamp -o "$out/$name" "$work/stubs.c" "$def" "${objects[@]}"
}

printf 'EXPORTS\n  EffectMain @1\n  PluginDataEntryFunction @2\n' >"$work/effect.def"
printf 'EXPORTS\n  OfxGetNumberOfPlugins\n  OfxGetPlugin\n' >"$work/ofx.def"
small_dll small_effect.aex "$work/effect.def" "$windows/entry/pipl/pipl_resource.rc" "$windows/entry/version/version_resource.rc"
small_dll small_plugin.ofx "$work/ofx.def"
cp "$windows/entry/pipl/pipl.bin" "$out/pipl_list.bin"
head -c 40 "$windows/entry/pipl/pipl.bin" >"$out/pipl_list_cut.bin"
ls -l "$out"

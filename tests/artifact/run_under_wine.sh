#!/usr/bin/env bash
# Runs the Windows conformance tests under wine against the Windows effect
# file. Passes only when the program exits 0 and GoogleTest reports a pass of
# at least one test with no failures; a missing program or effect fails.
set -uo pipefail

usage="usage: run_under_wine.sh TEST_EXE EFFECT_AEX WINEPREFIX_DIR [OFX_BUNDLE]"
exe=${1:?$usage}
effect=${2:?$usage}
prefix=${3:?$usage}
# The OpenFX tests also load the plug-in bundle (its Win64 binary).
bundle=${4:-}
loader=/usr/lib/wine/wine64
limit_seconds=${HUEWRIGHT_WINE_TIMEOUT:-300}

fail() { echo "FAIL: $*" >&2; exit 1; }
[[ -x "$loader" ]] || fail "no wine loader at $loader (Debian package wine64)"
[[ -f "$exe" ]] || fail "no test program at $exe: build it in the Windows tree"
[[ -f "$effect" ]] || fail "no effect file at $effect: build the Windows tree"

mkdir -p "$prefix" || fail "cannot create $prefix"
export WINEPREFIX=$(realpath "$prefix")
export WINEDEBUG=-all
# No Mono or Gecko installer dialogs while the prefix is first created.
export WINEDLLOVERRIDES="mscoree=;mshtml="
effect_abs=$(realpath "$effect")
export HUEWRIGHT_EFFECT="Z:${effect_abs//\//\\}"
if [[ -n "$bundle" ]]; then
  [[ -f "$bundle/Contents/Win64/HuewrightGenerator.ofx" ]] || fail "no Windows binary in the bundle $bundle"
  bundle_abs=$(realpath "$bundle")
  export HUEWRIGHT_OFX_BUNDLE="Z:${bundle_abs//\//\\}"
fi

log=$(mktemp)
trap 'rm -f "$log"' EXIT
# The first run creates the prefix (about 20 s).
timeout --kill-after=10 "$limit_seconds" "$loader" "$exe" --gtest_color=no >"$log" 2>&1
status=$?
cat "$log"

[[ $status -ne 124 && $status -ne 137 ]] || fail "timed out after ${limit_seconds} s"
[[ $status -eq 0 ]] || fail "$(basename "$exe") exited with $status"
grep -Eq '^\[  PASSED  \] [1-9][0-9]* tests?\.' "$log" || fail "no GoogleTest pass summary with at least one test"
! grep -q '^\[  FAILED  \]' "$log" || fail "GoogleTest reported failures"
echo "wine run of $(basename "$exe") passed (HUEWRIGHT_EFFECT=$HUEWRIGHT_EFFECT${bundle:+ HUEWRIGHT_OFX_BUNDLE=$HUEWRIGHT_OFX_BUNDLE})"

#!/usr/bin/env bash
# Runs the Windows installer and its uninstaller under wine, in a fresh prefix
# made here, the way a user or a deployment script would (silent mode /S):
#   1. no host registry keys: the effect lands in the fixed MediaCore folder,
#      the uninstall entry carries the version; the uninstaller, started from
#      that entry, removes the file, the Kestrow folder and the entry only;
#   2. CommonPluginInstallPath values of several host versions: the newest
#      one's folder is used; a file of another Kestrow product there survives
#      the uninstall, and so does the folder holding it;
#   3. /D= target: installing elsewhere removes the earlier copy; an older
#      release is upgraded in place; while a stand-in host holds the effect
#      loaded, the installer exits 4 and leaves it; the older release run
#      again over the newer one, in its folder or another, refuses (non-zero
#      exit) and changes nothing.
#
#   bash installer_test.sh EFFECT.aex VERSION_TXT SCRATCH_DIR
set -uo pipefail
export LC_ALL=C

usage="usage: installer_test.sh EFFECT.aex VERSION_TXT SCRATCH_DIR OFX_BUNDLE"
aex=$(realpath "${1:?$usage}")
version=$(<"${2:?$usage}")
scratch=${3:?$usage}
bundle=$(realpath "${4:?$usage}")
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
packaging=$here/../../packaging
loader=/usr/lib/wine/wine64
server=/usr/lib/wine/wineserver

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
die() { echo "FAIL: $*" >&2; exit 1; }
pass() { echo "ok: $*"; }
[[ -x "$loader" ]] || die "no wine loader at $loader (Debian package wine64)"

rm -rf "$scratch" && mkdir -p "$scratch" || die "cannot create $scratch"
scratch=$(realpath "$scratch")
export WINEPREFIX=$scratch/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
trap '"$server" -k 2>/dev/null' EXIT
wine() { timeout --kill-after=5 "${WINE_CALL_SECONDS:-90}" "$loader" "$@"; }

# The release under test, and an older one: the same effect with version
# 0.9.0.1 in its version resource.
bash "$packaging/windows/package.sh" installer "$aex" "$scratch/setup.exe" "$bundle" ||
  die "building the installer failed"
cp "$aex" "$scratch/old.aex"
/usr/bin/python3 - "$scratch/old.aex" <<'EOF' || die "cannot make the older effect file"
import struct, sys
path = sys.argv[1]
data = bytearray(open(path, "rb").read())
at = data.find(struct.pack("<I", 0xFEEF04BD))
assert at > 0, "no fixed version record"
# File and product version 0.9.0.1 (most significant words first).
struct.pack_into("<IIII", data, at + 8, 9, 1, 9, 1)
open(path, "wb").write(data)
EOF
bash "$packaging/windows/package.sh" installer "$scratch/old.aex" "$scratch/old-setup.exe" || die "building the older installer failed"
x86_64-w64-mingw32-gcc-posix -municode -O1 -Wall -Wextra -Werror -o "$scratch/hold_library.exe" "$here/hold_library.c" ||
  die "cannot build the stand-in host"

wine wineboot -i >/dev/null 2>&1 || die "wineboot failed to create $WINEPREFIX"
"$server" -p  # one server for every call below
drive=$WINEPREFIX/drive_c
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\KestrowHuewrightGenerator'
fallback="Program Files/Common Files/Adobe/Common/Plug-ins/7.0/MediaCore"

# What an install may change on drive C:, leaving out wine's own files and
# the temporary folders the installer and the uninstaller run from.
snapshot() { (cd "$drive" && find . -not -path './windows/*' -not -path '*/Temp/*' -not -path '*/Temp' | sort); }

registry_value() {  # name -> value of the uninstall entry, or nothing
  wine reg query "$uninstall_key" /v "$1" 2>/dev/null | tr -d '\r' |
    sed -n "s/^ *$1 *REG_[A-Z_]* *//p"
}

install() {  # installer, arguments... -> exit status
  local setup=$1
  shift
  wine "$setup" /S "$@" >/dev/null 2>&1
}

# Runs the uninstall entry's command silently and waits for the uninstaller
# (it copies itself away and finishes after its own process has exited).
uninstall() {
  local command folder
  command=$(registry_value UninstallString)
  [[ "$command" == \"*\" ]] || { fail "uninstall entry has no quoted UninstallString ($command)"; return; }
  command=${command//\"/}
  wine "$command" /S >/dev/null 2>&1 || fail "uninstaller exited with $?"
  folder=$(wine winepath -u "${command%\\*}" 2>/dev/null | tr -d '\r')
  for _ in $(seq 1 60); do
    [[ -e "$folder/Uninstall Huewright Generator.exe" ]] || break
    sleep 0.5
  done
  for _ in 1 2 3 4 5; do
    wine reg query "$uninstall_key" >/dev/null 2>&1 || return 0
    sleep 1
  done
  fail "uninstall entry still present after uninstalling"
}

expect_effect() {  # folder under C:, expected file, what
  if cmp -s "$2" "$drive/$1/HuewrightGenerator.aex"; then pass "$3"; else fail "$3: C:/$1/HuewrightGenerator.aex is missing or differs"; fi
}

expect_entry_version() {
  local got
  got=$(registry_value DisplayVersion)
  if [[ "$got" == "$1" ]]; then pass "uninstall entry version $1"; else fail "uninstall entry version is '$got', expected '$1'"; fi
}

# 1. Fixed folder.
before=$(snapshot)
install "$scratch/setup.exe" || fail "silent install exited with $?"
expect_effect "$fallback/Kestrow" "$aex" "no host keys: effect in the fixed MediaCore folder"
expect_entry_version "$version"
ofx_installed=$drive/"Program Files/Common Files/OFX/Plugins/HuewrightGenerator.ofx.bundle/Contents"
if cmp -s "$bundle/Contents/Win64/HuewrightGenerator.ofx" "$ofx_installed/Win64/HuewrightGenerator.ofx" &&
   cmp -s "$bundle/Contents/Resources/com.kestrow.HuewrightGenerator.png" \
     "$ofx_installed/Resources/com.kestrow.HuewrightGenerator.png"; then
  pass "OpenFX bundle in Common Files/OFX/Plugins"
else fail "the OpenFX bundle is missing from C:/Program Files/Common Files/OFX/Plugins or differs"; fi
[[ $(registry_value Publisher) == "Kestrow Productions" ]] || fail "uninstall entry has no publisher"
[[ $(registry_value DisplayName) == "Huewright Generator" ]] || fail "uninstall entry has no display name"
uninstall
# The folders above Kestrow belong to the hosts and stay; nothing else may
# differ from before the install.
left=$(comm -13 <(echo "$before") <(snapshot))
removed=$(comm -23 <(echo "$before") <(snapshot))
expected_left=$(p=.; IFS=/; for part in $fallback; do p="$p/$part"; echo "$p"; done | comm -13 <(echo "$before") -)
[[ -z "$removed" ]] || fail "the uninstall removed what it did not install: $removed"
if [[ "$left" == "$expected_left" ]]; then pass "uninstall removed the files, the Kestrow and OpenFX folders and the entry"
else fail "left behind after uninstalling: $(comm -13 <(echo "$expected_left") <(echo "$left"))"; fi

# 2. Folder from the registry: the newest host version wins.
cat >"$scratch/hosts.reg" <<'EOF'
Windows Registry Editor Version 5.00

[HKEY_LOCAL_MACHINE\SOFTWARE\Adobe\After Effects\23.0]
"CommonPluginInstallPath"="C:\\Hosts\\AE23\\MediaCore"

[HKEY_LOCAL_MACHINE\SOFTWARE\Adobe\After Effects\24.0]
"CommonPluginInstallPath"="C:\\Hosts\\AE24\\MediaCore"

[HKEY_LOCAL_MACHINE\SOFTWARE\Adobe\Premiere Pro\9.0]
"CommonPluginInstallPath"="C:\\Hosts\\PPro9\\MediaCore"

[HKEY_LOCAL_MACHINE\SOFTWARE\Adobe\After Effects\25.0]
EOF
wine regedit /S "$(wine winepath -w "$scratch/hosts.reg" 2>/dev/null | tr -d '\r')" >/dev/null 2>&1 || fail "regedit failed"
mkdir -p "$drive/Hosts/AE24/MediaCore/Kestrow"
echo "another product" >"$drive/Hosts/AE24/MediaCore/Kestrow/Other.aex"
before=$(snapshot)
install "$scratch/setup.exe" || fail "silent install with host keys exited with $?"
expect_effect "Hosts/AE24/MediaCore/Kestrow" "$aex" "CommonPluginInstallPath of the newest host version honoured"
[[ ! -e "$drive/$fallback/Kestrow" && ! -e "$drive/Hosts/AE23" ]] || fail "installed into another folder as well"
uninstall
if [[ "$(snapshot)" == "$before" ]]; then pass "uninstall left the other product's file and its folder"
else fail "uninstall changed: $(diff <(echo "$before") <(snapshot) | grep '^[<>]' | tr '\n' ' ')"; fi

# 3. Upgrades and downgrades. The older release goes into the registry's
# folder, then again into a folder given with /D=, which moves it there.
custom='C:\Custom\Kestrow'
install "$scratch/old-setup.exe" || fail "installing the older release exited with $?"
expect_entry_version 0.9.0
install "$scratch/old-setup.exe" "/D=$custom" || fail "installing the older release with /D= exited with $?"
expect_effect "Custom/Kestrow" "$scratch/old.aex" "/D= target honoured"
if [[ ! -e "$drive/Hosts/AE24/MediaCore/Kestrow/HuewrightGenerator.aex" && -e "$drive/Hosts/AE24/MediaCore/Kestrow/Other.aex" ]]
then pass "installing into another folder removes the copy in the old one only"
else fail "the copy in the earlier folder is still there, or the other product's file went"; fi
install "$scratch/setup.exe" "/D=$custom" || fail "upgrading exited with $?"
expect_effect "Custom/Kestrow" "$aex" "upgrade over the older release"
expect_entry_version "$version"

# A running host holds the effect loaded: the installer leaves it alone.
timeout --kill-after=5 60 "$loader" "$scratch/hold_library.exe" "$custom\HuewrightGenerator.aex" 30 \
  >"$scratch/hold.log" 2>&1 &
holder=$!
for _ in $(seq 1 60); do grep -q loaded "$scratch/hold.log" && break; sleep 0.5; done
grep -q loaded "$scratch/hold.log" || fail "the stand-in host did not load the effect: $(cat "$scratch/hold.log")"
install "$scratch/setup.exe" "/D=$custom"
status=$?
[[ $status -eq 4 ]] && pass "installer exits 4 while a host holds the effect" ||
  fail "installer over an effect held by a host exited with $status"
expect_effect "Custom/Kestrow" "$aex" "held effect file untouched"
kill "$holder" 2>/dev/null
wait "$holder" 2>/dev/null
for target in "/D=$custom" ""; do
  install "$scratch/old-setup.exe" ${target:+"$target"}
  status=$?
  where=${target:-the folder from the registry}
  if [[ $status -ne 0 && $status -ne 124 && $status -ne 137 ]]; then
    pass "older release refuses to replace the newer one ($where, exit $status)"
  else fail "older release over the newer one ($where) exited with $status"; fi
done
expect_effect "Custom/Kestrow" "$aex" "newer file kept after the refused downgrades"
[[ ! -e "$drive/Hosts/AE24/MediaCore/Kestrow/HuewrightGenerator.aex" ]] || fail "a refused downgrade installed a file"
expect_entry_version "$version"
uninstall
[[ ! -e "$drive/Custom/Kestrow" ]] || fail "uninstall left C:/Custom/Kestrow"

[[ $failures -eq 0 ]] || die "$failures check(s) failed; the prefix stays for a look: $WINEPREFIX"
# The prefix is some 600 MB; the next run makes a fresh one anyway.
"$server" -k 2>/dev/null
rm -rf "$WINEPREFIX"
echo "installer under wine: every check passed"

#!/usr/bin/env bash
# The native effect library must export exactly the two entry points a host
# looks up; anything else leaking out (C++ runtime templates, helpers) fails.
set -euo pipefail

library=${1:?usage: check_native_exports.sh LIBRARY}
[[ -f "$library" ]] || { echo "FAIL: no library at $library" >&2; exit 1; }

expected=$'EffectMain\nPluginDataEntryFunction'
actual=$(nm -D --defined-only "$library" | awk '{print $NF}' | LC_ALL=C sort)

if [[ "$actual" != "$expected" ]]; then
  echo "FAIL: $library exports:" >&2
  echo "$actual" >&2
  echo "expected exactly:" >&2
  echo "$expected" >&2
  exit 1
fi
echo "exports: $(echo "$actual" | tr '\n' ' ')"

#!/usr/bin/env bash
# Shows what the effect registers, through minihost.
set -euo pipefail
build=${1:-build}
"$build/tools/huewright" info --plugin "$build/entry/HuewrightGenerator.so"

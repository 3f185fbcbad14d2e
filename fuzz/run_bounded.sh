#!/bin/bash
# Runs the fuzzer for a bounded time on a scratch copy of the seed corpus.
# Usage: run_bounded.sh FUZZER CORPUS_DIR SECONDS [EXTRA_SEED...]
set -euo pipefail
fuzzer=$1 corpus=$2 seconds=$3
shift 3
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cp "$corpus"/* "$scratch"/
(($# == 0)) || cp "$@" "$scratch"/
# One seed unless FUZZ_SEED says otherwise, so that a failing run can be run
# again as it was. A crashing input is kept in the working directory (the
# test's, under the build tree), where its log says, to be replayed or added
# to the regressions.
"$fuzzer" -seed="${FUZZ_SEED:-1}" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 -print_final_stats=1 \
  -artifact_prefix="$PWD/" "$scratch"

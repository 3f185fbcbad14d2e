# The real-host tests of the build tree's filter: the shared frames and
# renders (host_frames.sh), with the hosts pointed at the filter's folder.
# Sourced; expects FREI0R_PATH (the folder holding huewright_generator.so).
set -euo pipefail
: "${FREI0R_PATH:?names the folder of huewright_generator.so}"
[[ -f "$FREI0R_PATH/huewright_generator.so" ]] || { echo "FAIL: no huewright_generator.so in $FREI0R_PATH" >&2; exit 1; }
export FREI0R_PATH
source "$(dirname "${BASH_SOURCE[0]}")/host_frames.sh"

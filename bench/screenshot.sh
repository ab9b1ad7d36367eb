#!/usr/bin/env bash
# The whole `Q47 --screenshot` process without a display, RUNS times each (default 15): at
# scale 1 and 3, and at scale 1 with a sample route set. Prints the median wall time of each.
#   bench/screenshot.sh BUILD_DIR
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BIN="${1:?build directory}/src/app/Q47"
RUNS=${RUNS:-15}
OUT=$(mktemp -d)
trap 'rm -rf "$OUT"' EXIT
export QT_QPA_PLATFORM=offscreen
measure() {
    local label=$1; shift
    local times=()
    for _ in $(seq "$RUNS"); do
        local start end
        start=$(date +%s%N)
        "$BIN" "$@" --screenshot "$OUT/shot.png" 2>/dev/null
        end=$(date +%s%N)
        times+=($(( (end - start) / 1000 )))
    done
    printf '%s\n' "${times[@]}" | sort -n |
        awk -v label="$label" '{ v[NR] = $1 } END { printf "%-28s median %6.1f ms\n", label, v[int((NR + 1) / 2)] / 1000 }'
}
measure "screenshot, scale 1" --scale 1
measure "screenshot, scale 3" --scale 3
measure "screenshot, route 1, scale 1" --data "$ROOT/samples/data" --route 1 --scale 1

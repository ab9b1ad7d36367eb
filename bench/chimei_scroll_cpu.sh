#!/usr/bin/env bash
# Measures the program's CPU while a twenty-cell place name scrolls for ten seconds under
# Xvfb, and saves a screenshot of the board in the middle of it.
#   bench/chimei_scroll_cpu.sh BUILD_DIR [seconds] [speed] [wait-ms] [name]
set -euo pipefail
BUILD=${1:?build directory}
shift
BIN="$BUILD/bench/chimei_scroll_cpu"
SHOT=${CHIMEI_SHOT:-/tmp/chimei_scroll.png}
SECONDS_ARG=${1:-10}
export BIN SHOT SECONDS_ARG
xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
    "$BIN" "$@" &
    pid=$!
    sleep $(( ${SECONDS_ARG%.*} / 2 + 1 ))
    import -window root "$SHOT" || true
    wait $pid
' bash "$@"
echo "screenshot: $SHOT"

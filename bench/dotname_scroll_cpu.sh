#!/usr/bin/env bash
# Measures the program's CPU while a twenty-cell place name scrolls under Xvfb, RUNS times
# (default 5), prints every run and the median, and saves a screenshot of the board in the
# middle of the first run. One run is noisy on a shared machine; the median is the figure.
#   bench/dotname_scroll_cpu.sh BUILD_DIR [seconds] [speed] [wait-ms] [name]
set -euo pipefail
BUILD=${1:?build directory}
shift
BIN="$BUILD/bench/dotname_scroll_cpu"
SHOT=${DOTNAME_SHOT:-/tmp/dotname_scroll.png}
SECONDS_ARG=${1:-10}
RUNS=${RUNS:-5}
LOG=$(mktemp)
export BIN SHOT SECONDS_ARG RUNS
xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
    for run in $(seq "$RUNS"); do
        "$BIN" "$@" &
        pid=$!
        if [ "$run" = 1 ]; then
            sleep $(( ${SECONDS_ARG%.*} / 2 + 1 ))
            import -window root "$SHOT" || true
        fi
        wait $pid
    done
' bash "$@" 2>/dev/null | tee "$LOG"
echo "screenshot: $SHOT"
grep -o '= [0-9.]*%' "$LOG" | tr -d '=% ' | sort -n |
    awk '{ v[NR] = $1 } END { if (NR) printf "median of %d runs: %.2f%% of one core\n", NR, v[int((NR + 1) / 2)] }'
rm -f "$LOG"

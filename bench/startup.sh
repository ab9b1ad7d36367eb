#!/usr/bin/env bash
# Start-up as the user sees it: the real program, from its launch to its board window mapped by
# the X server, against a bare Qt window, RUNS times each (default 25), interleaved so that all
# see the same machine: a bare window, the LED board (--board led), the LCD board (--board lcd).
# Prints the median of each, the ratios to the bare window, and the shared libraries each
# process had loaded when its window was mapped (read from /proc/PID/maps).
#   bench/startup.sh BUILD_DIR [PROGRAM]
# PROGRAM is BUILD_DIR/src/app/Q47 unless given. Runs on $DISPLAY when it is set (a bare X
# server: with a window manager the frame, not the window, is mapped on the root), else under
# its own Xvfb.
set -euo pipefail
BUILD="$(cd "${1:?build directory}" && pwd)"
export WATCH="$BUILD/bench/startup_watch"
export BARE="$BUILD/bench/startup_bare"
export PROGRAM="${2:-$BUILD/src/app/Q47}"
export RUNS=${RUNS:-25}
# A fresh settings folder and no state file: each run starts as a first start does.
HOME_DIR=$(mktemp -d)
trap 'rm -rf "$HOME_DIR"' EXIT
export XDG_CONFIG_HOME="$HOME_DIR" Q47_AUDIO_SINK="fakesink sync=true"

runs() {
    for _ in $(seq "$RUNS"); do
        echo "bare $("$WATCH" "$BARE")"
        echo "led $("$WATCH" "$PROGRAM" --board led)"
        echo "lcd $("$WATCH" "$PROGRAM" --board lcd)"
    done
}
export -f runs

if [ -n "${DISPLAY:-}" ]; then
    runs
else
    xvfb-run -a -s "-screen 0 1920x1080x24" bash -c runs
fi 2>/dev/null | awk '
    { t[$1] = t[$1] " " $2; l[$1] = $3 }
    function median(list,   a, n, i, j, x) {
        n = split(list, a, " ")
        for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++) if (a[j] + 0 < a[i] + 0) { x = a[i]; a[i] = a[j]; a[j] = x }
        return n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2
    }
    END {
        split("bare led lcd", order, " ")
        for (i = 1; i <= 3; i++) {
            k = order[i]
            printf "%-5s window mapped: median %6.1f ms, %3d shared libraries loaded\n", k, median(t[k]), l[k]
        }
        printf "ratio to the bare window: LED board %.2f, LCD board %.2f\n",
               median(t["led"]) / median(t["bare"]), median(t["lcd"]) / median(t["bare"])
    }'

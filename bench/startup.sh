#!/usr/bin/env bash
# Start-up under Xvfb, RUNS times each (default 25), the program and a bare Qt window
# interleaved so that both see the same machine: the median time from launch to the first
# paint, their ratio, and the first "設定..." from click to the options dialog painted.
#   bench/startup.sh BUILD_DIR
set -euo pipefail
BIN="${1:?build directory}/bench/startup"
BARE="${1}/bench/startup_bare"
RUNS=${RUNS:-25}
export BIN BARE RUNS
xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
    for run in $(seq "$RUNS"); do
        Q47_LAUNCH_NS=$(date +%s%N) "$BARE"
        Q47_LAUNCH_NS=$(date +%s%N) "$BIN" board
    done
' 2>/dev/null | awk -F': ' '
    { sub(/ ms$/, "", $2); v[$1] = v[$1] " " $2 }
    function median(list,   a, n, i, j, t) {
        n = split(list, a, " ")
        for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++) if (a[j] < a[i]) { t = a[i]; a[i] = a[j]; a[j] = t }
        return n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2
    }
    END {
        for (k in v) printf "%-32s median %7.1f ms  (%s )\n", k, median(v[k]), v[k]
        printf "start-up ratio, board / bare window: %.2f\n", median(v["board painted"]) / median(v["bare window painted"])
    }'

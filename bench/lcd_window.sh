#!/usr/bin/env bash
# The LCD board window under Xvfb at 1920 x 1080: idle CPU and stop steps repainted.
#   bench/lcd_window.sh BUILD_DIR [seconds] [page-seconds]
set -euo pipefail
BUILD=${1:?build directory}
shift
XDG_CONFIG_HOME=$(mktemp -d)
export XDG_CONFIG_HOME
trap 'rm -rf "$XDG_CONFIG_HOME"' EXIT
xvfb-run -a -s "-screen 0 1920x1080x24" "$BUILD/bench/lcd_window" "$@" 2>/dev/null

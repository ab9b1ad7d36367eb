#!/usr/bin/env bash
# Boards over MQTT on loopback, with the real program as the followers, under Xvfb:
# step to board latency for 1 and 20 followers, and a follower's memory.
#   bench/remote_boards.sh BUILD_DIR [count] [steps]
set -euo pipefail
BUILD=${1:?build directory}
shift
XDG_CONFIG_HOME=$(mktemp -d)
export XDG_CONFIG_HOME
trap 'rm -rf "$XDG_CONFIG_HOME"' EXIT
xvfb-run -a -s "-screen 0 1920x1080x24" "$BUILD/bench/remote_boards" "$BUILD/src/app/Q47" "$@" \
    2>/dev/null

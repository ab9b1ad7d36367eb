#!/usr/bin/env bash
# The LCD board with names files of 16 MiB: the first step and the whole process's peak
# memory, against none and against the names read into a hash.
#   bench/lcd_names.sh BUILD_DIR [MiB]
set -euo pipefail
BUILD=${1:?build directory}
MIB=${2:-16}
XDG_CONFIG_HOME=$(mktemp -d)
export XDG_CONFIG_HOME
trap 'rm -rf "$XDG_CONFIG_HOME"' EXIT
"$BUILD/bench/lcd_names" 0 2>/dev/null
"$BUILD/bench/lcd_names" "$MIB" 2>/dev/null
"$BUILD/bench/lcd_names" "$MIB" hash 2>/dev/null

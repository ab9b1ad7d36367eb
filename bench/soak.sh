#!/usr/bin/env bash
# Runs the soak driver on the real program under Xvfb, sounds played into a clocked fake sink.
#   bench/soak.sh BUILD_DIR [minutes] [step sound] [route sound]
set -euo pipefail
BUILD=${1:?build directory}
Q47_AUDIO_SINK="fakesink sync=true" xvfb-run -a -s "-screen 0 1280x800x24" \
    "$BUILD/bench/soak" "${@:2}" 2>/dev/null

#!/usr/bin/env bash
# The whole program's resident memory idle and after a key sound, and the sound's delay to the
# sink, each sound in a fresh process under Xvfb (or on $DISPLAY when set), into a clocked fake
# sink. Default: the sample chime as MIDI, then as WAV.
#   bench/sound_memory.sh BUILD_DIR [sound file...]
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BIN="${1:?build directory}/bench/sound_memory"
shift
SOUNDS=("$@")
[ ${#SOUNDS[@]} -gt 0 ] || SOUNDS=("$ROOT/samples/sound/chime1.mid" "$ROOT/samples/sound/chime1.wav")
export Q47_AUDIO_SINK="fakesink sync=true"
for sound in "${SOUNDS[@]}"; do
    echo "== $(basename "$sound")"
    if [ -n "${DISPLAY:-}" ]; then
        "$BIN" "$sound" 2>/dev/null
    else
        xvfb-run -a -s "-screen 0 1280x800x24" "$BIN" "$sound" 2>/dev/null
    fi
done

#!/usr/bin/env bash
# The recording as the user makes it: the real program records sample route 2 (its timetable,
# 15 stops, 30 min 10 s) at 1920 x 1080, 30 fps, once per board, SPEED times real time (default
# 10), and its sound against its picture is measured. Prints for each board the seconds of video
# made per second of work ("x real time", wall clock, start-up included) and the whole process's
# peak resident memory, then recording_sync's gaps between each step's frame and its sound.
#   bench/record.sh BUILD_DIR [SPEED]
set -euo pipefail
BUILD="$(cd "${1:?build directory}" && pwd)"
SPEED="${2:-10}"
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A copy of the program of its own: its state file is this run's, no sounds chosen but the
# list's chimes and words.
cp "$BUILD/src/app/Q47" "$work/Q47"
export XDG_CONFIG_HOME="$work" QT_QPA_PLATFORM=offscreen
for board in lcd led; do
    video="$work/ride-$board.mp4"
    /usr/bin/time -f "%e %M" -o "$work/time" "$work/Q47" --data "$ROOT/samples/data" \
        --sound "$ROOT/samples/data" --route 2 --board "$board" --speed "$SPEED" \
        --size 1920x1080 --fps 30 --record "$video" 2> "$work/err"
    read -r wall rss < "$work/time"
    # The video's length, as the last progress line gives it ("(M:SS of M:SS)").
    length=$(tr '\r' '\n' < "$work/err" | grep -o 'of [0-9:]*' | tail -1 | cut -d' ' -f2)
    seconds=$(awk -F: '{ s = 0; for (i = 1; i <= NF; ++i) s = s * 60 + $i; print s }' <<< "$length")
    awk -v b="$board" -v v="$seconds" -v w="$wall" -v m="$rss" \
        'BEGIN { printf "%s: %d s of video in %.1f s: %.1fx real time, peak %.0f MiB\n", b, v, w, v / w, m / 1024 }'
    "$BUILD/bench/recording_sync" "$video" 1920 1080 30 | tail -1
done

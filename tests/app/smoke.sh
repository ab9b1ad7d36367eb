#!/usr/bin/env bash
# Starts the real program under Xvfb, takes a screenshot and checks a few pixels of the board
# and of the control panel.
set -euo pipefail
app="$1"
shot="${2:-$(mktemp --suffix=.png)}"
xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
    "$1" & pid=$!
    sleep 4
    import -window root "$2"
    kill "$pid"
    wait "$pid" || true
' _ "$app" "$shot"

pixel() { convert "$shot" -format "%[pixel:p{$1,$2}]" info:; }
fail=0
expect() { # x y expected what
    local got
    got=$(pixel "$1" "$2")
    if [ "$got" != "$3" ]; then
        echo "FAIL $4 at ($1,$2): expected $3, got $got"
        fail=1
    else
        echo "ok   $4 at ($1,$2): $got"
    fi
}
expect 0 0 "srgb(0,0,0)" "outside the rounded corner"
expect 3 120 "srgb(238,230,204)" "cream rim"
expect 50 120 "srgb(128,128,128)" "place-name column"
expect 129 47 "srgb(128,128,128)" "background of cell 1"
expect 638 202 "srgb(128,128,128)" "background of cell 50"
expect 100 30 "srgb(10,10,10)" "black face"
expect 1275 795 "srgb(239,239,239)" "control panel at the bottom-right"
expect 935 727 "srgb(0,0,0)" "black entry pane of the control panel"
expect 900 400 "srgb(0,0,0)" "empty screen between the windows"
exit $fail

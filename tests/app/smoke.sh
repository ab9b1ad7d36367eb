#!/usr/bin/env bash
# Starts the real program under Xvfb, waits until the screen shows the board and the control
# panel, and checks a few pixels of both. The program runs from a folder of its own, so that
# its state file is this test's, as are its user settings (XDG_CONFIG_HOME, set by ctest).
set -euo pipefail
app="$1"
shot="${2:-$(mktemp --suffix=.png)}"
if [ "${SMOKE_DISPLAY_UP:-}" != 1 ]; then
    home=$(mktemp -d)
    trap 'rm -rf "$home"' EXIT
    cp "$app" "$home/Q47"
fi

# "x y expected what" per line.
checks="0 0 srgb(0,0,0) outside-the-rounded-corner
3 120 srgb(238,230,204) cream-rim
50 120 srgb(128,128,128) place-name-column
129 47 srgb(128,128,128) background-of-cell-1
638 202 srgb(128,128,128) background-of-cell-50
100 30 srgb(10,10,10) black-face
1275 795 srgb(239,239,239) control-panel-at-the-bottom-right
935 727 srgb(0,0,0) black-entry-pane-of-the-control-panel
900 400 srgb(0,0,0) empty-screen-between-the-windows"

# Prints one line per check, "ok" or "FAIL", from a screenshot; fails when any failed.
verify() {
    local fail=0 x y want what got
    while read -r x y want what; do
        got=$(convert "$1" -format "%[pixel:p{$x,$y}]" info:)
        if [ "$got" = "$want" ]; then
            echo "ok   $what at ($x,$y): $got"
        else
            echo "FAIL $what at ($x,$y): expected $want, got $got"
            fail=1
        fi
    done <<<"$checks"
    return $fail
}
if [ "${SMOKE_DISPLAY_UP:-}" = 1 ]; then
    # Here on the X server: polls the screen until every check holds, for up to 20 seconds.
    "$app" & pid=$!
    status=1
    for _ in $(seq 80); do
        sleep 0.25
        import -window root "$shot" 2>/dev/null || continue
        if verify "$shot" >/dev/null; then status=0; break; fi
    done
    verify "$shot" || true
    kill "$pid"
    wait "$pid" || true
    exit $status
fi
SMOKE_DISPLAY_UP=1 xvfb-run -a -s "-screen 0 1280x800x24" bash "$0" "$home/Q47" "$shot"

#!/usr/bin/env bash
# Runs a command on the current X display with openbox managing its windows, as a user's
# desktop would.
openbox --sm-disable >/dev/null 2>&1 &
wm=$!
for _ in $(seq 150); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.1
done
Q47_EXPECT_WM=1 "$@"
status=$?
kill "$wm" 2>/dev/null
wait "$wm" 2>/dev/null
exit $status

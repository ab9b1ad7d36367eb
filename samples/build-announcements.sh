#!/usr/bin/env bash
# Rebuilds the sample announcement lists from their spreadsheet sources with the list tool, and
# puts the reading dictionary beside them: samples/data is the sound folder the program starts in.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
tool="${1:-$here/../build/release/tools/tapetool/tapetool}"
cp "$here/announcements/readings.csv" "$here/data/readings.csv"
for csv in "$here"/announcements/*tp.csv; do
    list="$here/data/$(basename "$csv")"
    "$tool" to-tp "$csv" "$list"
    "$tool" check "$list"
done

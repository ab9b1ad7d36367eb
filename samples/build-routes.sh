#!/usr/bin/env bash
# Rebuilds the sample route data files from their CSV sources with the route tool. Route 2's
# side file (data/2.route.json) and the names file (data/names.csv) are written by hand, not
# imported from samples/gtfs: keep one side-file entry per stop of routes/2.csv.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
tool="${1:-$here/../build/release/tools/hy3tool/hy3tool}"
for csv in "$here"/routes/*.csv; do
    "$tool" to-hy3 "$csv" "$here/data/$(basename "${csv%.csv}").hy3"
done

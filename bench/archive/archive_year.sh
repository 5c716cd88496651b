#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A year of the archive: replays a year of records (one a station minute,
# 105,120 five-minute points) into data logs and an archive, then times
# `--import` of those logs into an empty archive and `--export points` of
# the year, and gives the archives' sizes.
#
#   bench/archive/archive_year.sh [BUILD_DIR]
#
# Targets: import under 3 s, export under 1 s, under 20 MB a year.
set -euo pipefail
cd "$(dirname "$0")/../.."
build="${1:-${NIMBULO_BUILD_DIR:-build}}"
records=$((365 * 1440))

cmake --build "$build" --target nimbulo-logger -j2 >/dev/null
logger="$(realpath "$build/tools/logger/nimbulo-logger")"
work="$(mktemp -d /tmp/nimbulo-archive-year.XXXXXX)"
trap 'rm -rf "$work"' EXIT

bench/reports/make_recording.sh "$records" > "$work/recording.txt"
mkdir "$work/replayed" "$work/imported"
TIMEFORMAT='elapsed: %3R s (user %3U s, sys %3S s)'
echo "replay of $records records:"
time "$logger" --replay "$work/recording.txt" --year 2002 --data-dir "$work/replayed" >/dev/null
lines=$(cat "$work"/replayed/OutputData/*.txt | grep -vc '^DateTime')
echo "data logs: $(ls "$work/replayed/OutputData" | wc -l) files, $lines lines"

echo "import:"
time "$logger" --import "$work/replayed/OutputData" --data-dir "$work/imported"
echo "export points of the year:"
time "$logger" --export points 2002-01-01 2002-12-31 --data-dir "$work/imported" > "$work/points.csv"
echo "exported: $(($(wc -l < "$work/points.csv") - 1)) points"
echo "export days of the year:"
time "$logger" --export days 2002-01-01 2002-12-31 --data-dir "$work/imported" > /dev/null
echo "archive size, replayed: $(stat -c %s "$work/replayed/nimbulo.db") bytes"
echo "archive size, imported: $(stat -c %s "$work/imported/nimbulo.db") bytes"

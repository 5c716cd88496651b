#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Times `nimbulo-logger --replay` over a generated recording of 300,000
# records (about 15 MB), files written. The default of one record per station
# minute is the hardest case for the files: a five-minute point (two reports
# rewritten, one log line) every fifth record and a new log every 1440.
#
#   bench/reports/logger_replay.sh [BUILD_DIR] [RECORDS_PER_MINUTE]
#
# BUILD_DIR defaults to build/ (or $NIMBULO_BUILD_DIR). Target: under 1 s.
set -euo pipefail
cd "$(dirname "$0")/../.."
build="${1:-${NIMBULO_BUILD_DIR:-build}}"
per_minute="${2:-1}"
records=300000

cmake --build "$build" --target nimbulo-logger -j2 >/dev/null
logger="$(realpath "$build/tools/logger/nimbulo-logger")"

work="$(mktemp -d /tmp/nimbulo-logger-bench.XXXXXX)"
trap 'rm -rf "$work"' EXIT

bench/reports/make_recording.sh "$records" "$per_minute" > "$work/recording.txt"

size=$(stat -c %s "$work/recording.txt")
echo "recording: $records records, $per_minute a minute, $size bytes"
cd "$work"
# Wall time, and the CPU time that other work on the machine does not inflate.
TIMEFORMAT='elapsed: %3R s (user %3U s, sys %3S s)'
time "$logger" --replay recording.txt --year 2002
echo "log files: $(ls OutputData | wc -l), report bytes: $(cat wxreportaprs.txt wxreportmixw.txt | wc -c)"

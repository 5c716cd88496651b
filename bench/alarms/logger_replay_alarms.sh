#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Times `nimbulo-logger --replay` over a week of records (one a station
# minute, 10,080 records) without alarms and with every alarm on, ROUNDS
# times each, alternating, and prints the best of each and the difference.
#
#   bench/alarms/logger_replay_alarms.sh [BUILD_DIR] [ROUNDS]
#
# Target: with alarms no more than 5 % slower.
set -euo pipefail
cd "$(dirname "$0")/../.."
build="${1:-${NIMBULO_BUILD_DIR:-build}}"
rounds="${2:-7}"

cmake --build "$build" --target nimbulo-logger -j2 >/dev/null
logger="$(realpath "$build/tools/logger/nimbulo-logger")"
work="$(mktemp -d /tmp/nimbulo-alarm-bench.XXXXXX)"
trap 'rm -rf "$work"' EXIT
bench/reports/make_recording.sh 10080 1 > "$work/week.txt"
printf '[Alarms]\nEnabled=0\n' > "$work/off.conf"
printf '[Alarms]\nEnabled=1\nTempHighF=70\nTempLowF=32\nGustHighMph=30\nRainHourIn=0.2\nPressureDrop3hInHg=0.06\nHumidityHighPct=90\n' > "$work/on.conf"
cd "$work"

# CPU time (user + system) of one replay in a fresh folder, in ms.
run() {
  rm -rf OutputData nimbulo.db wxreport*.txt
  local TIMEFORMAT='%3U %3S'
  { time "$logger" --config "$1" --replay week.txt --year 2002 > out.txt; } 2> t.txt
  awk '{printf "%d\n", ($1 + $2) * 1000}' t.txt
}
best_off=999999; best_on=999999
for _ in $(seq "$rounds"); do
  off=$(run off.conf); on=$(run on.conf)
  (( off < best_off )) && best_off=$off
  (( on < best_on )) && best_on=$on
done
echo "alarm lines in the replay: $(grep -c '^alarm ' out.txt)"
echo "without alarms: best $best_off ms CPU; with alarms: best $best_on ms CPU"
awk -v a="$best_off" -v b="$best_on" 'BEGIN { printf "difference: %+.1f %%\n", (b - a) * 100 / a }'

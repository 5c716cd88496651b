#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# What --mqtt costs a replay when the broker is down: the recording of
# logger_replay.sh (300,000 records) replayed without MQTT and with --mqtt
# pointing at a port of 127.0.0.1 where nothing listens, alternately, RUNS
# times each; the best CPU time (user + sys) of each and their ratio.
# Target: with MQTT at most 10 % slower.
#
#   bench/reports/logger_replay_mqtt.sh [BUILD_DIR] [RUNS]
set -euo pipefail
cd "$(dirname "$0")/../.."
build="${1:-${NIMBULO_BUILD_DIR:-build}}"
runs="${2:-5}"

cmake --build "$build" --target nimbulo-logger -j2 >/dev/null
logger="$(realpath "$build/tools/logger/nimbulo-logger")"
work="$(mktemp -d /tmp/nimbulo-mqtt-bench.XXXXXX)"
trap 'rm -rf "$work"' EXIT
bench/reports/make_recording.sh 300000 > "$work/recording.txt"

# A port that was free a moment ago: nothing listens there.
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')

# CPU seconds of one replay in a fresh folder.
cpu() {
  rm -rf "$work/out" && mkdir "$work/out" && cd "$work/out"
  /usr/bin/time -f '%U %S' -o "$work/time" "$logger" --replay ../recording.txt --year 2002 "$@" \
    >/dev/null 2>"$work/err"
  cd - >/dev/null
  awk '{ printf "%.3f\n", $1 + $2 }' "$work/time"
}

best_plain=999 best_mqtt=999
for ((r = 0; r < runs; r++)); do
  plain=$(cpu)
  mqtt=$(cpu --mqtt "127.0.0.1:$port" --wxnow)
  echo "run $r: without MQTT ${plain} s, with --mqtt (broker down) --wxnow ${mqtt} s"
  best_plain=$(awk -v a="$best_plain" -v b="$plain" 'BEGIN { print (b < a ? b : a) }')
  best_mqtt=$(awk -v a="$best_mqtt" -v b="$mqtt" 'BEGIN { print (b < a ? b : a) }')
done
echo "stderr of the MQTT run: $(cat "$work/err")"
awk -v p="$best_plain" -v m="$best_mqtt" 'BEGIN {
  printf "best CPU time: without %.3f s, with %.3f s: %+.1f %%\n", p, m, (m / p - 1) * 100 }'

#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Resident memory of nimbulo-logger --mqtt --wxnow over a simulated week:
# 10,080 records, one a station minute, fed through a FIFO in 20 chunks of
# 504 (8.4 station hours) half a second apart, VmRSS read from /proc after
# each chunk. MODE "down" points --mqtt at a port where nothing listens;
# "up" starts a private mosquitto on 127.0.0.1 (when installed), which is
# stopped for the middle third of the week. Target: flat after the first day.
#
#   bench/reports/logger_week_memory.sh [BUILD_DIR] [down|up]
set -euo pipefail
cd "$(dirname "$0")/../.."
build="${1:-${NIMBULO_BUILD_DIR:-build}}"
mode="${2:-down}"

cmake --build "$build" --target nimbulo-logger -j2 >/dev/null
logger="$(realpath "$build/tools/logger/nimbulo-logger")"
work="$(mktemp -d /tmp/nimbulo-week-memory.XXXXXX)"
broker=""
cleanup() {
  [[ -n "$broker" ]] && kill "$broker" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
printf 'listener %s 127.0.0.1\npersistence false\nlog_dest none\nallow_anonymous true\n' "$port" \
  >"$work/mosquitto.conf"
start_broker() { /usr/sbin/mosquitto -c "$work/mosquitto.conf" 3>&- & broker=$!; sleep 0.3; }
stop_broker() { kill "$broker"; wait "$broker" 2>/dev/null || true; broker=""; }

bench/reports/make_recording.sh 10080 >"$work/week.txt"
split -l 504 -d -a 2 "$work/week.txt" "$work/chunk."

[[ "$mode" == up ]] && start_broker
mkfifo "$work/fifo"
mkdir "$work/out"
(cd "$work/out" && exec "$logger" --replay ../fifo --year 2002 --mqtt "127.0.0.1:$port" --wxnow \
  >"$work/summary" 2>"$work/err") &
logger_pid=$!
exec 3>"$work/fifo"
samples=()
for chunk in "$work"/chunk.*; do
  cat "$chunk" >&3
  sleep 0.5
  samples+=("$(awk '/VmRSS/ { print $2 }' "/proc/$logger_pid/status")")
  n=${#samples[@]}
  [[ "$mode" == up && $n == 7 ]] && stop_broker
  [[ "$mode" == up && $n == 14 ]] && start_broker
done
exec 3>&-
wait "$logger_pid"
echo "mode: $mode, $(grep 'records accepted' "$work/summary")"
echo "VmRSS kB after each 8.4 station hours: ${samples[*]}"
printf '%s\n' "${samples[@]}" | sort -n | awk 'NR == 1 { min = $1 } { max = $1 } END {
  printf "min %d kB, max %d kB\n", min, max }'
echo "stderr: $(cat "$work/err")"

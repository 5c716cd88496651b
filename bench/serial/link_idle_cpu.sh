#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Processor time that a quiet link costs: nimbulo-logger and the window
# (offscreen, through nimbulo-link-idle-probe), each once waiting for a
# device that is not there (retrying) and once on a pseudo-terminal that
# never sends (silent). Each run is measured over SECONDS (default 30) from
# /proc/<pid>/stat (user + system clock ticks), after a settling time long
# enough for the silent case to have turned silent.
#
#   bench/serial/link_idle_cpu.sh [BUILD_DIR] [SECONDS]
#
# Target: no measurable use, 0 or 1 tick (10 ms) per run.
set -euo pipefail
cd "$(dirname "$0")/../.."
build="${1:-${NIMBULO_BUILD_DIR:-build}}"
seconds="${2:-30}"
settle=12

cmake --build "$build" --target nimbulo-logger nimbulo-link-idle-probe -j2 >/dev/null
logger="$(realpath "$build/tools/logger/nimbulo-logger")"
probe="$(realpath "$build/bench/app/nimbulo-link-idle-probe")"

work="$(mktemp -d /tmp/nimbulo-idle-bench.XXXXXX)"
holder=""
trap '[ -n "$holder" ] && kill "$holder" 2>/dev/null; rm -rf "$work"' EXIT
cd "$work"
export XDG_CONFIG_HOME="$work/config" QT_QPA_PLATFORM=offscreen

ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }

# A pseudo-terminal whose other end stays open and silent; prints its path.
python3 -c '
import os, pty, sys, time
master, slave = pty.openpty()
print(os.ttyname(slave), flush=True)
os.close(slave)
time.sleep(3600)
' > pty.txt &
holder=$!
while [ ! -s pty.txt ]; do sleep 0.1; done
silent_device="$(cat pty.txt)"

measure() {  # name, command...
    local name="$1"
    shift
    "$@" > "$name.out" 2> "$name.err" &
    local pid=$!
    sleep "$settle"
    local before
    before=$(ticks "$pid")
    sleep "$seconds"
    local after
    after=$(ticks "$pid")
    kill -TERM "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    printf '%-28s %3d ticks in %d s\n' "$name" $((after - before)) "$seconds"
}

measure "logger retrying" "$logger" --device "$work/missing"
measure "logger silent" "$logger" --device "$silent_device"
window_seconds=$((settle + seconds + 5))
measure "window retrying" "$probe" "$work/missing" "$window_seconds"
measure "window silent" "$probe" "$silent_device" "$window_seconds"
echo "logger (silent) said:"
sed 's/^/  /' "logger silent.err"

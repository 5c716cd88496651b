#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Writes a made-up recording of COUNT data-logger records to stdout, PER a
# station minute (default 1), from day 0 minute 0 on: varied readings, every
# field decodable. The benchmarks replay it.
#
#   bench/reports/make_recording.sh COUNT [PER] > recording.txt
set -euo pipefail
# Fields: speed, direction, outdoor temp, long-term rain, pressure, indoor
# temp, outdoor and indoor humidity, day - 1, minute, today's rain, average speed.
awk -v n="$1" -v per="${2:-1}" 'BEGIN {
  for (i = 0; i < n; i++) {
    t = int(i / per); minute = t % 1440; day = int(t / 1440) % 365
    printf "!!%04X%04X%04X%04X%04X%04X%04X%04X%04X%04X%04X%04X\r\n",
      (i * 7) % 600, (i * 13) % 256, (65536 - 200 + (i % 1200)) % 65536, 1000 + int(i / 100),
      9900 + (i % 400), 650 + (i % 100), 300 + (i % 700), 350 + (i % 300),
      day, minute, (i / 50) % 300, (i * 3) % 500
  }
}'

#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a test program on a virtual screen of WIDTHxHEIGHT with a window
# manager, so that windows get title bars and are placed as on a desktop.
# The program starts once the window manager has announced itself.
# Usage: on-screen.sh WIDTHxHEIGHT PROGRAM [ARGS...]
size=$1
shift
exec xvfb-run -a -s "-screen 0 ${size}x24" sh -c '
log=$(mktemp)
openbox >"$log" 2>&1 &
wm=$!
# On a loaded machine the window manager may take a while: a minute at most.
deadline=$(($(date +%s) + 60))
until obxprop --root 2>/dev/null | grep -q _NET_SUPPORTING_WM_CHECK; do
  if ! kill -0 "$wm" 2>/dev/null || [ "$(date +%s)" -gt "$deadline" ]; then
    echo "on-screen.sh: openbox did not start on $DISPLAY:" >&2
    cat "$log" >&2
    rm -f "$log"
    exit 1
  fi
  sleep 0.1
done
rm -f "$log"
exec "$@"' on-screen "$@"

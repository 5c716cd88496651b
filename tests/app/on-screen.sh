#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a test program on a virtual screen of WIDTHxHEIGHT with a window
# manager, so that windows get title bars and are placed as on a desktop.
# The program starts once the window manager has announced itself.
# Usage: on-screen.sh WIDTHxHEIGHT PROGRAM [ARGS...]
size=$1
shift
exec xvfb-run -a -s "-screen 0 ${size}x24" sh -c '
openbox >/dev/null 2>&1 &
tries=0
until obxprop --root 2>/dev/null | grep -q _NET_SUPPORTING_WM_CHECK; do
  tries=$((tries + 1))
  if [ "$tries" -gt 200 ]; then echo "on-screen.sh: openbox did not start" >&2; exit 1; fi
  sleep 0.05
done
exec "$@"' on-screen "$@"

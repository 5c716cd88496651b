#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a test program on a virtual screen of WIDTHxHEIGHT with a window
# manager, so that windows get title bars and are placed as on a desktop.
# The program starts once the window manager has announced itself.
# Usage: on-screen.sh WIDTHxHEIGHT PROGRAM [ARGS...]
size=$1
shift
dir=$(mktemp -d)
server=
wm=
trap 'kill $wm $server 2>/dev/null; rm -rf "$dir"' EXIT
trap 'exit 1' INT TERM

fail() {
  echo "on-screen.sh: $1" >&2
  cat "$dir"/*.log >&2
  exit 1
}

# On a loaded machine the server and window manager may take a while.
deadline=$(($(date +%s) + 60))
late() { [ "$(date +%s)" -gt "$deadline" ]; }

# The server picks a free display itself and names it once it is ready:
# screens started side by side never race for one number. Without -noreset
# the server would start afresh whenever its last client leaves, as the probe
# below does, dropping a window manager that connects at that moment.
Xvfb -displayfd 3 -nolisten tcp -noreset -screen 0 "${size}x24" 3>"$dir/display" 2>"$dir/server.log" &
server=$!
until [ -s "$dir/display" ]; do
  if ! kill -0 "$server" 2>/dev/null || late; then fail "Xvfb did not start"; fi
  sleep 0.1
done
DISPLAY=:$(cat "$dir/display")
export DISPLAY

openbox >"$dir/wm.log" 2>&1 &
wm=$!
until obxprop --root 2>/dev/null | grep -q _NET_SUPPORTING_WM_CHECK; do
  if ! kill -0 "$wm" 2>/dev/null; then
    wait "$wm"
    fail "openbox ended ($?) before it started on $DISPLAY"
  fi
  if late; then fail "openbox did not start on $DISPLAY"; fi
  sleep 0.1
done
"$@"
status=$?
if ! kill -0 "$wm" 2>/dev/null; then
  wait "$wm"
  echo "on-screen.sh: openbox ended ($?) while the program ran" >&2
  cat "$dir/wm.log" >&2
fi
exit "$status"

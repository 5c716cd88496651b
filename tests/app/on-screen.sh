#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a test program on a virtual screen of WIDTHxHEIGHT with a window
# manager, so that windows get title bars and are placed as on a desktop.
# Usage: on-screen.sh WIDTHxHEIGHT PROGRAM [ARGS...]
size=$1
shift
exec xvfb-run -a -s "-screen 0 ${size}x24" sh -c 'openbox >/dev/null 2>&1 & exec "$@"' on-screen "$@"

#!/usr/bin/env bash
# Runs a command with a small window manager (openbox) on the current display, so that the
# windows in a virtual display get title bars as on a desktop. Without openbox the command
# runs all the same, with bare windows.
set -uo pipefail
wm=""
if command -v openbox >/dev/null 2>&1; then
  openbox --sm-disable >/dev/null 2>&1 &
  wm=$!
  sleep 0.5
fi
"$@"
rc=$?
if [ -n "$wm" ]; then kill "$wm" 2>/dev/null; fi
exit $rc

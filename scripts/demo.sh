#!/usr/bin/env bash
# The demo that run.sh shows: the stand-in chat window and Sonvira side by side.
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${SONVIRA_BUILD:-$root/build}"
. "$root/scripts/wine-env.sh"
win="$build/win32"
standin="$win/tools/standin_chat/standin_chat.exe"
if [ -f "$standin" ]; then
  wine "$standin" </dev/null >/dev/null 2>&1 &
fi
wine "$win/sonvira.exe" </dev/null >/dev/null 2>&1 &
sonvira=$!
if [ -n "${SONVIRA_HEADLESS:-}" ]; then
  sleep "${SONVIRA_DEMO_SECONDS:-30}"
  mkdir -p "$build/screenshots"
  import -window root "$build/screenshots/run.png" && echo "run: screenshot saved to $build/screenshots/run.png"
  wineserver -k 2>/dev/null
  exit 0
fi
wait "$sonvira"

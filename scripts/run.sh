#!/usr/bin/env bash
# Builds everything and starts sonvira.exe under Wine beside the stand-in chat window.
# Without a display a virtual one is started, with a small window manager for title bars: the
# demo then runs for SONVIRA_DEMO_SECONDS (default 30), saves a screenshot to
# build/screenshots/run.png and ends.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${SONVIRA_BUILD:-$root/build}"
"$root/scripts/check-host.sh"
"$root/scripts/build.sh"
. "$root/scripts/wine-env.sh"
export SONVIRA_BUILD="$build"
if [ -z "${DISPLAY:-}" ]; then
  echo "run: no display found, starting a virtual one (Xvfb); a screenshot will be saved in $build/screenshots/"
  export SONVIRA_HEADLESS=1
  exec "$root/scripts/wine-session.sh" "$root/scripts/window-manager.sh" "$root/scripts/demo.sh"
fi
exec "$root/scripts/demo.sh"

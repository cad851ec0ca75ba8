#!/usr/bin/env bash
# Runs a command inside a virtual X display with a warm Wine server, for tests and demos that
# need windows. Usage: wine-session.sh COMMAND [ARGS...]
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
. "$root/scripts/wine-env.sh"
if [ -z "${SONVIRA_IN_SESSION:-}" ]; then
  export SONVIRA_IN_SESSION=1
  exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$0" "$@"
fi
# A persistent server makes each Wine start cheap; a new prefix is made once, then warmed up
# (the first GUI program of a prefix spends seconds building the font cache).
wineserver -p
# wineboot also starts Wine's background services here, with their output going nowhere:
# started later by a test program, they would inherit its output pipe and keep it open.
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "wine-session: creating the Wine prefix $WINEPREFIX" >&2
  wineboot -i </dev/null >/dev/null 2>&1
else
  wineboot </dev/null >/dev/null 2>&1
fi
"$@"
rc=$?
wineserver -k 2>/dev/null
exit $rc

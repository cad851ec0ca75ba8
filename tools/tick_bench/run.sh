#!/usr/bin/env bash
# Runs the tick benchmark under Wine in a virtual display (build first with scripts/build.sh).
#   tools/tick_bench/run.sh [samples [KiB ...]]
set -uo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="${SONVIRA_BUILD:-$root/build}"
exec "$root/scripts/wine-session.sh" wine "$build/win32/bench/tick_bench_win.exe" "$@"

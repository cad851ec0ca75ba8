#!/usr/bin/env bash
# Runs the log benchmark under Wine in a virtual display (build first with scripts/build.sh).
#   tools/log_bench/run.sh [messages-per-sample] [samples]
set -uo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="${SONVIRA_BUILD:-$root/build}"
exec "$root/scripts/wine-session.sh" wine "$build/win32/tools/log_bench/log_bench.exe" "$@"

#!/usr/bin/env bash
# Runs the log-open benchmark under Wine in a virtual display (build first with scripts/build.sh).
#   tools/log_open_bench/run.sh [megabytes] [rtf]
#   tools/log_open_bench/run.sh lines LENGTH COUNT [x|words|wide|tabs|gbk]
#   tools/log_open_bench/run.sh file 'Z:\path\to\log.rtf' [text]
set -uo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="${SONVIRA_BUILD:-$root/build}"
exec "$root/scripts/wine-session.sh" wine "$build/win32/tools/log_open_bench/log_open_bench.exe" "$@"

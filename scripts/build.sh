#!/usr/bin/env bash
# Configures and builds everything: the native core, unit tests and tools, and (through a
# sub-build with the MinGW-w64 toolchain) the i686 Windows program, its tools and its tests.
# Quiet when everything is up to date; says how much it built otherwise, shows any compiler
# warning, and shows the end of the output when the build fails.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${SONVIRA_BUILD:-$root/build}"
"$root/scripts/deps.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
log="$build/build.log"
if ! cmake --build "$build" -j "$(nproc)" >"$log" 2>&1; then
  tail -n 60 "$log"
  echo "build: failed; the whole output is in $log" >&2
  exit 1
fi
grep -E 'warning:' "$log" || true
steps=$(grep -c -E '(Building|Linking) ' "$log" || true)
if [ "$steps" -gt 0 ]; then echo "build: $steps compile and link steps (output in $log)"; fi

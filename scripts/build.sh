#!/usr/bin/env bash
# Configures and builds everything: the native core, unit tests and tools, and (through a
# sub-build with the MinGW-w64 toolchain) the i686 Windows program, its tools and its tests.
# Says how much it built and how long it took, shows any compiler warning, and shows the end
# of the output when the build fails.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${SONVIRA_BUILD:-$root/build}"
. "$root/scripts/phase.sh"
"$root/scripts/deps.sh"
log="$build/build.log"
mkdir -p "$build"
phase_start build "building with $(nproc) jobs (compiler output in $log)"
if ! { cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release && cmake --build "$build" -j "$(nproc)"; } >"$log" 2>&1; then
  tail -n 60 "$log"
  phase_end failed "the whole output is in $log"
  exit 1
fi
grep -E 'warning:' "$log" || true
steps=$(grep -c -E '(Building|Linking) ' "$log" || true)
if [ "$steps" -gt 0 ]; then phase_end done "$steps compile and link steps"; else phase_end "up to date"; fi

#!/usr/bin/env bash
# Configures and builds everything: the native core, unit tests and tools, and (through a
# sub-build with the MinGW-w64 toolchain) the i686 Windows program, its tools and its tests.
# Says how much it built and how long it took, shows any compiler warning, and shows the end
# of the output when the build fails. A first build takes minutes: it says every minute how
# far it got, out of the steps the last whole build of this folder took.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${SONVIRA_BUILD:-$root/build}"
. "$root/scripts/phase.sh"
"$root/scripts/deps.sh"
log="$build/build.log"
steps_file="$build/.build-steps"
mkdir -p "$build"
steps_done() { grep -c -E '(Building|Linking) ' "$log" || true; }
phase_start build "building with $(nproc) jobs (compiler output in $log)" "$log"
{ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release && cmake --build "$build" -j "$(nproc)"; } >"$log" 2>&1 &
pid=$!
last=$SECONDS
while kill -0 "$pid" 2>/dev/null; do
  sleep 1
  if [ $((SECONDS - last)) -ge 60 ]; then
    last=$SECONDS
    of=$(cat "$steps_file" 2>/dev/null || true)
    echo "[$(date +%T)] build: $(steps_done)${of:+ of about $of} compile and link steps done" >&2
  fi
done
if ! wait "$pid"; then
  # The make lines at the end say only where; the compiler's own lines say why.
  grep -E -m 20 ': (fatal )?error|undefined reference' "$log" >&2 || true
  exit 1
fi
grep -E 'warning:' "$log" || true
steps=$(steps_done)
if [ "$steps" -gt 0 ]; then
  # Only a build from nothing tells how many steps a whole build takes.
  [ -s "$steps_file" ] && [ "$steps" -le "$(cat "$steps_file")" ] || echo "$steps" >"$steps_file"
  phase_end done "$steps compile and link steps"
else
  phase_end "up to date"
fi

#!/usr/bin/env bash
# Configures and builds everything: the native core, unit tests and tools, and (through a
# sub-build with the MinGW-w64 toolchain) the i686 Windows program, its tools and its tests.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${SONVIRA_BUILD:-$root/build}"
"$root/scripts/deps.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j "$(nproc)"

#!/usr/bin/env bash
# Builds everything and runs every test: native unit tests, then the Windows integration and
# end-to-end tests under Wine in a virtual display. Ends with CTest's summary.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${SONVIRA_BUILD:-$root/build}"
"$root/scripts/build.sh"
exec "$root/scripts/wine-session.sh" \
  ctest --test-dir "$build" --output-on-failure --no-tests=error -j 2 "$@"

#!/usr/bin/env bash
# Builds everything and runs every test: native unit tests, then the Windows integration and
# end-to-end tests under Wine, each Windows test program on a virtual desktop of its own.
# Ends with CTest's summary. Arguments go to ctest: `./scripts/test.sh -R e2e.tray_test`.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${SONVIRA_BUILD:-$root/build}"
"$root/scripts/check-host.sh"
"$root/scripts/build.sh"
# One desktop per Windows test running at once; the native tests take a slot beside them.
desktops=${SONVIRA_DESKTOPS:-2}
resources="$build/desktops.json"
{
  printf '{"version": {"major": 1, "minor": 0}, "local": [{"desktops": ['
  for ((d = 0; d < desktops; d++)); do printf '%s{"id": "%d", "slots": 1}' "$([ $d -gt 0 ] && echo ', ')" "$d"; done
  printf ']}]}\n'
} >"$resources"
export SONVIRA_DESKTOPS="$desktops"
exec "$root/scripts/wine-session.sh" \
  ctest --test-dir "$build" --output-on-failure --no-tests=error --resource-spec-file "$resources" \
  -j "$((desktops + 1))" "$@"

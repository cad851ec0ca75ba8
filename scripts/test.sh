#!/usr/bin/env bash
# Builds everything and runs every test: native unit tests, then the Windows integration and
# end-to-end tests under Wine, each Windows test program on a virtual desktop of its own.
# Ends with CTest's summary. Arguments go to ctest: `./scripts/test.sh -R e2e.tray_test`.
# The Wine desktops start only when a selected test needs one (`-R unit.` needs none).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${SONVIRA_BUILD:-$root/build}"
"$root/scripts/check-host.sh"
"$root/scripts/build.sh"
# One desktop per Windows test running at once; the native tests take a slot beside them.
desktops=${SONVIRA_DESKTOPS:-2}
ctest_run=(ctest --test-dir "$build" --output-on-failure --no-tests=error -j "$((desktops + 1))")
count=$(ctest --test-dir "$build" -N "$@" | sed -n 's/^Total Tests: //p')
what="running ${count:-the} tests"
# A test that needs a desktop asks ctest for one (its resource group "desktops").
selected=$(ctest --test-dir "$build" --show-only=json-v1 "$@")
if [[ $selected != *'"RESOURCE_GROUPS"'* ]]; then
  exec "$root/scripts/phase.sh" tests "$what" "${ctest_run[@]}" "$@"
fi
resources="$build/desktops.json"
{
  printf '{"version": {"major": 1, "minor": 0}, "local": [{"desktops": ['
  for ((d = 0; d < desktops; d++)); do printf '%s{"id": "%d", "slots": 1}' "$([ $d -gt 0 ] && echo ', ')" "$d"; done
  printf ']}]}\n'
} >"$resources"
export SONVIRA_DESKTOPS="$desktops"
exec "$root/scripts/wine-session.sh" "$root/scripts/phase.sh" tests "$what" \
  "${ctest_run[@]}" --resource-spec-file "$resources" "$@"

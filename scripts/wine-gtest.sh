#!/usr/bin/env bash
# Runs one GoogleTest program under Wine and fails unless it really ran tests and all passed.
# A missing 32-bit Wine makes an i686 program exit 0 without printing anything, so the exit
# code alone proves nothing: the XML report must exist and count at least one test.
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
. "$root/scripts/wine-env.sh"
exe="$1"; shift
[ -f "$exe" ] || { echo "wine-gtest: $exe was not built"; exit 1; }
# In the build, which Wine sees at the same path; the host's /tmp is not bound into its root.
report="$(mktemp -d "${SONVIRA_BUILD:-$root/build}/.report.XXXXXX")/report.xml"
winreport="Z:$(echo "$report" | sed 's|/|\\|g')"
cd "$(dirname "$exe")"
wine "$exe" --gtest_output="xml:$winreport" "$@"
rc=$?
if [ ! -s "$report" ]; then
  echo "wine-gtest: $(basename "$exe") wrote no report (exit $rc): did it run at all? Is wine32 installed?"
  exit 1
fi
summary=$(grep -m1 '<testsuites ' "$report")
tests=$(echo "$summary" | sed -n 's/.* tests="\([0-9]*\)".*/\1/p')
fails=$(echo "$summary" | sed -n 's/.* failures="\([0-9]*\)".*/\1/p')
errors=$(echo "$summary" | sed -n 's/.* errors="\([0-9]*\)".*/\1/p')
rm -rf "$(dirname "$report")"
if [ "${tests:-0}" -eq 0 ]; then echo "wine-gtest: no test ran"; exit 1; fi
if [ "$rc" -ne 0 ] || [ "${fails:-1}" -ne 0 ] || [ "${errors:-1}" -ne 0 ]; then echo "wine-gtest: failed (exit $rc, $fails failures)"; exit 1; fi
echo "wine-gtest: $tests tests passed"

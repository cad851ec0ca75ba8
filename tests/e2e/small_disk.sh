#!/usr/bin/env bash
# Runs the small-disk scenario of the log commands' end-to-end test on a tmpfs of a few dozen
# KB, mounted where Wine sees the build's e2e-small-disk folder. Runs inside wine-session.sh,
# whose private mount namespace takes the mount away when the session ends.
# Usage: small_disk.sh <build>/win32/tests/e2e_log_commands_test.exe
set -uo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
. "$root/scripts/wine-root-env.sh"
exe="$(readlink -f "$1")"
disk="$(dirname "$(dirname "$exe")")/e2e-small-disk"
[ -n "${SONVIRA_IN_SESSION:-}" ] || { echo "small_disk: run it inside scripts/wine-session.sh"; exit 1; }
mkdir -p "$disk" "$WINE_ROOT$disk"
mount -t tmpfs -o size=48k tmpfs "$WINE_ROOT$disk" || { echo "small_disk: cannot mount a tmpfs on $WINE_ROOT$disk"; exit 1; }
"$root/scripts/wine-gtest.sh" "$exe" --gtest_filter='SmallDisk.*'
rc=$?
umount "$WINE_ROOT$disk"
exit $rc

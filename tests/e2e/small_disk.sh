#!/usr/bin/env bash
# Runs the log commands' small-disk scenario on a tmpfs of a few dozen KB where Wine sees the
# build's e2e-small-disk folder, inside wine-session.sh's private mount namespace.
# Usage: small_disk.sh <build>/win32/tests/e2e_log_menu_test.exe
set -uo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
. "$root/scripts/wine-root-env.sh"
[ -n "${SONVIRA_IN_SESSION:-}" ] || { echo "small_disk: run it inside scripts/wine-session.sh"; exit 1; }
disk="$(dirname "$(dirname "$(readlink -f "$1")")")/e2e-small-disk"
mkdir -p "$disk" && mount -t tmpfs -o size=48k tmpfs "$WINE_ROOT$disk" || exit 1
SONVIRA_SMALL_DISK=1 "$root/scripts/wine-gtest.sh" "$1" --gtest_filter='SmallDisk.*'
rc=$?
umount "$WINE_ROOT$disk"
exit $rc

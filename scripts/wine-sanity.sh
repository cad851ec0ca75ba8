#!/usr/bin/env bash
# Proves that this Wine really runs 32-bit programs with the GBK code page: the probe program
# prints a line only it can print, which a silently failing Wine never does.
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
. "$root/scripts/wine-env.sh"
log="$(mktemp)"
wine "$1" </dev/null >"$log" 2>&1
out=$(tr -d '\r' <"$log"); rm -f "$log"
echo "$out"
case "$out" in
  *"sonvira-wine-ok bits=32 acp=936"*) exit 0 ;;
  *) echo "wine-sanity: the i686 probe did not run as expected (is wine32:i386 installed? is the zh_CN.UTF-8 locale there?)"; exit 1 ;;
esac

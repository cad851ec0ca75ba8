#!/usr/bin/env bash
# Opens the release package as a user would get it and checks what it promises: exactly the
# program and the guide; the program small, without symbols, needing only Windows' own DLLs
# and carrying the project's version in its version resource; the guide UTF-8 text with the
# byte-order mark that tells Notepad so, and with CR LF line ends.
#   check-release.sh ZIP VERSION
set -uo pipefail
zip="$1" version="$2"
fail() { echo "check-release: $*"; exit 1; }
[ -f "$zip" ] || fail "no package $zip (scripts/release.sh makes it)"

names=$(unzip -Z1 "$zip" | sort | tr '\n' ' ')
[ "$names" = "README.txt sonvira.exe " ] || fail "$zip holds: $names(expected README.txt and sonvira.exe)"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
unzip -q "$zip" -d "$dir" || fail "cannot unpack $zip"

exe="$dir/sonvira.exe"
size=$(stat -c %s "$exe")
[ "$size" -le $((600 * 1024)) ] || fail "sonvira.exe has $size bytes, more than 600 KB"
! i686-w64-mingw32-objdump -f "$exe" | grep -q -E 'HAS_(SYMS|DEBUG)' || fail "sonvira.exe still has symbols"
imports=$("$(dirname "$0")/check-imports.sh" "$exe") || fail "$imports"
# Windows XP lacks these, and one imported is enough to keep the program from starting there:
# the functions the static runtime libraries are known to reach for.
newer=$(LC_ALL=C i686-w64-mingw32-objdump -p "$exe" | grep -o -w -E \
  'GetTickCount64|(Initialize|Sleep|Wake|WakeAll)ConditionVariable[A-Za-z]*|[A-Za-z]*SRWLock[A-Za-z]*|InitOnce[A-Za-z]*|GetCurrentProcessorNumber' \
  | sort -u | tr '\n' ' ')
[ -z "$newer" ] || fail "sonvira.exe imports what Windows XP does not have: $newer"

# windres writes the resources back as .rc text: FILEVERSION 1, 0, 0, 0 and the strings.
rc=$(i686-w64-mingw32-windres -i "$exe" -O rc) || fail "cannot read the resources of sonvira.exe"
numbers="$(echo "$version" | sed 's/\./, /g'), 0"
for key in FILEVERSION PRODUCTVERSION; do
  got=$(sed -n "s/^ *$key //p" <<<"$rc")
  [ "$got" = "$numbers" ] || fail "$key is '$got', expected '$numbers' for version $version"
done
for key in FileVersion ProductVersion; do
  got=$(sed -n "s/^ *VALUE \"$key\", \"\(.*\)\"/\1/p" <<<"$rc")
  [ "$got" = "$version" ] || fail "the string $key is '$got', expected '$version'"
done

guide="$dir/README.txt"
[ "$(head -c 3 "$guide" | od -An -tx1 | tr -d ' \n')" = efbbbf ] || fail "README.txt does not begin with the UTF-8 byte-order mark"
text=$(tail -c +4 "$guide" | iconv -f UTF-8 -t UTF-8) || fail "README.txt is not valid UTF-8"
lines=$(tr -cd '\n' <"$guide" | wc -c)
[ "$lines" -gt 0 ] && [ "$(grep -c $'\r$' "$guide")" = "$lines" ] || fail "README.txt has line ends without CR"
grep -q -F '%APPDATA%\sonvira\set.ini' <<<"$text" || fail "README.txt does not name the settings file"
! grep -q '"' <<<"$text" || fail "README.txt has ASCII quotation marks, where Chinese text takes “…”"
echo "check-release: $zip: sonvira.exe $size bytes, version $version; README.txt $lines lines of UTF-8"

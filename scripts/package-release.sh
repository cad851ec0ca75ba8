#!/usr/bin/env bash
# Packs the release: the program without its symbols and the Chinese user guide, zipped.
#   package-release.sh STRIP EXE GUIDE ZIP
# The guide is kept in the repository as plain UTF-8; in the package it gets a UTF-8 byte-order
# mark and CR LF line ends, because Notepad before Windows 10 takes a file without the mark
# for the ANSI code page and shows a bare LF as no line break at all. The names inside the
# zip are ASCII: Explorer before Windows 10 reads zip names in the OEM code page.
set -euo pipefail
strip="$1" exe="$2" guide="$3" zip="$(realpath -m "$4")"
stage="${zip%.zip}.stage" part="${zip%.zip}.part.zip"
rm -rf "$stage" "$zip" "$part"
mkdir -p "$stage"
"$strip" -o "$stage/sonvira.exe" "$exe"
{ printf '\xef\xbb\xbf'; sed 's/\r$//; s/$/\r/' "$guide"; } >"$stage/README.txt"
# -X leaves out the Unix owners and extra times, which Windows has no use for.
(cd "$stage" && zip -q -X -9 "$part" sonvira.exe README.txt)
mv "$part" "$zip"
rm -rf "$stage"

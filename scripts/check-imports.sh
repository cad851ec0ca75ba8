#!/usr/bin/env bash
# Checks that a Windows program imports only system DLLs: it must run from a folder of its own
# without the MinGW runtime DLLs (or any other) beside it, and it must be a 32-bit GUI program.
set -uo pipefail
exe="$1"
dump=$(LC_ALL=C i686-w64-mingw32-objdump -p "$exe") || { echo "check-imports: cannot read $exe"; exit 1; }
# DLLs in the system folder of every Windows since XP; anything else would have to travel along.
system='^(kernel32|user32|gdi32|advapi32|shell32|ole32|oleaut32|comctl32|comdlg32|msvcrt|shlwapi|version|winmm)\.dll$'
bad=$(echo "$dump" | sed -n 's/.*DLL Name: //p' | grep -v -i -E "$system" || true)
if [ -n "$bad" ]; then echo "check-imports: $exe needs DLLs that Windows does not have: $bad"; exit 1; fi
grep -q 'file format pei-i386' <<<"$dump" || { echo "check-imports: $exe is not an i686 program"; exit 1; }
grep -q 'Subsystem.*(Windows GUI)' <<<"$dump" || { echo "check-imports: $exe is not a GUI program"; exit 1; }
echo "check-imports: $exe imports $(echo "$dump" | sed -n 's/.*DLL Name: //p' | tr '\n' ' ')"

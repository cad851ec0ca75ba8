#!/usr/bin/env bash
# Checks that a Windows program imports only system DLLs: it must run from a folder of its own
# without the MinGW runtime DLLs beside it, and it must be a 32-bit GUI program.
set -uo pipefail
exe="$1"
dump=$(LC_ALL=C i686-w64-mingw32-objdump -p "$exe") || { echo "check-imports: cannot read $exe"; exit 1; }
bad=$(echo "$dump" | sed -n 's/.*DLL Name: //p' | grep -i -E 'libstdc|libgcc|libwinpthread|mingw' || true)
if [ -n "$bad" ]; then echo "check-imports: $exe needs MinGW runtime DLLs: $bad"; exit 1; fi
grep -q 'file format pei-i386' <<<"$dump" || { echo "check-imports: $exe is not an i686 program"; exit 1; }
grep -q 'Subsystem.*(Windows GUI)' <<<"$dump" || { echo "check-imports: $exe is not a GUI program"; exit 1; }
echo "check-imports: $exe imports $(echo "$dump" | sed -n 's/.*DLL Name: //p' | tr '\n' ' ')"

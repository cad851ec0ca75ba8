#!/usr/bin/env bash
# Registers the test voice in the current Wine prefix, for 32-bit programs: its COM class and
# two voice tokens, "Sonvira Test Alto" (the default voice) and "Sonvira Test Bass", each with
# its own tone, both recording into one file. Safe to run again: the keys are rewritten whole.
# Usage: install.sh DLL RECORD_FILE   (unix paths; `wine` must be on PATH)
# Both paths must be where Windows programs can reach them (Z:\ + the absolute unix path).
set -euo pipefail
if [ $# -ne 2 ]; then
  echo "usage: $0 DLL RECORD_FILE" >&2
  exit 2
fi
here="$(cd "$(dirname "$0")" && pwd)"
dll="$(realpath -m "$1")"
record="$(realpath -m "$2")"
[ -f "$dll" ] || { echo "install.sh: no DLL at $dll" >&2; exit 1; }
mkdir -p "$(dirname "$record")"

clsid=$(sed -n 's/^#define SONVIRA_TEST_VOICE_CLSID "\(.*\)"$/\1/p' "$here/test_voice_ids.h")
[ -n "$clsid" ] || { echo "install.sh: no CLSID in test_voice_ids.h" >&2; exit 1; }

# Z:\ plus the path, with every backslash doubled as .reg strings want it.
reg_path() { printf 'Z:%s' "$1" | sed 's|/|\\\\|g'; }

tokens='HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Speech\Voices\Tokens'
classes='HKEY_LOCAL_MACHINE\Software\Classes\CLSID'

# key, display name, tone in Hz, gender
voices=(
  "SonviraTestAlto|Sonvira Test Alto|660|Female"
  "SonviraTestBass|Sonvira Test Bass|220|Male"
)

# The .reg file must be readable by Wine, so it lives beside the record, not in /tmp.
reg="${record%.*}.reg"
{
  echo 'REGEDIT4'
  echo
  echo "[-$classes\\$clsid]"
  echo "[$classes\\$clsid]"
  echo '@="Sonvira test voice"'
  echo "[$classes\\$clsid\\InprocServer32]"
  echo "@=\"$(reg_path "$dll")\""
  # SAPI calls the engine from a worker thread of its own: no apartment may stand between.
  echo '"ThreadingModel"="Both"'
  for v in "${voices[@]}"; do
    IFS='|' read -r key name tone gender <<<"$v"
    echo
    echo "[-$tokens\\$key]"
    echo "[$tokens\\$key]"
    echo "@=\"$name\""
    echo "\"CLSID\"=\"$clsid\""
    echo "\"RecordFile\"=\"$(reg_path "$record")\""
    echo "\"ToneHz\"=\"$tone\""
    echo '"SampleRate"="16000"'
    echo "[$tokens\\$key\\Attributes]"
    echo "\"Name\"=\"$name\""
    echo "\"Gender\"=\"$gender\""
    echo '"Age"="Adult"'
    echo '"Language"="409"'
    echo '"Vendor"="Sonvira"'
  done
  echo
  echo '[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Speech\Voices]'
  first="${voices[0]%%|*}"
  echo "\"DefaultDefaultTokenId\"=\"$(printf '%s' "$tokens\\$first" | sed 's|\\|\\\\|g')\""
} | sed 's/$/\r/' >"$reg"

# The 32-bit view: the program and the tests are 32-bit, and so is the DLL.
wine reg import "$(printf 'Z:%s' "$reg" | sed 's|/|\\|g')" /reg:32 >/dev/null

#!/usr/bin/env bash
# Says where the bytes of sonvira.exe go, from the linker's map (the build writes it beside the
# program: build/win32/sonvira.map): the size of code, read-only data and unwind data that
# each library brings, then the biggest single objects. Usage: size-map.sh [MAP] [TOP]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
map="${1:-${SONVIRA_BUILD:-$root/build}/win32/sonvira.map}"
top="${2:-25}"
[ -f "$map" ] || { echo "size-map: no map $map (scripts/build.sh writes it)" >&2; exit 1; }
# An input section line: " .text  0xADDRESS  0xSIZE  FILE"; the output section it lands in is
# the last line that starts without a blank.
awk -v top="$top" '
  function hex(s,   i, n, c) { n = 0; s = tolower(substr(s, 3))
    for (i = 1; i <= length(s); i++) { c = index("0123456789abcdef", substr(s, i, 1)) - 1; n = n * 16 + c }
    return n }
  /^\.[a-z_]+[ \t]+0x/ { out = $1; next }
  out !~ /^\.(text|rdata|eh_frame|data)$/ { next }
  {
    line = $0; sub(/^ [^ \t]*/, "", line); n = split(line, f, " ")
    if (n < 3 || f[1] !~ /^0x/ || f[2] !~ /^0x/) next
    size = hex(f[2]); if (size == 0) next
    file = f[3]; for (i = 4; i <= n; i++) file = file " " f[i]
    if (file !~ /\.(o|obj|res)\)?$/) next
    sub(/.*\//, "", file)                  # lib.a(member.o) or object, without its folder
    lib = file; sub(/\(.*/, "", lib)
    bylib[lib] += size; bylibsec[lib, out] += size; byobj[file " " out] += size; total[out] += size
  }
  END {
    printf "%-28s %9s %9s %9s %9s\n", "library or object", "all", ".text", ".rdata", ".eh_frame"
    for (l in bylib) printf "%-28s %9d %9d %9d %9d\n", l, bylib[l], bylibsec[l, ".text"], bylibsec[l, ".rdata"], bylibsec[l, ".eh_frame"] | "sort -k2 -n -r"
    close("sort -k2 -n -r")
    printf "%-28s %9d %9d %9d %9d\n", "total", total[".text"] + total[".rdata"] + total[".eh_frame"] + total[".data"], total[".text"], total[".rdata"], total[".eh_frame"]
    print ""; print "biggest objects (bytes, section):"
    for (o in byobj) printf "%9d %s\n", byobj[o], o | ("sort -n -r | head -n " top)
  }' "$map"

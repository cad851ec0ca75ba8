#!/usr/bin/env bash
# Checks that the source folders depend on each other one way only: base/ at the bottom,
# then ui/, then capture/ and speech/ side by side, then app/ on top; win/ serves the
# Windows files of every layer and depends on base/ and ui/ alone. Portable files (every file
# but the *_win.* ones and win/) include no system header outside the C++ standard library
# and nothing of win/.
# Prints every include that points the wrong way and fails when there is one.
set -uo pipefail
root="$(cd "${1:-$(dirname "$0")/..}" && pwd)"
cd "$root"

# What each folder may include besides itself.
declare -A allowed=(
  [base]=""
  [ui]="base"
  [capture]="base ui"
  [speech]="base ui"
  [app]="base ui capture speech res"
  [win]="base ui"
)
# A portable file includes, of the system's headers, only those of the C++ standard library:
# every other one (<windows.h>, <tchar.h>, <unistd.h>, ...) ties it to one platform. The list is
# the host's own standard library, the folder that holds <vector>: its headers have no dot.
std_dir=$(echo '#include <vector>' | "${CXX:-c++}" -x c++ -M - 2>/dev/null | tr ' \\' '\n\n' | grep -m1 '/vector$')
std_dir=${std_dir%/vector}
[ -n "$std_dir" ] || { echo "check-layers: no C++ compiler found to list the standard headers (${CXX:-c++})"; exit 1; }
is_standard() { [[ $1 != */* && $1 != *.* ]] && [ -f "$std_dir/$1" ]; }

bad=0
for layer in "${!allowed[@]}"; do
  [ -d "$layer" ] || continue
  while IFS= read -r file; do
    portable=1
    case "$file" in win/*|*_win.cpp|*_win.h) portable=0 ;; esac
    while IFS= read -r line; do
      inc=$(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' <<<"$line")
      sys=$(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*<\([^>]*\)>.*/\1/p' <<<"$line")
      if [ -n "$inc" ]; then
        top=${inc%%/*}
        [ "$top" = "$layer" ] && continue
        if [ "$top" = win ] && [ $portable = 0 ]; then continue; fi
        case " ${allowed[$layer]} " in *" $top "*) continue ;; esac
        echo "check-layers: $file includes \"$inc\", which $layer/ may not depend on"
        bad=1
      elif [ -n "$sys" ] && [ $portable = 1 ] && ! is_standard "$sys"; then
        echo "check-layers: $file is portable but includes <$sys>, which is not a standard C++ header"
        bad=1
      fi
    done < <(grep -E '^[[:space:]]*#[[:space:]]*include' "$file")
  done < <(find "$layer" -type f \( -name '*.h' -o -name '*.cpp' \) | sort)
done
[ $bad = 0 ] && echo "check-layers: every include points down"
exit $bad

#!/usr/bin/env bash
# Builds the release a Windows user takes: build/release/sonvira-VERSION-win32.zip, holding
# sonvira.exe without its symbols and README.txt, the user guide in Chinese (UTF-8 with a
# byte-order mark). The version is the one in CMakeLists.txt. The build makes the package
# along with everything else; this checks it as the tests do and says where it is.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${SONVIRA_BUILD:-$root/build}"
"$root/scripts/build.sh"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
"$root/scripts/check-release.sh" "$build/release/sonvira-$version-win32.zip" "$version"

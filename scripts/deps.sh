#!/usr/bin/env bash
# Installs what building and testing Sonvira needs on Debian/Ubuntu, only what is missing.
# Runs as root (or through sudo). Safe to run again: it does nothing when all is there.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
. "$root/scripts/phase.sh"

# openbox gives the demo's virtual display title bars, and fonts-wqy-microhei the Chinese in them. Wine itself is not among them: the Windows programs run under Wine 10 in a Debian 13 root
# that scripts/wine-root.sh makes with debootstrap (Debian 12's Wine 8 cannot speak).
PKGS=(cmake make g++ pkg-config
      g++-mingw-w64-i686-posix
      debootstrap xvfb xauth locales
      googletest libgtest-dev libbenchmark-dev
      imagemagick clang libclang-rt-14-dev
      openbox fonts-wqy-microhei
      zip unzip)  # zip packs the release, unzip opens it in its test

SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi

missing=()
for p in "${PKGS[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

# The package manager's own output (a thousand lines on a fresh machine) goes to a log, shown
# only when it fails.
if [ ${#missing[@]} -gt 0 ]; then
  log="${SONVIRA_BUILD:-$root/build}/packages.log"
  mkdir -p "$(dirname "$log")"
  phase_start packages "installing ${#missing[@]} missing packages (output in $log)"
  if ! { $SUDO apt-get update -q && DEBIAN_FRONTEND=noninteractive \
         $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"; } >"$log" 2>&1; then
    tail -n 30 "$log" >&2
    phase_end failed "the whole output is in $log"
    exit 1
  fi
  phase_end done
fi

# The sessions run in the zh_CN.UTF-8 locale (Wine's ANSI code page follows it: 936, GBK).
if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf8$'; then
  echo "deps: generating the zh_CN.UTF-8 locale"
  $SUDO sed -i 's/^# *zh_CN.UTF-8 UTF-8/zh_CN.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen >/dev/null
fi

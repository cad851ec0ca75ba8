#!/usr/bin/env bash
# Runs a command beside virtual X displays and warm Wine 10 servers, for the tests and demos
# that need windows or speech. Usage: wine-session.sh COMMAND [ARGS...]
#
# The session has SONVIRA_DESKTOPS desktops (default 1; scripts/test.sh asks for one per test
# slot). A desktop is a virtual display of its own with a Wine prefix of its own, so Windows
# programs on two desktops never fight over the foreground window, the clipboard, the tray or
# the settings. Desktop 0 is the one DISPLAY and WINEPREFIX point at; desktop N is described
# to the command by SONVIRA_DESKTOP_N_DISPLAY and SONVIRA_DESKTOP_N_PREFIX, which
# scripts/wine-gtest.sh takes up for the desktop that ctest gave a test.
#
# The command itself runs on the host; `wine`, `wineserver` and `wineboot` on its PATH run
# Wine 10 inside the Debian 13 root (scripts/wine-root.sh). The source tree and the build are
# bound into the root at their own paths, so Z:\ plus a host path reaches them from Windows.
# Everything is mounted in a private mount and process namespace: when the session ends, or is
# killed, every mount, display and Wine process of it goes with it.
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${SONVIRA_BUILD:-$root/build}"
. "$root/scripts/wine-root-env.sh"
. "$root/scripts/phase.sh"

if [ -z "${SONVIRA_IN_SESSION:-}" ]; then
  "$root/scripts/check-host.sh" || exit 1
  "$root/scripts/wine-root.sh" >/dev/null || exit 1
  mkdir -p "$build"
  export SONVIRA_IN_SESSION=1 SONVIRA_BUILD="$build"
  exec unshare --mount --pid --fork --kill-child "$0" "$@"
fi

# This shell is the namespace's first process: the displays and servers below are its
# children, and go when it goes.
set -e
mount --make-rprivate /
# This namespace's own processes, for the host's tools too (the sanitizers read /proc).
mount -t proc proc /proc
mount -t proc proc "$WINE_ROOT/proc"
mount --rbind /dev "$WINE_ROOT/dev"
mount --rbind /sys "$WINE_ROOT/sys"
# A /tmp of the session's own: the Wine servers' sockets stay private.
mount -t tmpfs tmpfs "$WINE_ROOT/tmp"
for dir in "$root" "$build"; do
  mkdir -p "$WINE_ROOT$dir"
  mount --bind "$dir" "$WINE_ROOT$dir"
done
# The displays' sockets lie in a folder of the session's own, so display numbers never meet
# another session's and nothing of them outlives the session; the displays listen nowhere
# else (-nolisten local: no abstract socket, which all sessions would share).
mkdir -p /tmp/.X11-unix "$WINE_ROOT/tmp/.X11-unix"
mount -t tmpfs -o mode=1777 tmpfs /tmp/.X11-unix
mount --bind /tmp/.X11-unix "$WINE_ROOT/tmp/.X11-unix"
set +e

. "$root/scripts/wine-env.sh"
bin="$build/.wine-bin"
mkdir -p "$bin"
for cmd in wine wineserver wineboot; do ln -sf "$root/scripts/in-wine-root.sh" "$bin/$cmd"; done
export PATH="$bin:$PATH"

# The X cookie lives in the build, which the root sees too; one cookie serves every display.
export XAUTHORITY="$build/.Xauthority"
: >"$XAUTHORITY"
cookie=$(mcookie)

# Starts a virtual display and sets `display` to its number once it takes clients. The lock
# files stay the host's: a number whose lock another session holds is passed over (the display
# gives up at once), while one left by a killed session is taken over.
xvfbs=()
start_display() {
  local n pid waited
  for ((n = ${display:-99} + 1; n < 300; n++)); do
    xauth -f "$XAUTHORITY" add ":$n" MIT-MAGIC-COOKIE-1 "$cookie"
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -nolisten local -auth "$XAUTHORITY" </dev/null >/dev/null 2>&1 &
    pid=$!
    for waited in $(seq 1 600); do
      if [ -S "/tmp/.X11-unix/X$n" ]; then
        display=$n xvfbs+=("$pid")
        return 0
      fi
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
    kill "$pid" 2>/dev/null
  done
  echo "wine-session: no virtual display could be started" >&2
  return 1
}

# A persistent server makes each Wine start cheap; a new prefix is made once, then booted
# (wineboot also starts Wine's background services here, with their output going nowhere:
# started later by a test program, they would inherit its output pipe and keep it open).
# Every desktop speaks with the same test voices, each writing its own record.
voice="$build/win32/tools/test_voice/sonvira_test_voice.dll"
# Wine's own output goes to a log per desktop, shown when the boot fails.
boot_desktop() {
  local record=$1 log=$2
  wineserver -p
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "wine-session: creating the Wine prefix $WINEPREFIX" >&2
    wineboot -i </dev/null >"$log" 2>&1 || return 1
  else
    wineboot </dev/null >"$log" 2>&1 || return 1
  fi
  if [ -x "$root/tools/test_voice/install.sh" ] && [ -f "$voice" ]; then
    "$root/tools/test_voice/install.sh" "$voice" "$record" </dev/null ||
      echo "wine-session: the test voices could not be registered in $WINEPREFIX" >&2
  fi
}

desktops=${SONVIRA_DESKTOPS:-1}
new_prefixes=0
for ((d = 0; d < desktops; d++)); do
  prefix=$WINEPREFIX
  [ "$d" -eq 0 ] || prefix="$WINEPREFIX-$d"
  [ -f "$prefix/system.reg" ] || new_prefixes=$((new_prefixes + 1))
done
# Booting a prefix that exists takes seconds; only a new one takes most of a minute.
: >"$build/wineboot.log"
phase_start prefixes "starting $desktops Wine desktop(s)$([ "$new_prefixes" -gt 0 ] &&
  echo " ($new_prefixes new Wine prefix(es): about a minute)")" "$build/wineboot.log"
boots=()
for ((d = 0; d < desktops; d++)); do
  start_display || exit 1
  n=$display
  if [ "$d" -eq 0 ]; then prefix=$WINEPREFIX record="$build/voice-record.txt"
  else prefix="$WINEPREFIX-$d" record="$build/voice-record-$d.txt"; fi
  export "SONVIRA_DESKTOP_${d}_DISPLAY=:$n" "SONVIRA_DESKTOP_${d}_PREFIX=$prefix"
  mkdir -p "$prefix"
  # The desktops boot side by side: a new prefix takes most of a minute.
  (DISPLAY=":$n" WINEPREFIX="$prefix" boot_desktop "$record" "$build/wineboot-$d.log") &
  boots+=($!)
done
failed=0
for ((d = 0; d < desktops; d++)); do
  wait "${boots[$d]}" && continue
  failed=1
  cat "$build/wineboot-$d.log" >>"$build/wineboot.log"
done
[ "$failed" = 0 ] || exit 1
phase_end ready
export DISPLAY="$SONVIRA_DESKTOP_0_DISPLAY"

"$@"
rc=$?
for ((d = 0; d < desktops; d++)); do
  var="SONVIRA_DESKTOP_${d}_PREFIX"
  WINEPREFIX="${!var}" wineserver -k 2>/dev/null
done
# Ended, not killed with the namespace: a display takes its lock file along only then.
kill "${xvfbs[@]}" 2>/dev/null
wait "${xvfbs[@]}" 2>/dev/null
exit $rc

#!/usr/bin/env bash
# Runs a command beside a virtual X display and a warm Wine 10 server, for the tests and demos
# that need windows or speech. Usage: wine-session.sh COMMAND [ARGS...]
#
# The command itself runs on the host; `wine`, `wineserver` and `wineboot` on its PATH run
# Wine 10 inside the Debian 13 root (scripts/wine-root.sh). The source tree and the build are
# bound into the root at their own paths, so Z:\ plus a host path reaches them from Windows.
# Everything is mounted in a private mount and process namespace: when the session ends, or is
# killed, every mount and every Wine process of it goes with it.
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${SONVIRA_BUILD:-$root/build}"
. "$root/scripts/wine-root-env.sh"

case "${SONVIRA_IN_SESSION:-}" in
"")
  "$root/scripts/wine-root.sh" >/dev/null || exit 1
  mkdir -p "$build"
  export SONVIRA_IN_SESSION=mounts SONVIRA_BUILD="$build"
  exec unshare --mount --pid --fork --kill-child "$0" "$@"
  ;;
mounts)
  set -e
  mount --make-rprivate /
  # This namespace's own processes, for the host's tools too (the sanitizers read /proc).
  mount -t proc proc /proc
  mount -t proc proc "$WINE_ROOT/proc"
  mount --rbind /dev "$WINE_ROOT/dev"
  mount --rbind /sys "$WINE_ROOT/sys"
  # A /tmp of the session's own: the Wine server's socket and X's lock files stay private.
  mount -t tmpfs tmpfs "$WINE_ROOT/tmp"
  for dir in "$root" "$build"; do
    mkdir -p "$WINE_ROOT$dir"
    mount --bind "$dir" "$WINE_ROOT$dir"
  done
  mkdir -p "$WINE_ROOT/tmp/.X11-unix"
  mount --bind /tmp/.X11-unix "$WINE_ROOT/tmp/.X11-unix" 2>/dev/null ||
    { mkdir -p /tmp/.X11-unix && chmod 1777 /tmp/.X11-unix && mount --bind /tmp/.X11-unix "$WINE_ROOT/tmp/.X11-unix"; }
  set +e
  export SONVIRA_IN_SESSION=display
  # The X cookie lives in the build, which the root sees too. Not exec'd: this shell is the
  # namespace's first process, and xvfb-run, waiting for Xvfb's ready signal, cannot be.
  xvfb-run -a -f "$build/.Xauthority" -s "-screen 0 1280x1024x24 -nolisten tcp" "$0" "$@"
  exit $?
  ;;
esac

# In the session: Wine's commands run in the root, with the session's environment.
. "$root/scripts/wine-env.sh"
bin="$build/.wine-bin"
mkdir -p "$bin"
for cmd in wine wineserver wineboot; do ln -sf "$root/scripts/in-wine-root.sh" "$bin/$cmd"; done
export PATH="$bin:$PATH"

# A persistent server makes each Wine start cheap; a new prefix is made once, then warmed up
# (the first GUI program of a prefix spends seconds building the font cache).
wineserver -p
# wineboot also starts Wine's background services here, with their output going nowhere:
# started later by a test program, they would inherit its output pipe and keep it open.
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "wine-session: creating the Wine prefix $WINEPREFIX" >&2
  wineboot -i </dev/null >/dev/null 2>&1
else
  wineboot </dev/null >/dev/null 2>&1
fi
# The test voices, where they were built: every session speaks with the same voices.
voice="$build/win32/tools/test_voice/sonvira_test_voice.dll"
if [ -x "$root/tools/test_voice/install.sh" ] && [ -f "$voice" ]; then
  "$root/tools/test_voice/install.sh" "$voice" "$build/voice-record.txt" </dev/null ||
    echo "wine-session: the test voices could not be registered" >&2
fi
"$@"
rc=$?
wineserver -k 2>/dev/null
exit $rc

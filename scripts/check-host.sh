#!/usr/bin/env bash
# Says at once, before anything is installed or built, when this machine cannot run the Wine
# sessions: they need root and private mount and process namespaces (unshare), and a root
# directory that is a mount point (a plain chroot is not; a container or a VM is).
set -uo pipefail
fail() {
  echo "check-host: $1" >&2
  echo "check-host: run Sonvira's scripts as root on a Debian 12 machine, a VM or a container that allows 'unshare --mount --pid' (for Docker: --privileged)." >&2
  exit 1
}
[ "$(id -u)" = 0 ] || fail "these scripts must run as root (they install packages and mount the Wine root)."
command -v unshare >/dev/null || fail "unshare (util-linux) is missing."
if ! out=$(unshare --mount --pid --fork --kill-child sh -c 'mount --make-rprivate / && mount -t proc proc /proc' 2>&1); then
  hint="In a chroot, bind its root onto itself first (mount --bind DIR DIR) and enter it again."
  # Without /proc, mountpoint compares / with /.. and takes a chroot's root for a mount point.
  if [ ! -r /proc/self/mountinfo ]; then
    fail "private mount and process namespaces are not allowed here ($out), and /proc is not mounted, as in a plain chroot. $hint"
  fi
  if ! mountpoint -q /; then
    fail "'/' is not a mount point, so no private mount namespace can be made ($out). $hint"
  fi
  fail "private mount and process namespaces are not allowed here: $out"
fi

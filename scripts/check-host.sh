#!/usr/bin/env bash
# Says at once, before anything is installed or built, when this machine cannot run the Wine
# sessions: they need root, /proc and /dev mounted (a chroot has neither until they are), and
# private mount and process namespaces (unshare) with a root directory that is a mount point
# (a plain chroot is not; a container or a VM is).
set -uo pipefail
fail() {
  echo "check-host: $1" >&2
  echo "check-host: run Sonvira's scripts as root on a Debian 12 machine, a VM or a container that allows 'unshare --mount --pid' (for Docker: --privileged)." >&2
  exit 1
}
[ "$(id -u)" = 0 ] || fail "these scripts must run as root (they install packages and mount the Wine root)."
command -v unshare >/dev/null || fail "unshare (util-linux) is missing."
# Without /proc, debootstrap takes the machine for a bare one and makes device files for the
# Wine root, which a chroot refuses minutes later ("mknod ... Operation not supported").
chroot_mounts="from outside the chroot DIR: mount -t proc proc DIR/proc; mount --rbind /sys DIR/sys; mount --rbind /dev DIR/dev (or from inside: mount -t proc proc /proc)"
[ -r /proc/self/mountinfo ] || fail "/proc is not mounted, as in a chroot entered without it. Mount it first, $chroot_mounts."
[ -c /dev/null ] || fail "/dev is not mounted, as in a chroot entered without it. Mount it first, $chroot_mounts."
if ! out=$(unshare --mount --pid --fork --kill-child sh -c 'mount --make-rprivate / && mount -t proc proc /proc' 2>&1); then
  hint="In a chroot, bind its root onto itself first (mount --bind DIR DIR), mount /proc, /sys and /dev in it, and enter it again."
  if ! mountpoint -q /; then
    fail "'/' is not a mount point, so no private mount namespace can be made ($out). $hint"
  fi
  fail "private mount and process namespaces are not allowed here: $out"
fi

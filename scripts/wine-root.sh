#!/usr/bin/env bash
# Makes, once per machine, the Debian 13 root in which the Windows programs run: Debian 12's
# Wine 8 cannot speak through SAPI at all, Debian 13's Wine 10 can. The root holds Wine 10
# with its 32-bit part, the locales of WINE_ROOT_LOCALES (zh_CN.UTF-8 for ANSI code page 936,
# ja_JP.UTF-8 for 932, fr_FR.UTF-8 for 1252) and CJK fonts; the build
# itself stays on the host. The root is cached outside the work tree, so every checkout and
# every CI run of this machine shares it; a root is used only once it is complete.
#
# Usage: wine-root.sh            make the root if it is missing, print its path
# Packages come from the mirror the host's own apt configuration names; nothing here names one.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
. "$root/scripts/wine-root-env.sh"
. "$root/scripts/phase.sh"

if [ -f "$WINE_ROOT/$WINE_ROOT_STAMP" ]; then
  echo "$WINE_ROOT"
  exit 0
fi

# The first archive line of the host's sources that is not the security archive.
host_mirror() {
  local uri
  uri=$(cat /etc/apt/sources.list.d/*.sources 2>/dev/null | sed -n 's/^URIs:[[:space:]]*//p' |
        tr ' ' '\n' | grep -v -i security | grep -m1 . || true)
  if [ -z "$uri" ]; then
    uri=$(cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null |
          sed -n 's/^deb[[:space:]]\+\(\[[^]]*\][[:space:]]\+\)\?\([^[:space:]]\+\).*/\2/p' |
          grep -v -i security | grep -m1 . || true)
  fi
  [ -n "$uri" ] || { echo "wine-root: no Debian mirror found in the host's apt sources" >&2; exit 1; }
  echo "$uri"
}

mirror=$(host_mirror)
parent=$(dirname "$WINE_ROOT")
mkdir -p "$parent"
# One maker at a time; whoever waited finds the root made.
exec 9>"$parent/.lock"
if ! flock -n 9; then
  phase_start "Wine root" "waiting for another run that is making it"
  flock 9
  phase_end done
fi
if [ -f "$WINE_ROOT/$WINE_ROOT_STAMP" ]; then
  echo "$WINE_ROOT"
  exit 0
fi
locale_gen() {  # the root's folder, then locale-gen's options
  local dir=$1
  shift
  for l in $WINE_ROOT_LOCALES; do echo "$l UTF-8"; done >"$dir/etc/locale.gen"
  chroot "$dir" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin locale-gen "$@" >/dev/null
}
# A root of version 1 lacks only locales: they are added in place, in seconds, instead of
# making the whole root again. The locales it has stay in their archive all along, so
# programs starting in it meanwhile (other sessions' tests) still find theirs.
if [ -f "$WINE_ROOT/$WINE_ROOT_STAMP_V1" ]; then
  locale_gen "$WINE_ROOT" --keep-existing
  touch "$WINE_ROOT/$WINE_ROOT_STAMP"
  echo "wine-root: added the locales $WINE_ROOT_LOCALES to $WINE_ROOT" >&2
  echo "$WINE_ROOT"
  exit 0
fi
work="$WINE_ROOT.new"
# A half-made root from a killed run is started afresh; it holds no mounts, since every mount
# lived in a namespace that died with that run.
rm -rf --one-file-system "$work"
# A failure ends the phase with the last lines of this log (phase.sh), debootstrap's own log
# appended to it: the reason is there, not in the few lines a failing tool prints.
phase_start "Wine root" "making the Debian 13 root with Wine 10 in $WINE_ROOT (once per machine, output in $work.log)" "$work.log"

# Inside a private mount and process namespace: whatever is mounted for the install, and any
# process it leaves, ends with it, even when the run is killed.
unshare --mount --pid --fork --kill-child bash -euo pipefail -c '
  work=$1 mirror=$2
  mount --make-rprivate /
  debootstrap --variant=minbase --include=ca-certificates trixie "$work" "$mirror" >"$work.log" 2>&1 ||
    { cat "$work/debootstrap/debootstrap.log" >>"$work.log" 2>/dev/null; exit 1; }
  # Fetch as the host does (proxies, validity checks): the same apt settings, no mirror names.
  for f in /etc/apt/apt.conf.d/*; do
    grep -q "^Acquire::" "$f" 2>/dev/null && cp "$f" "$work/etc/apt/apt.conf.d/" || true
  done
  cp /etc/resolv.conf "$work/etc/resolv.conf"
  mount -t proc proc "$work/proc"
  mount --rbind /dev "$work/dev"
  mount --rbind /sys "$work/sys"
  in_root() { chroot "$work" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root \
              DEBIAN_FRONTEND=noninteractive "$@"; }
  in_root dpkg --add-architecture i386
  in_root apt-get update -q >>"$work.log" 2>&1
  in_root apt-get install -y -q --no-install-recommends \
    wine wine64 wine32:i386 locales fonts-wqy-microhei >>"$work.log" 2>&1
  in_root apt-get clean
' wine-root "$work" "$mirror"

# No sound card here: a null ALSA device lets the voice open its output and discard the audio.
printf 'pcm.!default { type null }\n' >"$work/root/.asoundrc"
locale_gen "$work" 2>>"$work.log"
touch "$work/$WINE_ROOT_STAMP_V1" "$work/$WINE_ROOT_STAMP"
rm -f "$work.log"
# A root of an older make-up is replaced whole.
rm -rf --one-file-system "$WINE_ROOT"
mv "$work" "$WINE_ROOT"
phase_end ready "$(du -sh --one-file-system "$WINE_ROOT" | cut -f1)"
echo "$WINE_ROOT"

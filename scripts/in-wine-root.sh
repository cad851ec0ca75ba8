#!/usr/bin/env bash
# Runs a command of the Debian 13 root (scripts/wine-root.sh) in the caller's folder, with the
# caller's display, locale and Wine settings and nothing else of the host's environment.
# wine-session.sh links `wine`, `wineserver` and `wineboot` to this script: the name it is
# called by is the command. Usage otherwise: in-wine-root.sh COMMAND [ARGS...]
set -uo pipefail
. "$(dirname "$(readlink -f "$0")")/wine-root-env.sh"
cmd=$(basename "$0")
if [ "$cmd" = in-wine-root.sh ]; then cmd=$1; shift; fi
vars=()
while IFS= read -r -d '' kv; do
  case "$kv" in DISPLAY=*|XAUTHORITY=*|LANG=*|LC_ALL=*|WINE*|SONVIRA_*) vars+=("$kv") ;; esac
done < <(env -0)
# Outside the bound folders the caller's folder does not exist in the root: start at / then.
exec chroot "$WINE_ROOT" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root "${vars[@]}" \
  /bin/sh -c 'cd "$1" 2>/dev/null || cd /; shift; exec "$@"' "$cmd" "$PWD" "$cmd" "$@"

# Sourced, not run: the environment every Wine run of Sonvira's build uses.
# A prefix of the build's own keeps tests away from the user's ~/.wine.
_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# A test that ctest gave a desktop of its own runs there.
. "$_root/scripts/use-desktop.sh"
export WINEPREFIX="${SONVIRA_WINEPREFIX:-${SONVIRA_BUILD:-$_root/build}/wineprefix10}"
export WINEARCH=win64
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono/Gecko install prompts: there is no network to fetch them from.
export WINEDLLOVERRIDES="mscoree,mshtml="
# The chat clients served run with the ANSI code page 936 (GBK); Wine takes it from the locale.
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
mkdir -p "$WINEPREFIX"
unset _root

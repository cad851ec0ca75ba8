# Sourced, not run: where the Debian 13 root with Wine 10 lives, and the mark of a finished one.
# Bump the stamp's version when the root's contents change, so machines make the new one.
export WINE_ROOT="${SONVIRA_WINE_ROOT:-/var/cache/sonvira/wine10-root}"
WINE_ROOT_STAMP=.sonvira-root-v1

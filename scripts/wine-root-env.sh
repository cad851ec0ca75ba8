# Sourced, not run: where the Debian 13 root with Wine 10 lives, and the mark of a finished one.
# Bump the stamp's version when the root's contents change, so machines make the new one.
export WINE_ROOT="${SONVIRA_WINE_ROOT:-/var/cache/sonvira/wine10-root}"
WINE_ROOT_STAMP=.sonvira-root-v2
# Version 2 is version 1 with more locales; such a root keeps version 1's stamp as well, so
# that older checkouts sharing the machine take it as theirs instead of replacing it.
WINE_ROOT_STAMP_V1=.sonvira-root-v1
# The locales generated in the root, one per ANSI code page the tests run Wine with: Wine
# takes its code page from LANG and reads file names by it only when the locale exists.
WINE_ROOT_LOCALES="zh_CN.UTF-8 ja_JP.UTF-8 fr_FR.UTF-8"

# Sourced, not run: points DISPLAY and the Wine prefix at the desktop ctest gave this test
# (its resource "desktops", see scripts/test.sh), as described by scripts/wine-session.sh.
# Without an allocation (ctest run without a resource file) desktop 0 serves.
_desk=${CTEST_RESOURCE_GROUP_0_DESKTOPS:-}
_desk=${_desk#id:}
_desk=${_desk%%,*}
if [ -n "$_desk" ]; then
  _display="SONVIRA_DESKTOP_${_desk}_DISPLAY" _prefix="SONVIRA_DESKTOP_${_desk}_PREFIX"
  if [ -z "${!_display:-}" ]; then
    echo "use-desktop: ctest gave desktop $_desk, but this Wine session has no such desktop" >&2
    exit 1
  fi
  export DISPLAY="${!_display}" SONVIRA_WINEPREFIX="${!_prefix}"
  unset _display _prefix
fi
unset _desk

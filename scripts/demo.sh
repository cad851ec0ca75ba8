#!/usr/bin/env bash
# The demo that run.sh shows: the stand-in chat window and Sonvira side by side. Sonvira starts
# hidden in the tray and is brought out with a double click on its icon (tools/tray_demo). A
# short chat is played in the stand-in (tools/demo_driver): the friend and the user write in
# turn a few seconds apart, Sonvira speaks and logs every message, what it says is printed as
# it says it (from the test voices' record), and the log's text is printed at the end. Then
# Sonvira is closed into the tray and brought back again. Without a display a screenshot is
# saved as well.
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${SONVIRA_BUILD:-$root/build}"
. "$root/scripts/wine-env.sh"
win="$build/win32"
standin="$win/tools/standin_chat/standin_chat.exe"
driver="$win/tools/demo_driver/demo_driver.exe"
tray="$win/tools/tray_demo/tray_demo.exe"
for exe in "$win/sonvira.exe" "$standin" "$driver" "$tray"; do
  [ -f "$exe" ] || { echo "demo: $exe was not built"; exit 1; }
done

wine "$standin" --front </dev/null >/dev/null 2>&1 &
wine "$win/sonvira.exe" </dev/null >/dev/null 2>&1 &
sonvira=$!
wine "$tray" --hidden-ms 2500 </dev/null
# The test voices the Wine session installed write down what they say; the driver reads it.
record="$build/voice-record.txt"
: >"$record"
wine "$driver" --voice-record "Z:${record//\//\\}" --messages "${SONVIRA_DEMO_MESSAGES:-6}" --interval-ms "${SONVIRA_DEMO_INTERVAL_MS:-3000}" </dev/null
wine "$tray" </dev/null

if [ -n "${SONVIRA_HEADLESS:-}" ]; then
  # Whatever is left of the demo's time, so the windows can be looked at over a remote screen.
  rest=$(( ${SONVIRA_DEMO_SECONDS:-30} - SECONDS ))
  [ "$rest" -gt 0 ] && sleep "$rest"
  mkdir -p "$build/screenshots"
  # Only once the window has drawn its tab strip and status bar: a screenshot taken while it
  # repainted showed neither.
  wine "$tray" --painted </dev/null || echo "run: the screenshot may show the window half drawn"
  import -window root "$build/screenshots/run.png" && echo "run: screenshot saved to $build/screenshots/run.png"
  wineserver -k 2>/dev/null
  exit 0
fi
echo "run: Sonvira keeps watching; write into the stand-in's message box and press send to chat on."
echo "run: closing Sonvira's window sends it to the tray; 退出 in its menus ends it."
wait "$sonvira"

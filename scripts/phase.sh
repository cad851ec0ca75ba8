#!/usr/bin/env bash
# One short line when a long phase of a run starts and one when it ends, with the time of day
# and how long it took, so the minutes of a first run never look like a hang.
# Sourced: phase_start NAME WHAT [LOG], later phase_end RESULT [DETAIL]. A script that exits
# while its phase is open (set -e, an exit on failure) still prints the end line, after the last
# lines of LOG, where the reason is, since a failure seen only as silence explains nothing.
# Run: phase.sh NAME WHAT COMMAND [ARGS...] runs the command between the two lines and exits
# with its status.
phase_start() {
  _phase=$1 _phase_t0=$SECONDS _phase_log=${3:-}
  echo "[$(date +%T)] $1: $2" >&2
  trap '_phase_exit $?' EXIT
}
phase_end() {
  echo "[$(date +%T)] $_phase: $1 after $((SECONDS - _phase_t0)) s${2:+ ($2)}" >&2
  _phase=""
}
_phase_exit() {
  [ -n "${_phase:-}" ] && [ "$1" != 0 ] || return 0
  if [ -n "$_phase_log" ] && [ -s "$_phase_log" ]; then
    echo "--- the last lines of $_phase_log:" >&2
    tail -n 25 "$_phase_log" >&2
    phase_end "failed (exit $1)" "the whole output is in $_phase_log"
  else
    phase_end "failed (exit $1)"
  fi
}
if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  phase_start "$1" "$2"
  shift 2
  "$@"
  rc=$?
  if [ $rc = 0 ]; then phase_end done; else phase_end "failed (exit $rc)"; fi
  exit $rc
fi

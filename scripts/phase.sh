#!/usr/bin/env bash
# One short line when a long phase of a run starts and one when it ends, with the time of day
# and how long it took, so the minutes of a first run never look like a hang.
# Sourced: phase_start NAME WHAT, later phase_end RESULT [DETAIL].
# Run: phase.sh NAME WHAT COMMAND [ARGS...] runs the command between the two lines and exits
# with its status.
phase_start() { _phase=$1 _phase_t0=$SECONDS; echo "[$(date +%T)] $1: $2" >&2; }
phase_end() { echo "[$(date +%T)] $_phase: $1 after $((SECONDS - _phase_t0)) s${2:+ ($2)}" >&2; }
if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  phase_start "$1" "$2"
  shift 2
  "$@"
  rc=$?
  if [ $rc = 0 ]; then phase_end done; else phase_end "failed (exit $rc)"; fi
  exit $rc
fi

#!/usr/bin/env bash
# Runs the transcript fuzzer from the seed corpus for a bounded number of executions.
#   tools/fuzz/run.sh FUZZER [RUNS] [WORK_DIR]
# Every run starts afresh from the seed corpus in tests/data/transcript_corpus, so a run is
# repeatable; new interesting inputs go to WORK_DIR/corpus, never into the source tree; a failing input
# is saved as WORK_DIR/crash-* and can be replayed with the fuzzer or transcript_fuzz_replay.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
fuzzer="$1"
runs="${2:-200000}"
work="${3:-$(dirname "$fuzzer")/fuzz-work}"
rm -rf "$work/corpus"
mkdir -p "$work/corpus"
# A fixed seed keeps the ctest run repeatable; the runs bound keeps it to a few seconds.
exec "$fuzzer" -runs="$runs" -seed=1 -max_len=128 -timeout=10 -print_final_stats=1 \
  -artifact_prefix="$work/" "$work/corpus" "$root/tests/data/transcript_corpus"

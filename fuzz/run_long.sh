#!/bin/bash
# The long fuzz run: each harness (or those named) at least FUZZ_RUNS
# executions (default 10 million), one process at a time, starting from the
# starting corpus; prints executions, executions per second and coverage (edges
# "cov" and features "ft") per harness. The grown corpus stays in
# $FUZZ_BUILD_DIR/corpus/<name>; crashes are reported and end the run of that
# harness.
#   fuzz/run_long.sh [harness...]   FUZZ_RUNS, FUZZ_MAX_LEN (default 2048: the UTF-16 job record needs 1,522 bytes),
#   FUZZ_MAX_SECONDS (a time cap per harness; a run it stops is marked)
set -uo pipefail
source "$(dirname "$0")/common.sh"
fuzz_need_clang
fuzz_build || { echo "fuzz: building the harnesses failed"; exit 1; }

runs=${FUZZ_RUNS:-10000000}
maxlen=${FUZZ_MAX_LEN:-2048}
cap=()
if [ -n "${FUZZ_MAX_SECONDS:-}" ]; then cap=(-max_total_time="$FUZZ_MAX_SECONDS"); fi
status=0
printf '%-22s %12s %9s %6s %7s %8s %s\n' harness executions exec/s cov ft seconds result
for name in $(fuzz_harnesses "$@"); do
  corpus="$FUZZ_BUILD_DIR/corpus/$name"
  mkdir -p "$corpus"
  log="$FUZZ_BUILD_DIR/long-$name.log"
  start=$(date +%s)
  "$FUZZ_BUILD_DIR/fuzz_$name" -runs="$runs" "${cap[@]}" -max_len="$maxlen" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$FUZZ_BUILD_DIR/crash-$name-" "$corpus" "$FUZZ_DIR/corpus/$name" > "$log" 2>&1
  rc=$?
  seconds=$(( $(date +%s) - start ))
  read -r done rate cov ft <<< "$(fuzz_figures "$log")"
  result=ok
  if [ $rc != 0 ]; then
    result="FAILED (see $log)"
    status=1
  elif [ "$done" -lt "$runs" ]; then
    result="ok, stopped by the time cap"
  fi
  printf '%-22s %12s %9s %6s %7s %8s %s\n' "$name" "$done" "$rate" "$cov" "$ft" "$seconds" "$result"
done
exit $status

#!/bin/bash
# CPU time and wake-ups of a waiting status monitor, per minute, read from
# Linux's accounting of the Wine process (all its threads):
#   - no job: the frame waits for a job, no timer runs (the reference);
#   - polling: a job runs, the printer is ready, the windows are hidden;
#   - draining: the queue is empty, the terminate timer runs (an error status,
#     so that it runs 30 s).
# Wake-ups are the voluntary and involuntary context switches of its threads.
# Usage: BUILD_DIR=build bench/statmon/idle_bench.sh [seconds per phase]
set -euo pipefail
cd "$(dirname "$0")/../.."
BUILD_DIR=${BUILD_DIR:-build}
SECONDS_PER_PHASE=${1:-20}
source scripts/wine-env
wine_start >/dev/null

WORK=$(mktemp -d /tmp/smidle.XXXXXX)
trap 'wineserver -k 2>/dev/null || true; rm -rf "$WORK"' EXIT
mkdir -p "$WORK/MulLang"
# A program name of its own, so that its process is found by name.
NAME=QXIdle$$
cp "$BUILD_DIR/statmon/statmon.exe" "$WORK/$NAME.exe"
cp "$BUILD_DIR/companions/devmon/smdevmon.dll" "$WORK/"
cp media/statmon/smcode.dat "$WORK/"
cp media/statmon/QXL2020.dat "$WORK/$NAME.dat"
cp media/statmon/MulLang/SMen.trs "$WORK/MulLang/"
TRACE="$WORK/trace.txt"
export QX_TRACE_FILE=$(winepath -w "$TRACE" 2>/dev/null)
unset QX_WORLD_FILE
world() {
  printf '[PRINTER.USB001]\nMDL=MFG:QX;MDL:QX-L2020;\nStatus=%s\nServiceTag=QX7F3K2\n[QUEUE.QX Laser L2020]\nJobs=%s\n' \
    "$1" "$2" >"$WORK/world.ini"
}

# Sums utime+stime (clock ticks) and context switches over the process's threads.
sample() {  # pid -> "ticks switches"
  local ticks=0 switches=0
  for task in /proc/"$1"/task/*; do
    read -r -a f <"$task/stat" || continue
    ticks=$((ticks + f[13] + f[14]))
    switches=$((switches + $(awk '/ctxt_switches/ {s += $2} END {print s}' "$task/status")))
  done
  echo "$ticks $switches"
}

measure() {  # name pid
  local hz a b polls0 polls1
  hz=$(getconf CLK_TCK)
  polls0=$(grep -c "Enter Polling Timer routine" "$TRACE" 2>/dev/null || true)
  read -r -a a <<<"$(sample "$2")"
  sleep "$SECONDS_PER_PHASE"
  read -r -a b <<<"$(sample "$2")"
  polls1=$(grep -c "Enter Polling Timer routine" "$TRACE" 2>/dev/null || true)
  awk -v n="$1" -v t=$((b[0] - a[0])) -v s=$((b[1] - a[1])) -v p=$((polls1 - polls0)) -v hz="$hz" \
    -v sec="$SECONDS_PER_PHASE" 'BEGIN {
      printf "%-9s CPU %7.1f ms/min   wake-ups %6.0f /min   polls %4.0f /min\n", n, t * 1000 / hz * 60 / sec, s * 60 / sec, p * 60 / sec }'
}

monitor_pid() {
  for _ in $(seq 1 100); do
    pid=$(pgrep -n -f "$NAME" || true)
    [ -n "$pid" ] && { echo "$pid"; return; }
    sleep 0.1
  done
  echo "idle_bench: the monitor did not start" >&2
  exit 1
}

echo "status monitor while it waits, over ${SECONDS_PER_PHASE} s per phase:"
world "01 01 00 00 00 32 0A 00" 1
WEXE=$(winepath -w "$WORK/$NAME.exe" 2>/dev/null)
(cd "$WORK" && wine "$NAME.exe" /JOB </dev/null >/dev/null 2>&1 &)  # no pipe: waits for a job
PID=$(monitor_pid)
sleep 2
measure "no job" "$PID"
wine_start >/dev/null

wine "$BUILD_DIR/tools/jobannounce/jobannounce.exe" /pipe /exe "$WEXE" /printer "QX Laser L2020" /display report.doc \
  /key QXIdleBench </dev/null >/dev/null 2>&1 || { echo "idle_bench: the job announcer failed" >&2; exit 1; }
PID=$(monitor_pid)
sleep 11  # past the popup period: the window is hidden
measure "polling" "$PID"
world "04 06 00 00 00 32 0A 00" 0
sleep 4
measure "draining" "$PID"

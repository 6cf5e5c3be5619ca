#!/bin/sh
# Replays an install history of FILES files and KEYS registry keys and
# compares it with removing the same tree with rm -rf plus the same keys with
# one reg delete. Prints both times and their ratio.
#   BUILD_DIR=build bench/history/run.sh [files] [keys]
set -e
FILES=${1:-10000}
KEYS=${2:-2000}
cd "$(dirname "$0")/../.."
BUILD_DIR=${BUILD_DIR:-build}
. scripts/wine-env
wine_start
RUN="$BUILD_DIR/wine-run"
EXE="$BUILD_DIR/bench/history/history_bench.exe"
TREE_WIN='C:\qxbench\tree'
TREE_UNIX="$WINEPREFIX/drive_c/qxbench"

rm -rf "$TREE_UNIX"
$RUN "$EXE" prepare "$TREE_WIN" "$FILES" "$KEYS" history
# Both removals start from files already on disk, not from pending writes.
sync
REPLAY=$($RUN "$EXE" replay | tr -d '\r')
echo "history: $REPLAY"
REPLAY_S=$(echo "$REPLAY" | sed -n 's/.*replay_seconds=\([0-9.]*\).*/\1/p')

$RUN "$EXE" prepare "$TREE_WIN" "$FILES" "$KEYS"
sync
START=$(date +%s.%N)
rm -rf "$TREE_UNIX"
wine reg delete 'HKLM\Software\QxBench' /f >/dev/null 2>&1
END=$(date +%s.%N)
PLAIN_S=$(echo "$END - $START" | bc -l)
echo "rm -rf + reg delete: $(printf '%.3f' "$PLAIN_S") s"
echo "ratio (history replay / plain removal): $(echo "$REPLAY_S / $PLAIN_S" | bc -l | xargs printf '%.1f')"
wine_stop

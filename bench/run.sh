#!/bin/bash
# Every benchmark figure beside its reference, in one run:
#   bench/run.sh [runs]
# Builds what the benchmarks need, the NSIS peer among them when makensis is
# installed (Debian package nsis; without it the peer's figures are left out
# and it says so), prepares Wine, then prints what the medium ships, the
# start-up to the first page, page changes and peak working sets, and the
# script reader, command interpreter and factory run figures. Read medians on
# a quiet machine: each benchmark prints its reference from the same run.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
RUNS=${1:-7}
[ -f "$BUILD_DIR/CMakeCache.txt" ] || scripts/build

targets="sample_medium startup_bench wizard_bench profile_bench engine_bench setup_bench factory_bench"
if command -v makensis >/dev/null 2>&1; then
  # A build configured before nsis was installed has no peer target yet.
  cmake -S . -B "$BUILD_DIR" >/dev/null
  targets="$targets bench_peer"
else
  echo "bench: makensis is not installed (Debian package nsis): the NSIS peer is not built, its figures are left out"
fi
# shellcheck disable=SC2086
cmake --build "$BUILD_DIR" --target $targets -j2 >/dev/null

source scripts/wine-env
wine_start >/dev/null
trap wine_stop EXIT
run() { "$BUILD_DIR/wine-run" "$@"; }

echo "== what the medium ships (its programs and libraries; limit 4 MB = 4194304 bytes)"
total=0
while IFS= read -r file; do
  size=$(stat -c %s "$file")
  total=$((total + size))
  printf '  %10d  %s\n' "$size" "${file#"$BUILD_DIR"/medium/}"
done < <(find "$BUILD_DIR/medium" -type f \( -iname '*.exe' -o -iname '*.dll' \) | sort)
debug=$(find "$BUILD_DIR/medium-debug" -type f -name '*.debug' -printf '%s\n' 2>/dev/null | awk '{s += $1} END {print s + 0}')
printf '  %10d  all of them (%.2f MB); their debug information kept apart: %d bytes in %s/medium-debug\n' \
  "$total" "$(awk -v t="$total" 'BEGIN {print t / 1048576}')" "$debug" "$BUILD_DIR"
peer="$BUILD_DIR/bench/peer/peer_setup.exe"
if [ -f "$peer" ]; then
  psize=$(stat -c %s "$peer")
  printf '  %10d  NSIS peer, the whole installer with its payload; ratio %.2f\n' "$psize" "$(awk -v t="$total" -v p="$psize" 'BEGIN {print t / p}')"
fi

echo
echo "== start-up to the first page"
run "$BUILD_DIR/bench/startup/startup_bench.exe" "$RUNS"
echo
echo "== page changes and memory"
run "$BUILD_DIR/bench/wizard/wizard_bench.exe" "$RUNS"
echo
echo "== script reader"
run "$BUILD_DIR/bench/profile/profile_bench.exe"
echo
echo "== command interpreter"
run "$BUILD_DIR/bench/engine/engine_bench.exe"
echo
echo "== factory run of a large medium"
run "$BUILD_DIR/bench/setup/setup_bench.exe"
echo
echo "== factory install and uninstall of the sample medium (beside the peer, and the peer doing the same work)"
run "$BUILD_DIR/bench/factory/factory_bench.exe" 5

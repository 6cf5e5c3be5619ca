#!/bin/bash
# Smoke run of every fuzz harness: builds them natively with clang and runs
# each a few seconds over its starting corpus (new inputs go to a temporary
# folder, never into the tree). Fails on any crash, leak, hang or sanitizer
# report; exits 77 (skipped) without clang.
#   fuzz/smoke.sh [harness...]     FUZZ_SECONDS (default 2)
set -uo pipefail
source "$(dirname "$0")/common.sh"
fuzz_need_clang
fuzz_build || { echo "fuzz: building the harnesses failed"; exit 1; }

seconds=${FUZZ_SECONDS:-2}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=()
for name in $(fuzz_harnesses "$@"); do
  mkdir -p "$work/$name"
  log="$work/$name.log"
  "$FUZZ_BUILD_DIR/fuzz_$name" -max_total_time="$seconds" -runs=5000000 -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$work/$name-" "$work/$name" "$FUZZ_DIR/corpus/$name" > "$log" 2>&1
  rc=$?
  read -r runs rate cov ft <<< "$(fuzz_figures "$log")"
  printf 'fuzz %-22s runs %9s  exec/s %7s  cov %5s  ft %6s  %s\n' "$name" "$runs" "$rate" "$cov" "$ft" \
    "$([ $rc = 0 ] && echo ok || echo FAILED)"
  if [ $rc != 0 ]; then
    failed+=("$name")
    grep -E -A12 'ERROR:|runtime error|expectation failed|deadly signal' "$log" | head -40
    for artifact in "$work/$name"-*; do
      [ -f "$artifact" ] || continue
      echo "input (base64): $(base64 -w0 "$artifact" | head -c 2000)"
    done
  fi
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz: failed: ${failed[*]}"
  exit 1
fi
echo "fuzz: every harness ran clean"

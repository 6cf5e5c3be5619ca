# Shared by smoke.sh and run_long.sh: finds clang, builds the harnesses into
# $FUZZ_BUILD_DIR (default build/fuzz-native) and lists them.
FUZZ_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
ROOT_DIR=$(cd "$FUZZ_DIR/.." && pwd)
FUZZ_BUILD_DIR=${FUZZ_BUILD_DIR:-$ROOT_DIR/build/fuzz-native}

# Exit code 77: ctest reports the test as skipped.
fuzz_need_clang() {
  FUZZ_CXX=${FUZZ_CXX:-$(command -v clang++ || command -v clang++-14 || true)}
  if [ -z "$FUZZ_CXX" ]; then
    echo "fuzz: clang++ not found, fuzzing skipped (scripts/bootstrap installs clang)"
    exit 77
  fi
  local probe
  probe=$(mktemp -d)
  printf '#include <cstdint>\n#include <cstddef>\nextern "C" int LLVMFuzzerTestOneInput(const uint8_t*, size_t) { return 0; }\n' \
    > "$probe/probe.cpp"
  if ! "$FUZZ_CXX" -fsanitize=fuzzer,address,undefined "$probe/probe.cpp" -o "$probe/probe" 2> "$probe/err"; then
    echo "fuzz: $FUZZ_CXX cannot build libFuzzer programs (libclang-rt missing?), fuzzing skipped:"
    head -3 "$probe/err"
    rm -rf "$probe"
    exit 77
  fi
  rm -rf "$probe"
}

fuzz_build() {
  mkdir -p "$FUZZ_BUILD_DIR"
  if [ ! -f "$FUZZ_BUILD_DIR/CMakeCache.txt" ]; then
    cmake -S "$FUZZ_DIR" -B "$FUZZ_BUILD_DIR" -DCMAKE_CXX_COMPILER="$FUZZ_CXX" > "$FUZZ_BUILD_DIR/configure.log" 2>&1 ||
      { cat "$FUZZ_BUILD_DIR/configure.log"; return 1; }
  fi
  cmake --build "$FUZZ_BUILD_DIR" -j"${FUZZ_BUILD_JOBS:-$(nproc)}" > "$FUZZ_BUILD_DIR/build.log" 2>&1 ||
    { tail -40 "$FUZZ_BUILD_DIR/build.log"; return 1; }
}

# Every harness, or those named (with or without the fuzz_ prefix).
fuzz_harnesses() {
  if [ $# -gt 0 ]; then
    for name in "$@"; do echo "${name#fuzz_}"; done
  else
    sed -n '/^set(QX_HARNESSES/,/)/p' "$FUZZ_DIR/CMakeLists.txt" | tr ' ()' '\n\n\n' | grep -v -e '^$' -e QX_HARNESSES -e '^set$'
  fi
}

# The last status line of a libFuzzer log: "<runs> <exec/s> <cov> <ft>".
fuzz_figures() {
  local log=$1
  local line
  line=$(grep -E '^#[0-9]+' "$log" | tail -1)
  local runs cov ft
  runs=$(echo "$line" | sed -E 's/^#([0-9]+).*/\1/')
  cov=$(echo "$line" | sed -nE 's/.*cov: ([0-9]+).*/\1/p')
  ft=$(echo "$line" | sed -nE 's/.*ft: ([0-9]+).*/\1/p')
  local rate
  rate=$(sed -nE 's/^stat::average_exec_per_sec: *([0-9]+)/\1/p' "$log" | tail -1)
  echo "${runs:-0} ${rate:-0} ${cov:-0} ${ft:-0}"
}

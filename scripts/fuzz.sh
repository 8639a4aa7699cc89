#!/usr/bin/env bash
# Builds and runs the libFuzzer targets of fuzz/ with clang (AddressSanitizer, UBSan) in build/fuzz.
#   scripts/fuzz.sh smoke               each target for a short fixed number of runs on the seed corpus
#   scripts/fuzz.sh run [SECONDS] [T..] each target (or the named ones) for SECONDS (default 300),
#                                       growing build/fuzz/corpus/<target>; crashes land in build/fuzz/crashes
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${FUZZ_BUILD_DIR:-build/fuzz}
FUZZERS=(plist_fuzzer compressed_fuzzer pvr_fuzzer gibberishaes_fuzzer fnt_fuzzer particle_plist_fuzzer particle_effect_fuzzer spritesheet_json_fuzzer userdefault_fuzzer)
SMOKE_RUNS=${FUZZ_SMOKE_RUNS:-150000}

mode=${1:-smoke}
shift || true

mkdir -p "$(dirname "$BUILD_DIR")"
CC=clang CXX=clang++ cmake -S fuzz -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Debug > "$BUILD_DIR.configure.log" 2>&1 \
  || { cat "$BUILD_DIR.configure.log"; exit 1; }
cmake --build "$BUILD_DIR" -j3 --target "${FUZZERS[@]}"

python3 fuzz/seeds.py "$BUILD_DIR/seeds"
mkdir -p "$BUILD_DIR/crashes"

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}"
# The leak check after each input reads thread-local storage too: the crypto library keeps its per-thread
# state there (the programs' own default leaves it out, see cmake/SanitizerSupport.cpp).
export LSAN_OPTIONS="${LSAN_OPTIONS:-use_tls=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

# The PVR, FNT and particle fuzzers upload through a real GL context when they have a display.
with_display() {
  if [ -z "${DISPLAY:-}" ] && command -v xvfb-run > /dev/null; then
    xvfb-run -a -s "-screen 0 640x480x24" "$@"
  else
    "$@"
  fi
}

# Library warnings (stdout) are dropped; libFuzzer's report (stderr) goes to build/fuzz/logs/<target>.log
# and is shown when the target fails.
run_one() {
  local fuzzer=$1 corpus=$2; shift 2
  local log="$BUILD_DIR/logs/$fuzzer.log"
  mkdir -p "$corpus" "$BUILD_DIR/logs"
  local dict=()
  [ -f "fuzz/$fuzzer.dict" ] && dict=(-dict="fuzz/$fuzzer.dict")
  # Leaks are checked after every input and at exit (defaults: cmake/SanitizerSupport.cpp).
  if ! with_display "$BUILD_DIR/$fuzzer" "$corpus" "$BUILD_DIR/seeds/$fuzzer" \
      -artifact_prefix="$BUILD_DIR/crashes/$fuzzer-" -rss_limit_mb=4096 -print_final_stats=1 "${dict[@]}" "$@" \
      > /dev/null 2> "$log"; then
    tail -n 60 "$log"
    echo "FAILED: $fuzzer (log: $log)"
    return 1
  fi
  grep -E '^(Done|stat::number_of_executed_units|stat::new_units_added)' "$log" | tr '\n' ' '
  echo
}

case "$mode" in
  smoke)
    for fuzzer in "${FUZZERS[@]}"; do
      echo "== $fuzzer: $SMOKE_RUNS runs"
      # A fresh corpus each time: the smoke run starts from the seeds only.
      rm -rf "$BUILD_DIR/smoke-corpus/$fuzzer"
      run_one "$fuzzer" "$BUILD_DIR/smoke-corpus/$fuzzer" -runs="$SMOKE_RUNS" -seed=1
    done
    ;;
  run)
    seconds=${1:-300}
    shift || true
    targets=("$@")
    [ ${#targets[@]} -eq 0 ] && targets=("${FUZZERS[@]}")
    for fuzzer in "${targets[@]}"; do
      echo "== $fuzzer: $seconds s"
      run_one "$fuzzer" "$BUILD_DIR/corpus/$fuzzer" -max_total_time="$seconds"
    done
    ;;
  *)
    echo "usage: $0 [smoke | run [SECONDS] [FUZZER...]]" >&2
    exit 2
    ;;
esac

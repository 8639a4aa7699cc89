#!/usr/bin/env bash
# Runs the test suite of an existing build several times in a row while the machine is kept busy, and
# prints how often each test failed. Not part of CI: a check that the suite holds on a loaded machine.
#   scripts/stress.sh [RUNS] [cpu|ctest] [CTEST ARGS...]
#     RUNS   how many runs of the suite (default 3)
#     cpu    load: one busy loop per core beside the suite (default)
#     ctest  load: a second ctest -j$(nproc) of the same build, over and over
# BUILD_DIR (default build/debug) must hold a built tree (./test.sh makes one). Logs: $BUILD_DIR/stress/.
set -uo pipefail
cd "$(dirname "$0")/.."
runs=${1:-3}
load=${2:-cpu}
shift 2 2> /dev/null || shift $#
BUILD_DIR=${BUILD_DIR:-build/debug}
jobs=$(nproc)
logs="$BUILD_DIR/stress"
[ -f "$BUILD_DIR/CTestTestfile.cmake" ] || { echo "no built tree in $BUILD_DIR (run ./test.sh first)" >&2; exit 2; }
case "$load" in cpu | ctest) ;; *) echo "load must be cpu or ctest" >&2; exit 2 ;; esac
rm -rf "$logs"
mkdir -p "$logs"

loaders=()
stop_load() {
  for pid in "${loaders[@]}"; do
    kill -- "-$pid" 2> /dev/null
  done
  wait 2> /dev/null
}
trap stop_load EXIT

# Each loader leads a process group of its own, so that stopping it ends what it started.
if [ "$load" = cpu ]; then
  for _ in $(seq "$jobs"); do
    setsid bash -c 'while :; do :; done' &
    loaders+=($!)
  done
else
  setsid bash -c "cd '$BUILD_DIR' && while :; do
      xvfb-run -a -s '-screen 0 1280x1024x24 -noreset' ctest -j$jobs -E '^sanitizer_' > /dev/null 2>&1
    done" &
  loaders+=($!)
fi

for run in $(seq "$runs"); do
  echo "== run $run of $runs (load: $load, load average $(cut -d' ' -f1 /proc/loadavg))"
  (cd "$BUILD_DIR" && xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" \
    ctest --output-on-failure -j"$jobs" "$@") > "$logs/run$run.log" 2>&1
  grep -E '^[0-9]+% tests passed' "$logs/run$run.log"
  # ctest lists the failed tests as "<tab> NN - name (Failed|Timeout|...)".
  sed -n '/The following tests FAILED:/,$p' "$logs/run$run.log" | grep -E '^\s+[0-9]+ - ' |
    sed -E 's/^\s+[0-9]+ - ([^ ]+).*/\1/' > "$logs/failed$run.txt"
done

echo "== failures per test over $runs runs (logs: $logs)"
if cat "$logs"/failed*.txt | grep -q .; then
  cat "$logs"/failed*.txt | sort | uniq -c | sort -rn
  exit 1
fi
echo "none"

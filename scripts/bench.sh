#!/usr/bin/env bash
# Runs every engine-against-Qt-Quick comparison of bench/ (the programs built on bench/PeerComparison.h)
# from a Release build in build/release, twice: once as a user's machine without a GPU draws (Mesa's
# software rasteriser), once with GALLIUM_NOOP=1, where Mesa accepts every GL call and draws nothing, so
# that the CPU time left is the program's own (QML, bridge, scene graph, GL calls), the part a GPU does
# not take over. Prints one table each: both sides' frame rate and CPU time per frame (and peak memory,
# with the rasteriser), and their ratios; then Embervale's start-up time. Each side runs several rounds,
# taking turns with the other, and the tables give the medians, with the range of the CPU time per frame
# in brackets. Compare ratios within one run, not absolute figures across runs or machines.
#   scripts/bench.sh [--seconds S] [--warmup W] [--rounds N] [--profile] [--no-startup] [NAME...]
#     (default: every comparison, 5 rounds of 5 s each after the program's own warm-up)
#   --profile   also records a perf profile of each measured child (scripts/deps.sh bench installs perf)
# Everything a run leaves goes into build/release/bench/results/{llvmpipe,noop}/NAME/: the children's
# output, a screenshot of each side at the same game time (llvmpipe only) and, with --profile,
# zanth.perf.data and qtquick.perf.data (`perf report -i FILE`).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BENCH_BUILD_DIR:-build/release}

seconds=5
rounds=5
warmup=
profile=()
startup=1
names=()
while [ $# -gt 0 ]; do
  case "$1" in
    --seconds) seconds=$2; shift 2 ;;
    --warmup) warmup=$2; shift 2 ;;
    --rounds) rounds=$2; shift 2 ;;
    --profile) profile=(--profile); shift ;;
    --no-startup) startup=0; shift ;;
    -h|--help) sed -n '2,15p' "$0"; exit 0 ;;
    *) names+=("$1"); shift ;;
  esac
done
if [ ${#names[@]} -eq 0 ]; then
  for source in bench/*Bench.cpp; do
    if grep -q '#include "PeerComparison.h"' "$source"; then
      names+=("$(basename "$source" .cpp)")
    fi
  done
fi
if [ ${#profile[@]} -gt 0 ] && ! command -v perf > /dev/null; then
  echo "--profile needs perf: scripts/deps.sh bench installs it" >&2
  exit 1
fi

# What each comparison shows, for the tables; a new one without a line here is named by its program alone.
describe() {
  case "$1" in
    BridgeItemsBench) echo ", 2,000 animated items" ;;
    ParticleQmlBench) echo ", 10,000 particles from QML" ;;
    TextItemsBench) echo ", 1,000 texts changing every frame" ;;
    AnimatedSpritesBench) echo ", 1,000 animated sprites" ;;
    StaticImagesBench) echo ", 500 still images, one item moving" ;;
    *) echo "" ;;
  esac
}

targets=("${names[@]}")
[ $startup -eq 1 ] && targets+=(EmbervaleStartupBench embervale)
if [ ! -f "$BUILD_DIR/build.ninja" ]; then
  mkdir -p "$BUILD_DIR"
  cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release > "$BUILD_DIR.configure.log" 2>&1 \
    || { cat "$BUILD_DIR.configure.log"; exit 1; }
fi
cmake --build "$BUILD_DIR" -j3 --target "${targets[@]}" > "$BUILD_DIR.bench-build.log" 2>&1 \
  || { tail -30 "$BUILD_DIR.bench-build.log"; exit 1; }

with_display() {
  if [ -z "${DISPLAY:-}" ]; then
    xvfb-run -a -s "-screen 0 1280x1024x24" "$@"
  else
    "$@"
  fi
}

# One table row from a program's RESULT lines: "fps=… cpu_ms_per_frame=… peak_mb=…" of zanth and of
# qtquick.
row() {
  awk -v name="$1" -v what="$2" -v memory="$3" '
    function field(line, key,   parts, i, kv) {
      n = split(line, parts, " ")
      for (i = 1; i <= n; ++i) { split(parts[i], kv, "="); if (kv[1] == key) return kv[2] }
      return ""
    }
    function range(line,   low, high) {
      low = field(line, "cpu_ms_per_frame_min"); high = field(line, "cpu_ms_per_frame_max")
      return low == "" ? "" : sprintf(" (%.2f-%.2f)", low, high)
    }
    /^RESULT renderer=zanth / { efps = field($0, "fps"); ecpu = field($0, "cpu_ms_per_frame"); emb = field($0, "peak_mb"); erange = range($0) }
    /^RESULT renderer=qtquick / { qfps = field($0, "fps"); qcpu = field($0, "cpu_ms_per_frame"); qmb = field($0, "peak_mb"); qrange = range($0) }
    /^COMPARE / { shots = substr($0, 9) }
    END {
      if (efps == "" || qfps == "" || qfps + 0 == 0 || qcpu + 0 == 0 || qmb + 0 == 0) {
        printf("| `%s`%s | no result | no result | | |\n", name, what); exit 1
      }
      if (memory)
        printf("| `%s`%s | %.1f fps, %.2f ms%s, %.0f MB | %.1f fps, %.2f ms%s, %.0f MB | %.2fx fps, %.2fx CPU, %.2fx memory | %s |\n",
               name, what, efps, ecpu, erange, emb, qfps, qcpu, qrange, qmb, efps / qfps, ecpu / qcpu, emb / qmb, shots)
      else
        printf("| `%s`%s | %.1f fps, %.2f ms%s | %.1f fps, %.2f ms%s | %.2fx fps, %.2fx CPU |\n",
               name, what, efps, ecpu, erange, qfps, qcpu, qrange, efps / qfps, ecpu / qcpu)
    }'
}

status=0
run_pass() {
  local pass=$1
  for name in "${names[@]}"; do
    local folder="$BUILD_DIR/bench/results/$pass/$name"
    # What an earlier run left there would pass for this run's.
    rm -rf "$folder"
    mkdir -p "$folder"
    local options=(--seconds "$seconds" --rounds "$rounds" --output "$folder" "${profile[@]}")
    [ -n "$warmup" ] && options+=(--warmup "$warmup")
    echo "running $name ($pass, $rounds rounds of ${seconds} s measured per renderer)..." >&2
    (
      if [ "$pass" = noop ]; then export GALLIUM_NOOP=1; else unset GALLIUM_NOOP; fi
      with_display "$BUILD_DIR/bench/$name" "${options[@]}"
    ) > "$folder/summary.txt" 2>&1 || true
    # Mesa draws nothing in the second pass and keeps what it is given differently: memory is shown
    # with the rasteriser only.
    local memory=1
    [ "$pass" = noop ] && memory=
    row "$name" "$(describe "$name")" "$memory" < "$folder/summary.txt" >> "$tables/$pass" || status=1
  done
}

tables=$(mktemp -d)
trap 'rm -rf "$tables"' EXIT
: > "$tables/llvmpipe"
: > "$tables/noop"
run_pass llvmpipe
run_pass noop
llvmpipe=$(cat "$tables/llvmpipe")
noop=$(cat "$tables/noop")

echo "With Mesa's software rasteriser (frame rate, CPU time per frame, peak memory):"
echo
echo "| benchmark | engine | Qt Quick | ratio | screenshots at the same game time |"
echo "|---|---|---|---|---|"
echo "$llvmpipe"
echo
echo "With the rasteriser out (GALLIUM_NOOP=1: the programs' own CPU time; Qt Quick's frame rate is not"
echo "paced to the display here):"
echo
echo "| benchmark | engine | Qt Quick | ratio |"
echo "|---|---|---|---|"
echo "$noop"
if [ $startup -eq 1 ]; then
  echo
  echo "Embervale start-up:"
  with_display "$BUILD_DIR/bench/EmbervaleStartupBench" 5 2>&1 | tail -1 || status=1
fi
exit $status

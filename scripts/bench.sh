#!/usr/bin/env bash
# Runs every engine-against-Qt-Quick comparison of bench/ (the programs built on bench/PeerComparison.h)
# once each from a Release build in build/release, and prints one table: the engine's and Qt Quick's frame
# rate and CPU time per frame, and their ratios. Compare ratios within one run, not absolute figures
# across runs or machines.
#   scripts/bench.sh [--seconds S] [--warmup W] [NAME...]   (default: 10 s each after 2 s of warm-up)
# Each program's own output lands in build/release/bench/NAME.txt.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BENCH_BUILD_DIR:-build/release}

seconds=10
warmup=2
names=()
while [ $# -gt 0 ]; do
  case "$1" in
    --seconds) seconds=$2; shift 2 ;;
    --warmup) warmup=$2; shift 2 ;;
    -h|--help) sed -n '2,7p' "$0"; exit 0 ;;
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

# What each comparison shows, for the table; a new one without a line here is named by its program alone.
describe() {
  case "$1" in
    BridgeItemsBench) echo ", 2,000 animated items" ;;
    ParticleQmlBench) echo ", 10,000 particles from QML" ;;
    *) echo "" ;;
  esac
}

if [ ! -f "$BUILD_DIR/build.ninja" ]; then
  cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release > "$BUILD_DIR.configure.log" 2>&1 \
    || { cat "$BUILD_DIR.configure.log"; exit 1; }
fi
cmake --build "$BUILD_DIR" -j3 --target "${names[@]}" > "$BUILD_DIR.bench-build.log" 2>&1 \
  || { tail -30 "$BUILD_DIR.bench-build.log"; exit 1; }

with_display() {
  if [ -z "${DISPLAY:-}" ]; then
    xvfb-run -a -s "-screen 0 1280x1024x24" "$@"
  else
    "$@"
  fi
}

# One table row from a program's RESULT lines: "fps=… cpu_ms_per_frame=…" of zanth and of qtquick.
row() {
  awk -v name="$1" -v what="$2" '
    function field(line, key,   parts, i, kv) {
      n = split(line, parts, " ")
      for (i = 1; i <= n; ++i) { split(parts[i], kv, "="); if (kv[1] == key) return kv[2] }
      return ""
    }
    /^RESULT renderer=zanth / { efps = field($0, "fps"); ecpu = field($0, "cpu_ms_per_frame") }
    /^RESULT renderer=qtquick / { qfps = field($0, "fps"); qcpu = field($0, "cpu_ms_per_frame") }
    END {
      if (efps == "" || qfps == "" || qfps + 0 == 0 || qcpu + 0 == 0) {
        printf("| `%s`%s | no result | no result | |\n", name, what); exit 1
      }
      printf("| `%s`%s | %.1f fps, %.1f ms CPU/frame | %.1f fps, %.1f ms | %.2fx fps, %.2fx CPU |\n",
             name, what, efps, ecpu, qfps, qcpu, efps / qfps, ecpu / qcpu)
    }'
}

status=0
rows=()
for name in "${names[@]}"; do
  output="$BUILD_DIR/bench/$name.txt"
  echo "running $name (${warmup} s warm-up, ${seconds} s measured per renderer)..." >&2
  with_display "$BUILD_DIR/bench/$name" --seconds "$seconds" --warmup "$warmup" > "$output" 2>&1 || true
  if line=$(row "$name" "$(describe "$name")" < "$output"); then
    rows+=("$line")
  else
    rows+=("$line")
    status=1
  fi
done

echo "| benchmark | engine | Qt Quick | ratio |"
echo "|---|---|---|---|"
printf '%s\n' "${rows[@]}"
exit $status

#!/usr/bin/env bash
# Builds Embervale in Release (the program and what it is made of, no tests or benchmarks) and starts it.
# The build's output goes to build/release/build.log and is shown only when the build fails, so that what
# follows is the program's own.
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/deps.sh
mkdir -p build/release
log=build/release/build.log
# A configure that failed or was stopped leaves a cache but no build.ninja: configure again then.
if [ ! -f build/release/build.ninja ]; then
  echo "Building Embervale in build/release (the first build takes a few minutes)"
  configure=(cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release)
else
  # The build configures again by itself when a CMakeLists.txt changed.
  configure=(true)
fi
if ! { "${configure[@]}" && cmake --build build/release --target embervale; } > "$log" 2>&1; then
  cat "$log"
  echo "The build failed; its output is in $log" >&2
  exit 1
fi
# Without a login session (root in a container) Qt warns that it has no runtime folder, then makes the one
# named here itself.
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
  export XDG_RUNTIME_DIR="${TMPDIR:-/tmp}/runtime-$(id -un)"
  mkdir -p -m 700 "$XDG_RUNTIME_DIR"
fi
exec build/release/embervale "$@"

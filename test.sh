#!/usr/bin/env bash
# Builds a Debug build with AddressSanitizer and UndefinedBehaviorSanitizer and runs every test headless.
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/deps.sh
BUILD_DIR=${BUILD_DIR:-build/debug}
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZANTH_SANITIZE=ON
cmake --build "$BUILD_DIR"
bash scripts/fuzz.sh smoke
cd "$BUILD_DIR"
exec xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" ctest --output-on-failure -j"$(nproc)" "$@"

#!/usr/bin/env bash
# Builds a Release build and starts Embervale.
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build/release
exec build/release/embervale "$@"

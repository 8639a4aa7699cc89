#!/usr/bin/env bash
# Builds Embervale in Release (the program and what it is made of, no tests or benchmarks) and starts it.
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build/release --target embervale
exec build/release/embervale "$@"

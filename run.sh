#!/usr/bin/env bash
# Builds a Release build and starts Embervale.
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build/release
if [ -x build/release/embervale ]; then
  exec build/release/embervale "$@"
fi
echo "Embervale is not built yet: only the engine libraries and their tests exist so far."

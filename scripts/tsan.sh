#!/usr/bin/env bash
# Builds the sound engine's tests with ThreadSanitizer in build/tsan and runs them: the music feeder,
# background loading and the call storms run there against the main thread. Not part of ./test.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build/tsan}
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZANTH_THREAD_SANITIZE=ON >/dev/null
targets=$(cd "$BUILD_DIR" && ninja -t targets all | sed -n 's/^\(ZanthAudio_[A-Za-z]*Test\): phony$/\1/p')
cmake --build "$BUILD_DIR" -j3 --target $targets
cd "$BUILD_DIR"
export TSAN_OPTIONS="${TSAN_OPTIONS:-halt_on_error=1:second_deadlock_stack=1:suppressions=$PWD/../../tests/tsan.supp}"
exec ctest -j2 --output-on-failure -L ZanthAudio "$@"

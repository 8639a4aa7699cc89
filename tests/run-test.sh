#!/bin/sh
# Runs one test program with its own temporary HOME and XDG folders, so that nothing it writes
# lands in the real home folder, and removes them afterwards.
tmp=$(mktemp -d "${TMPDIR:-/tmp}/zanth-test.XXXXXX") || exit 1
export HOME="$tmp/home" XDG_CONFIG_HOME="$tmp/home/.config" XDG_DATA_HOME="$tmp/home/.local/share" \
       XDG_CACHE_HOME="$tmp/home/.cache" XDG_RUNTIME_DIR="$tmp/run" TMPDIR="$tmp"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$HOME/Documents" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
# Tests that need a real window or the xcb platform set QT_QPA_PLATFORM themselves before Qt starts.
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
# The leak scan leaves thread-local storage out: reading the dynamic TLS of dlopen'ed libraries crashes
# this toolchain's scan at exit now and then ("Tracer caught signal 11"), failing a test that passed.
# Blocks held only there are then reported; those of system libraries are suppressed in lsan.supp.
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$(dirname "$0")/lsan.supp:print_suppressions=0:use_tls=0}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
"$@"
rc=$?
rm -rf "$tmp"
exit $rc

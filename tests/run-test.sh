#!/bin/sh
# Runs one test program with its own temporary HOME and XDG folders, so that nothing it writes
# lands in the real home folder, and removes them afterwards.
tmp=$(mktemp -d "${TMPDIR:-/tmp}/zanth-test.XXXXXX") || exit 1
export HOME="$tmp/home" XDG_CONFIG_HOME="$tmp/home/.config" XDG_DATA_HOME="$tmp/home/.local/share" \
       XDG_CACHE_HOME="$tmp/home/.cache" XDG_RUNTIME_DIR="$tmp/run" TMPDIR="$tmp"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$HOME/Documents" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
# No session bus: without this, the first program to ask for one (Qt's accessibility does) has libdbus
# launch a bus by forking itself, and the fork of a sanitised program whose other threads hold the
# allocator's lock hangs before it runs the launcher, and its parent with it.
export DBUS_SESSION_BUS_ADDRESS="${DBUS_SESSION_BUS_ADDRESS:-disabled:}"
# Tests that need a real window or the xcb platform set QT_QPA_PLATFORM themselves before Qt starts.
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
# The leak check's own defaults (suppressions, what it scans) are built into every sanitised program:
# cmake/SanitizerSupport.cpp.
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
"$@"
rc=$?
rm -rf "$tmp"
exit $rc

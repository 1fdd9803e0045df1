#!/usr/bin/env bash
# Soak test of the real saver: the full-screen saver left alone, then the configuration
# dialog with its live preview and a setting changed every second, each for MINUTES
# (default 10), sampling the saver's memory, objects, windows and handles every 3 s; they
# must stay flat after start-up. Prints each run's table and "soak: N passed, N failed".
#
#   tests/e2e/soak.sh [MINUTES] [BUILD_DIR]
root=$(cd "$(dirname "$0")/../.." && pwd)
exec "$root/tests/e2e/run-e2e.sh" --soak "${1:-10}" "${2:-$root/build/mingw64}"

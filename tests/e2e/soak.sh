#!/usr/bin/env bash
# Soak test of the real saver: the full-screen saver left alone, then the configuration
# dialog with a setting changed every second, each for MINUTES (default 10), sampling its
# memory, objects, windows and handles every 3 s; they must stay flat after start-up.
#   tests/e2e/soak.sh [MINUTES] [BUILD_DIR]
root=$(cd "$(dirname "$0")/../.." && pwd)
TINDLBRG_SOAK_MINUTES=${1:-10} exec "$root/tests/e2e/run-e2e.sh" "${2:-$root/build/mingw64}"
